// The application as it runs: the engine of makeApplicationEngine on a private pulseaudio
// daemon, the settings file in a private configuration folder, the shell and its window.
#include "UiTestSupport.h"

#include "engine/SwitchEngine.h"
#include "store/PriorityStore.h"
#include "support/platform/PulseDaemon.h"
#include "support/platform/QtWait.h"
#include "ui/AppShell.h"
#include "ui/DeviceCard.h"
#include "ui/ElidedLabel.h"
#include "ui/DevicePaneView.h"
#include "services/ApplicationEngine.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace vantorelle::test {
namespace {

const PulseProperties laptopSpeakers{{"device.description", "Laptop Speakers"},
                                     {"device.form_factor", "internal"},
                                     {"device.bus", "pci"}};
const PulseProperties usbSpeakers{{"device.description", "USB Speakers"}, {"device.bus", "usb"}};
const PulseProperties usbMic{{"device.description", "USB Microphone"}, {"device.bus", "usb"}};

// XDG_CONFIG_HOME pointed at a private folder for the life of the object, so the application's
// own settings store (which reads it) works on a throw-away file.
class PrivateConfigHome {
public:
    PrivateConfigHome()
    {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) previous_ = old;
        ::setenv("XDG_CONFIG_HOME", folder_.path().c_str(), 1);
    }
    ~PrivateConfigHome()
    {
        if (previous_) {
            ::setenv("XDG_CONFIG_HOME", previous_->c_str(), 1);
        } else {
            ::unsetenv("XDG_CONFIG_HOME");
        }
    }
    PrivateConfigHome(const PrivateConfigHome&) = delete;
    PrivateConfigHome& operator=(const PrivateConfigHome&) = delete;

    std::filesystem::path settingsFolder() const { return folder_ / "Vantorelle"; }
    std::filesystem::path autostart() const { return folder_ / "autostart"; }

private:
    TempFolder folder_;
    std::optional<std::string> previous_;
};

class AppShellLiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        quitOnClose_ = QApplication::quitOnLastWindowClosed();
        QApplication::setQuitOnLastWindowClosed(false); // as the application runs
    }
    void TearDown() override
    {
        shell.reset();
        engine.reset();
        QApplication::setQuitOnLastWindowClosed(quitOnClose_);
    }

    // The application's engine and shell, the window shown, and the engine started once the
    // event loop runs, in the order the application does it.
    void launch()
    {
        engine = makeApplicationEngine();
        const std::filesystem::path autostart = config.autostart();
        shell = std::make_unique<AppShell>(*engine, [autostart] { return LoginItem(AppIdentity{}, autostart); });
        subscription = engine->observe([this](EngineField field) {
            if (field == EngineField::defaultOutputUID) publishedOutputs.push_back(engine->defaultOutputUID());
        });
        shell->showWindow();
        QCoreApplication::processEvents();
        engine->start();
    }

    DevicePaneView* devicePane() const
    {
        MainWindow* window = shell ? shell->window() : nullptr;
        return window ? qobject_cast<DevicePaneView*>(window->paneView()) : nullptr;
    }

    PrivateConfigHome config;
    std::shared_ptr<SwitchEngine> engine;
    std::unique_ptr<AppShell> shell;
    SwitchEngine::Subscription subscription;
    std::vector<std::optional<std::string>> publishedOutputs;

private:
    bool quitOnClose_ = true;
};

TEST_F(AppShellLiveTest, AfterTheWindowClosedAPlugInStillMovesTheServerDefault)
{
    PulseDaemon daemon;
    ASSERT_TRUE(daemon.isRunning()) << "no private pulseaudio daemon";
    ASSERT_TRUE(daemon.addSink("speakers", laptopSpeakers));
    ASSERT_TRUE(daemon.setDefaultSink("speakers"));
    StoredSettings settings;
    settings.outputPriority = {{"usb_spk", "USB Speakers"}, {"speakers", "Laptop Speakers"}};
    PriorityStore(config.settingsFolder()).save(settings);

    launch();
    ASSERT_TRUE(waitUntil([&] { return engine->defaultOutputUID() == std::optional<std::string>("speakers"); }));
    QPointer<MainWindow> window = shell->window();
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(window->isVisible());

    window->close();
    ASSERT_TRUE(waitUntil([&] { return window.isNull(); })) << "a closed window is discarded";
    publishedOutputs.clear();

    ASSERT_TRUE(daemon.addSink("usb_spk", usbSpeakers));
    EXPECT_TRUE(waitUntil(
        [&] {
            return daemon.defaultSink() == std::optional<QString>("usb_spk") &&
                   engine->defaultOutputUID() == std::optional<std::string>("usb_spk");
        },
        10s))
        << "server default " << daemon.defaultSink().value_or("(none)").toStdString();
    EXPECT_NE(std::find(publishedOutputs.begin(), publishedOutputs.end(), std::optional<std::string>("usb_spk")),
              publishedOutputs.end())
        << "the engine published the new default";
    EXPECT_EQ(shell->window(), nullptr) << "the plug-in opened no window";
    // The stack kept its order: the plugged device was already first.
    const StoredSettings saved = PriorityStore(config.settingsFolder()).load();
    ASSERT_EQ(saved.outputPriority.size(), 2U);
    EXPECT_EQ(saved.outputPriority[0].uid, "usb_spk");
}

TEST_F(AppShellLiveTest, TheWindowFillsInWhenTheSoundServerAppearsAfterStartUp)
{
    PulseDaemon daemon; // points PULSE_SERVER at its socket
    ASSERT_TRUE(daemon.isRunning()) << "no private pulseaudio daemon";
    ASSERT_TRUE(daemon.kill()) << "the server must be absent at start-up";

    launch();
    DevicePaneView* pane = devicePane();
    ASSERT_NE(pane, nullptr);
    EXPECT_TRUE(pane->isVisible());
    EXPECT_TRUE(engine->connected().empty());
    EXPECT_EQ(engine->defaultInputUID(), std::nullopt);
    EXPECT_TRUE(pane->cards().empty());
    EXPECT_TRUE(pane->emptyLabel().isVisible()) << "the empty state while there is no server";

    ASSERT_TRUE(daemon.restart());
    ASSERT_TRUE(daemon.addSource("usb_mic", usbMic));
    ASSERT_TRUE(daemon.addSink("speakers", laptopSpeakers));
    ASSERT_TRUE(daemon.setDefaultSource("usb_mic"));

    // Only the listener's own reconnection can bring the devices in: nothing else pokes it.
    EXPECT_TRUE(waitUntil(
        [&] {
            pane = devicePane();
            return pane && pane->card("usb_mic") && engine->defaultInputUID() == std::optional<std::string>("usb_mic");
        },
        15s));
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->cards().size(), 1U);
    EXPECT_FALSE(pane->emptyLabel().isVisible());
    EXPECT_EQ(pane->card("usb_mic")->nameLabel().text(), QStringLiteral("USB Microphone"));
    // The first run with devices seeds the stacks, and the file holds them.
    const StoredSettings saved = PriorityStore(config.settingsFolder()).load();
    ASSERT_EQ(saved.inputPriority.size(), 1U);
    EXPECT_EQ(saved.inputPriority[0].uid, "usb_mic");
}

} // namespace
} // namespace vantorelle::test
