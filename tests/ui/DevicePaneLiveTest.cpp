#include "DevicePaneFixture.h"

#include "services/AppIdentity.h"
#include "services/LoginItem.h"
#include "support/platform/PulseDaemon.h"
#include "ui/MainWindow.h"
#include "ui/MeterBar.h"

#include <QDir>
#include <QPixmap>
#include <QScrollArea>

namespace vantorelle::test {
namespace {

using namespace std::chrono_literals;

// The panes with every kind of card, the Input pane's meter live on a private sound server's
// sine source. Screenshots land in <build>/screenshots for a look by eye.
class DevicePaneLiveTest : public DevicePaneTest {
protected:
    static void SetUpTestSuite()
    {
        DevicePaneTest::SetUpTestSuite();
        daemon_ = std::make_unique<PulseDaemon>();
    }
    static void TearDownTestSuite()
    {
        daemon_.reset();
        DevicePaneTest::TearDownTestSuite();
    }
    void SetUp() override
    {
        ASSERT_TRUE(daemon_->isRunning()) << "no private pulseaudio daemon";
        ASSERT_TRUE(daemon_->addSineSource("tone"));
        ASSERT_TRUE(daemon_->setDefaultSource("tone"));
    }
    void TearDown() override { daemon_->unloadAll(); }

    static InputLevelMeter::Options liveMeter()
    {
        return InputLevelMeter::Options{true, daemon_->server().toStdString()};
    }
    static int recordStreams()
    {
        const std::optional<QString> out = daemon_->pactl({"list", "short", "source-outputs"});
        return out ? static_cast<int>(out->split(u'\n', Qt::SkipEmptyParts).size()) : -1;
    }

    // Every card state on both panes: active, next in line, standing by, not connected,
    // lid-blocked, and a name far too long for its card.
    void startFullEngine()
    {
        connect({1, "usb-mic", "Shure MV7"});
        connect({2, "builtin-mic", "MacBook Pro Microphone", true, false, true});
        connect({3, "brio", "Logitech BRIO"});
        connect({4, "headset", "Jabra Evolve2 Headset", true, true});
        connect({5, "long", "Conference Room Ceiling Array Microphone With An Unreasonably Long Product Name"});
        connect({6, "interface", "USB Audio Interface", false, true});
        connect({7, "builtin-spk", "MacBook Pro Speakers", false, true, true});
        connect({8, "lg", "LG UltraFine Monitor", false, true});
        parts.audio.defaultInput = "usb-mic";
        parts.audio.defaultOutput = "interface";
        parts.lid.report(true);
        startEngine({{"usb-mic", "Shure MV7"},
                     {"builtin-mic", "MacBook Pro Microphone"},
                     {"brio", "Logitech BRIO"},
                     {"airpods", "AirPods Pro"},
                     {"headset", "Jabra Evolve2 Headset"},
                     {"long", "Conference Room Ceiling Array Microphone With An Unreasonably Long Product Name"}},
                    {{"studio", "Studio Display Speakers"},
                     {"interface", "USB Audio Interface"},
                     {"builtin-spk", "MacBook Pro Speakers"},
                     {"lg", "LG UltraFine Monitor"},
                     {"headset", "Jabra Evolve2 Headset"},
                     {"beats", "Beats Solo Pro"}},
                    true);
    }

    static void save(QWidget& widget, const QString& name)
    {
        const QString folder = QStringLiteral(VANTORELLE_BUILD_DIR "/screenshots");
        QDir().mkpath(folder);
        EXPECT_TRUE(widget.grab().save(folder + "/" + name + ".png")) << name.toStdString();
    }

private:
    static inline std::unique_ptr<PulseDaemon> daemon_;
};

TEST_F(DevicePaneLiveTest, TheInputPaneRunsItsMeterWhileShown)
{
    startFullEngine();
    const auto pane = makePane(Direction::input, liveMeter());
    DeviceCard* const active = pane->card("usb-mic");
    ASSERT_NE(active, nullptr);
    ASSERT_NE(active->meterBar(), nullptr);
    EXPECT_EQ(pane->card("brio")->meterBar(), nullptr) << "only the active card shows the meter";
    EXPECT_FALSE(pane->meter().running());

    pane->show();
    ASSERT_TRUE(waitUntil([&] { return pane->meter().running() && pane->meter().level() > 0.5; }));
    QCoreApplication::processEvents();
    MeterBar& bar = *active->meterBar();
    EXPECT_TRUE(bar.isVisible());
    EXPECT_EQ(bar.size(), QSize(150, 4));
    EXPECT_NEAR(bar.targetBarWidth(), pane->meter().level() * 150, 1.0) << "to the device pixel";
    EXPECT_TRUE(waitUntil([&] { return std::abs(bar.barWidth() - bar.targetBarWidth()) < 20; }));
    save(*pane, "input-pane");

    pane->hide();
    EXPECT_FALSE(pane->meter().running());
    EXPECT_FALSE(bar.isVisibleTo(active));
    EXPECT_TRUE(waitUntil([] { return recordStreams() == 0; }));

    pane->show();
    EXPECT_TRUE(waitUntil([&] { return pane->meter().running(); }));
}

TEST_F(DevicePaneLiveTest, ThePaneStopsItsMeterWhenItGoesAway)
{
    startFullEngine();
    auto first = makePane(Direction::input, liveMeter());
    first->show();
    ASSERT_TRUE(waitUntil([&] { return first->meter().running(); }));
    const InputLevelMeter* const firstMeter = &first->meter();
    first.reset();
    EXPECT_TRUE(waitUntil([] { return recordStreams() == 0; }));

    const auto second = makePane(Direction::input, liveMeter());
    EXPECT_NE(&second->meter(), firstMeter);
    EXPECT_FALSE(second->meter().running()) << "a new pane starts with a new, stopped meter";
}

TEST_F(DevicePaneLiveTest, TheOutputPaneNeverStartsItsMeter)
{
    startFullEngine();
    const auto pane = makePane(Direction::output, liveMeter());
    pane->show();
    pumpEvents(300ms);
    EXPECT_FALSE(pane->meter().running());
    EXPECT_EQ(recordStreams(), 0);
    for (const DeviceCard* card : pane->cards()) EXPECT_EQ(card->meterBar(), nullptr);
    save(*pane, "output-pane");
}

TEST_F(DevicePaneLiveTest, TheWindowShowsThePanes)
{
    startFullEngine();
    const std::filesystem::path autostart = parts.folder / "autostart";
    MainWindow window(*engine, [autostart] { return LoginItem(AppIdentity{}, autostart); });
    window.show();
    QCoreApplication::processEvents();
    ASSERT_NE(qobject_cast<DevicePaneView*>(window.paneView()), nullptr);
    save(window, "window-input");
    window.setPane(Pane::output);
    QCoreApplication::processEvents();
    const auto* output = qobject_cast<DevicePaneView*>(window.paneView());
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(output->direction(), Direction::output);
    save(window, "window-output");
}

TEST_F(DevicePaneLiveTest, ScrolledToTheEndOfALongList)
{
    std::vector<SavedDevice> stack;
    for (int i = 1; i <= 12; ++i) stack.push_back({"uid" + std::to_string(i), "Microphone " + std::to_string(i)});
    startEngine(stack);
    const auto pane = makePane(Direction::input);
    pane->show();
    QCoreApplication::processEvents();
    pane->scrollArea().ensureVisible(0, 100000);
    save(*pane, "input-pane-scrolled");
}

} // namespace
} // namespace vantorelle::test
