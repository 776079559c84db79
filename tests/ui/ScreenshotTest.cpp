// Pictures of the window for a person to look at, saved under <build>/screenshots.
#include "UiTestSupport.h"

#include "support/platform/QtWait.h"
#include "ui/ActivePill.h"
#include "ui/AppMark.h"
#include "ui/DeviceCard.h"
#include "ui/DevicePaneView.h"
#include "ui/ElidedLabel.h"
#include "ui/InlineNameEdit.h"
#include "ui/MainWindow.h"
#include "ui/PaneScrollArea.h"
#include "ui/SidebarView.h"
#include "ui/MeterBar.h"
#include "ui/ArrowButton.h"
#include "store/PriorityStore.h"
#include "ui/Symbols.h"
#include "ui/ElidedLabel.h"
#include "ui/ActivePill.h"
#include "ui/SettingsPaneView.h"
#include "ui/TrayMenu.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QIcon>
#include <QScreen>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <array>
#include <set>

using namespace std::chrono_literals;

namespace vantorelle::test {
namespace {

void saveImage(const QImage& image, const char* name)
{
    const QString path = QString::fromStdString((screenshotFolder() / name).string());
    ASSERT_TRUE(image.save(path)) << path.toStdString();
}

// A part of a picture three times as large, for looking at the fine drawing.
void saveDetail(const QImage& image, const QRect& area, const char* name)
{
    saveImage(image.copy(area).scaled(area.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation), name);
}

void save(QWidget& widget, const char* name)
{
    pumpEvents(150ms); // lets switch knobs and other short animations settle
    const QString path = QString::fromStdString((screenshotFolder() / name).string());
    ASSERT_TRUE(widget.grab().save(path)) << path.toStdString();
}

// The window of a started engine, shown active on `pane`, as a person opens it.
struct ShownWindow {
    explicit ShownWindow(SwitchEngine& engine, Pane pane = Pane::input, BluetoothConnector* bluetooth = nullptr)
        : window(engine, installation.loginItems(), bluetooth, pane)
    {
        window.show();
        EXPECT_TRUE(activate(window));
        QCoreApplication::processEvents();
    }
    FakeInstallation installation;
    MainWindow window;
};

TEST(Screenshots, WindowOnEachPane)
{
    FakeEngineParts parts;
    parts.audio.add(FakeAudioSystem::device(1, "mic-usb", "USB Microphone", true, false));
    parts.audio.add(FakeAudioSystem::device(2, "spk", "Laptop Speakers", false, true, true));
    const auto engine = parts.makeEngine();
    engine->start();
    ShownWindow shown(*engine);
    MainWindow& window = shown.window;
    save(window, "window-input.png");
    window.setPane(Pane::output);
    save(window, "window-output.png");
    window.setPane(Pane::settings);
    save(window, "window-settings.png");

    const QImage image = snapshot(window);
    saveDetail(image, QRect(0, 30, 210, 160), "detail-sidebar.png");
    saveDetail(image, QRect(220, 455, 300, 105), "detail-preview.png");
    saveDetail(image, QRect(760, 110, 110, 110), "detail-switches.png");
}

// The window on the test's screen: 880 x 560 where that fits, otherwise the room there is, with
// the sidebar whole and every pane reaching its last line by scrolling, nothing cut at the side.
TEST(Screenshots, TheWindowFitsItsScreen)
{
    FakeEngineParts parts;
    for (AudioObjectID id = 1; id <= 5; ++id) {
        parts.audio.add(FakeAudioSystem::device(id, "mic" + std::to_string(id), "USB Microphone " + std::to_string(id), true, false));
    }
    parts.audio.defaultInput = "mic1";
    const auto engine = parts.makeEngine();
    engine->start();
    ShownWindow shown(*engine);
    MainWindow& window = shown.window;

    const QScreen& screen = *window.screen();
    const QSize room = screen.availableGeometry().size() - (window.frameGeometry().size() - window.size());
    EXPECT_EQ(window.size(), QSize(std::min(880, room.width()), std::min(560, room.height())));
    EXPECT_EQ(window.maximumSize(), window.size()) << "still not resizable";
    EXPECT_EQ(window.sidebar().geometry(), QRect(0, 0, 208, window.height()));
    const QSize pixels = screen.geometry().size() * screen.devicePixelRatio();
    const QString name = QStringLiteral("window-%1x%2-scale%3-").arg(pixels.width()).arg(pixels.height()).arg(screen.devicePixelRatio());
    for (const Pane pane : allPanes) {
        const char* const paneName = std::array{"input", "output", "settings"}[static_cast<std::size_t>(pane)];
        window.setPane(pane);
        QCoreApplication::processEvents();
        if (auto* devices = qobject_cast<DevicePaneView*>(window.paneView()); devices != nullptr && pane == Pane::input) {
            devices->cards().front()->meterBar()->follow(true, 0.7); // its 150 points must give way too
        }
        auto* scroll = window.paneView()->findChild<PaneScrollArea*>();
        ASSERT_NE(scroll, nullptr);
        save(window, qPrintable(name + paneName + ".png"));
        EXPECT_LE(scroll->widget()->minimumSizeHint().width(), scroll->viewport()->width()) << "cut at the side";
        scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
        QCoreApplication::processEvents();
        const QRect lastLine = scroll->widget()->childrenRect();
        EXPECT_LE(scroll->widget()->mapTo(scroll->viewport(), lastLine.bottomLeft()).y(), scroll->viewport()->height());
        save(window, qPrintable(name + paneName + "-end.png"));
    }
}

// Every card state on both panes (active with a name far too long for it and its level bar,
// next in line, standing by, not connected, lid-blocked), and a keyboard focus ring.
TEST(Screenshots, EveryCardStateWithALongActiveName)
{
    const std::string longName = "Conference Room Ceiling Array Microphone With An Unreasonably Long Product Name";
    FakeEngineParts parts;
    parts.audio.add(FakeAudioSystem::device(1, "long", longName, true, false));
    parts.audio.add(FakeAudioSystem::device(2, "builtin-mic", "Built-in Audio Analog Stereo", true, false, true));
    parts.audio.add(FakeAudioSystem::device(3, "cam", "USB HD Camera", true, false, false, DeviceKind::camera));
    AudioDevice headset = FakeAudioSystem::device(4, "headset", "USB Headset", true, true, false, DeviceKind::headphones);
    headset.iconName = "audio-headset-usb";
    parts.audio.add(headset);
    parts.audio.add(FakeAudioSystem::device(6, "spk", "Built-in Audio Analog Stereo", false, true, true));
    parts.audio.add(FakeAudioSystem::device(7, "hdmi", "LG UltraFine Monitor", false, true, false, DeviceKind::display));
    parts.audio.defaultInput = "long";
    parts.audio.defaultOutput = "spk";
    parts.lid.report(true);
    StoredSettings stored;
    stored.inputPriority = {{"long", longName}, {"builtin-mic", "Built-in Audio Analog Stereo"},
                            {"cam", "USB HD Camera"}, {"gone", "Desk Mic"}, {"headset", "USB Headset"}};
    stored.outputPriority = {{"spk", "Built-in Audio Analog Stereo"}, {"studio", "Studio Speakers"},
                             {"hdmi", "LG UltraFine Monitor"}, {"headset", "USB Headset"}};
    stored.autoSwitchInput = false;
    stored.autoSwitchOutput = false;
    const auto engine = parts.makeEngine(stored);
    engine->start();
    ShownWindow shown(*engine);
    MainWindow& window = shown.window;

    auto* input = qobject_cast<DevicePaneView*>(window.paneView());
    ASSERT_NE(input, nullptr);
    DeviceCard* active = input->card("long");
    ASSERT_NE(active, nullptr);
    ASSERT_NE(active->meterBar(), nullptr);
    active->meterBar()->follow(true, 0.7);
    input->card("cam")->downArrow().setFocus(Qt::TabFocusReason);
    window.setAttribute(Qt::WA_KeyboardFocusChange);
    save(window, "states-input.png");
    window.setPane(Pane::output);
    save(window, "states-output.png");

    // The same cards with the icons of a desktop's theme.
    const QStringList paths = QIcon::themeSearchPaths();
    const QString theme = QIcon::themeName();
    QIcon::setThemeSearchPaths({QStringLiteral("/usr/share/icons")});
    QIcon::setThemeName(QStringLiteral("Adwaita"));
    engine->setSettings(engine->settings()); // the cards draw again
    save(window, "states-output-theme-icons.png");
    window.setPane(Pane::input);
    save(window, "states-input-theme-icons.png");
    QIcon::setThemeSearchPaths(paths);
    QIcon::setThemeName(theme);
}

// A monitor the rule never switches to, with the keyboard on it, and a name being given in place.
TEST(Screenshots, NeverChosenAutomaticallyAndRenaming)
{
    FakeEngineParts parts;
    parts.audio.add(FakeAudioSystem::device(1, "spk", "Family 17h HD Audio Controller Analog Stereo", false, true, true));
    parts.audio.add(FakeAudioSystem::device(2, "hdmi", "LG UltraFine Monitor", false, true));
    parts.audio.add(FakeAudioSystem::device(3, "headset", "USB Headset", false, true));
    parts.audio.defaultOutput = "spk";
    StoredSettings stored;
    stored.outputPriority = {{"spk", "Family 17h HD Audio Controller Analog Stereo", "Desk speakers"},
                             {"hdmi", "LG UltraFine Monitor", "", false},
                             {"headset", "USB Headset"}};
    const auto engine = parts.makeEngine(stored);
    engine->start();
    ShownWindow shown(*engine, Pane::output);
    MainWindow& window = shown.window;
    auto* pane = qobject_cast<DevicePaneView*>(window.paneView());
    ASSERT_NE(pane, nullptr);
    pane->card("hdmi")->setFocus(Qt::TabFocusReason);
    window.setAttribute(Qt::WA_KeyboardFocusChange);
    save(window, "never-automatic.png");

    pane->card("headset")->startRename();
    pane->card("headset")->nameEdit()->setText(QStringLiteral("Kitchen headset"));
    save(window, "rename-edit.png");
}

// Captions and status marks stand out 4.5:1 or more from their card on every look a card can
// have (active, next in line, standing by; each dimmed where it can be: not connected,
// lid-blocked, never chosen automatically; connecting, failed to connect), read off the drawn
// pixels at scale 1 and 2. The pictures are saved for a person to look at.
TEST(Screenshots, CardTextIsReadableInEveryState)
{
    const std::string bt1 = "bluez:AA:BB:CC:DD:EE:01:output";
    const std::string bt2 = "bluez:AA:BB:CC:DD:EE:02:output";
    struct Scene {
        const char* name;
        Direction direction;
        std::string defaultUID;
        bool lidClosed;
        std::vector<SavedDevice> stack;
        std::vector<SavedDevice> callsStack; // calls are routed when it has entries
    };
    const std::vector<Scene> scenes{
        {"output", Direction::output, "spk", false,
         {{"spk", "Laptop Speakers"}, {"hdmi", "LG UltraFine Monitor"}, {"desk", "Desk Speakers"}, {"gone", "Old Headset"},
          {bt1, "Travel Headset"}, {bt2, "Kitchen Speaker"}}, {}},
        {"never-automatic", Direction::output, "spk", false,
         {{"spk", "Laptop Speakers", "", false}, {"hdmi", "LG UltraFine Monitor", "", false}, {"gone", "Old Headset", "", false},
          {"desk", "Desk Speakers"}},
         {{"desk", "Desk Speakers", "", false}, {"hdmi", "LG UltraFine Monitor"}}},
        // On the calls stack nothing is usable: the lid-blocked default is active there too.
        {"lid-closed", Direction::input, "mic", true, {{"mic", "Built-in Microphone"}, {"gone", "Desk Mic"}},
         {{"mic", "Built-in Microphone"}, {"usb", "USB Microphone", "", false}, {"cam", "USB HD Camera", "", false}}},
        {"lid-blocked", Direction::input, "usb", true, {{"usb", "USB Microphone"}, {"mic", "Built-in Microphone"}}, {}},
        {"lid-open", Direction::input, "usb", false,
         {{"usb", "USB Microphone"}, {"mic", "Built-in Microphone"}, {"cam", "USB HD Camera"}},
         {{"mic", "Built-in Microphone"}, {"cam", "USB HD Camera"}}},
    };

    std::set<std::string> covered;
    for (const Scene& scene : scenes) {
        FakeEngineParts parts;
        parts.audio.add(FakeAudioSystem::device(1, "spk", "Laptop Speakers", false, true, true));
        parts.audio.add(FakeAudioSystem::device(2, "hdmi", "LG UltraFine Monitor", false, true, false, DeviceKind::display));
        parts.audio.add(FakeAudioSystem::device(3, "desk", "Desk Speakers", false, true));
        parts.audio.add(FakeAudioSystem::device(4, "mic", "Built-in Microphone", true, false, true));
        parts.audio.add(FakeAudioSystem::device(5, "cam", "USB HD Camera", true, false, false, DeviceKind::camera));
        parts.audio.add(FakeAudioSystem::device(6, "usb", "USB Microphone", true, false));
        const bool input = scene.direction == Direction::input;
        (input ? parts.audio.defaultInput : parts.audio.defaultOutput) = scene.defaultUID;
        parts.lid.report(scene.lidClosed);
        StoredSettings stored;
        stored.autoSwitchInput = stored.autoSwitchOutput = false;
        (input ? stored.inputPriority : stored.outputPriority) = scene.stack;
        (input ? stored.callsInputPriority : stored.callsOutputPriority) = scene.callsStack;
        (input ? stored.routeCallsInput : stored.routeCallsOutput) = !scene.callsStack.empty();
        const auto engine = parts.makeEngine(stored);
        engine->start();
        FakeBluetooth bluetooth;
        bluetooth.known = {"AA:BB:CC:DD:EE:01", "AA:BB:CC:DD:EE:02"};
        DevicePaneView pane(*engine, scene.direction, {}, &bluetooth);
        pane.resize(671, 1100); // every card in sight
        pane.show();
        QCoreApplication::processEvents();
        for (const std::string& uid : {bt1, bt2}) {
            if (DeviceCard* card = pane.card(uid)) card->connectItem()->action();
        }
        bluetooth.answer("AA:BB:CC:DD:EE:02", "Could not connect: the headset is off or out of range");
        QCoreApplication::processEvents();

        for (const double ratio : {1.0, 2.0}) {
            const QImage image = grabAt(pane, ratio);
            saveImage(image, qPrintable(QStringLiteral("contrast-%1-scale%2.png").arg(scene.name).arg(ratio)));
            for (const DeviceCard* card : pane.findChildren<DeviceCard*>()) {
                ASSERT_TRUE(pane.rect().contains(QRect(card->mapTo(&pane, QPoint(0, 0)), card->size())));
                const std::string look = std::array{"active", "next", "standby"}[static_cast<std::size_t>(card->look())]
                    + std::string(card->isDimmed() ? " dimmed" : "");
                const auto check = [&](const QWidget& part, const char* kind, const QString& text, const QRectF& area) {
                    if (!part.isVisible()) return;
                    covered.insert(look + " " + kind);
                    const QRectF placed = area.translated(part.mapTo(&pane, QPoint(0, 0)));
                    const QRect pixels = QRectF(placed.topLeft() * ratio, placed.size() * ratio).toAlignedRect();
                    EXPECT_GE(textContrast(image, pixels), 4.5) << scene.name << ", scale " << ratio << ", "
                                                                << card->nameLabel().text().toStdString() << ": " << text.toStdString();
                };
                check(card->captionLabel(), "caption", card->captionLabel().text(), card->captionLabel().rect());
                check(card->statusLabel(), "status", card->statusLabel().text(), card->statusLabel().rect());
                check(card->pill(), "pill", ActivePill::text(), card->pill().textArea());
            }
        }
    }
    EXPECT_EQ(covered, (std::set<std::string>{"active pill", "active caption", "active dimmed pill", "active dimmed caption",
                                              "next caption", "next status", "standby caption", "standby status",
                                              "standby dimmed caption", "standby dimmed status"}));
}

// The Output pane scrolled to its calls section: a headset for calls, the speakers for the rest.
TEST(Screenshots, CallsSectionOn)
{
    FakeEngineParts parts;
    parts.audio.add(FakeAudioSystem::device(1, "spk", "Built-in Audio Analog Stereo", false, true, true));
    parts.audio.add(FakeAudioSystem::device(2, "headset", "Jabra Evolve2 65", true, true, false, DeviceKind::headphones));
    parts.audio.add(FakeAudioSystem::device(3, "hdmi", "LG UltraFine Monitor", false, true, false, DeviceKind::display));
    parts.audio.defaultOutput = "spk";
    StoredSettings stored;
    stored.outputPriority = {{"spk", "Built-in Audio Analog Stereo", "Desk speakers"}, {"hdmi", "LG UltraFine Monitor"},
                             {"headset", "Jabra Evolve2 65"}};
    stored.callsOutputPriority = {{"headset", "Jabra Evolve2 65"}, {"travel", "Travel Headset"},
                                  {"spk", "Built-in Audio Analog Stereo", "Desk speakers"},
                                  {"hdmi", "LG UltraFine Monitor", "", false}};
    stored.routeCallsOutput = true;
    const auto engine = parts.makeEngine(stored);
    engine->start();
    ShownWindow shown(*engine, Pane::output);
    MainWindow& window = shown.window;
    auto* scroll = window.paneView()->findChild<PaneScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    save(window, "window-output-calls.png");
}

// The tray's menu, and remembered Bluetooth devices: one connecting, one that could not be.
TEST(Screenshots, TrayMenuAndBluetoothCards)
{
    FakeEngineParts parts;
    parts.audio.add(FakeAudioSystem::device(1, "spk", "Laptop Speakers", false, true, true));
    parts.audio.add(FakeAudioSystem::device(2, "desk", "Desk Speakers", false, true));
    parts.audio.add(FakeAudioSystem::device(3, "mic", "Built-in Microphone", true, false, true));
    parts.audio.add(FakeAudioSystem::device(4, "usb-mic", "USB Microphone", true, false));
    parts.audio.defaultInput = "usb-mic";
    parts.audio.defaultOutput = "desk";
    StoredSettings stored;
    stored.outputPriority = {{"bluez:AA:BB:CC:DD:EE:01:output", "Travel Headset"}, {"desk", "Desk Speakers"},
                             {"bluez:AA:BB:CC:DD:EE:02:output", "Kitchen Speaker"}, {"spk", "Laptop Speakers"}};
    stored.inputPriority = {{"usb-mic", "USB Microphone"}, {"mic", "Built-in Microphone"}};
    const auto engine = parts.makeEngine(stored);
    engine->start();

    TrayMenu menu(*engine);
    menu.popup(QPoint(0, 0));
    save(menu, "tray-menu.png");
    menu.hide();

    FakeBluetooth bluetooth;
    bluetooth.known = {"AA:BB:CC:DD:EE:01", "AA:BB:CC:DD:EE:02"};
    ShownWindow shown(*engine, Pane::output, &bluetooth);
    MainWindow& window = shown.window;
    auto* pane = qobject_cast<DevicePaneView*>(window.paneView());
    ASSERT_NE(pane, nullptr);
    for (const char* uid : {"bluez:AA:BB:CC:DD:EE:01:output", "bluez:AA:BB:CC:DD:EE:02:output"}) {
        const std::optional<MenuItem> connect = pane->card(uid)->connectItem();
        ASSERT_TRUE(connect);
        connect->action();
    }
    bluetooth.answer("AA:BB:CC:DD:EE:02", "Could not connect: the headset is off or out of range");
    save(window, "window-bluetooth-connecting.png");
}

TEST(Screenshots, SettingsPaneWithTheLoginError)
{
    FakeEngineParts parts;
    const auto engine = parts.makeEngine();
    TempFolder config;
    MainWindow window(*engine, [&] {
        return LoginItem(AppIdentity::forExecutable("/nowhere/vantorelle"), config / "autostart");
    });
    window.show();
    window.setPane(Pane::settings);
    auto rows = window.paneView()->findChildren<QWidget*>();
    for (QWidget* widget : rows) {
        if (widget->accessibleName() == QStringLiteral("Launch at login")) click(*widget);
    }
    save(window, "window-settings-login-error.png");
}

// What a longer language could spoil in `window`: a text wider than its place (or, wrapped,
// taller), one reaching past the side of the window or of its pane, two texts over each other.
// Device names may end in an ellipsis: they are the user's, never translated; so may any text
// of a one-line label made to end in one (its whole text is then its tooltip) when
// `ellipsisAllowed`.
std::vector<std::string> textFaults(QWidget& window, const std::set<QString>& deviceNames, bool ellipsisAllowed)
{
    struct Shown {
        const QWidget* widget;
        QString text;
        QRect area;
    };
    std::vector<Shown> shown;
    std::vector<std::string> faults;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&window)) continue;
        QString text;
        bool cut = false;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            text = label->text();
            cut = label->wordWrap() ? label->heightForWidth(label->width()) > label->height()
                                    : label->fontMetrics().horizontalAdvance(text) > label->contentsRect().width();
        } else if (auto* elided = qobject_cast<ElidedLabel*>(widget)) {
            text = elided->text();
            cut = elided->shownText() != text && !deviceNames.contains(text) && !ellipsisAllowed;
        } else if (auto* pill = qobject_cast<ActivePill*>(widget)) {
            text = ActivePill::text();
            cut = pill->width() < pill->sizeHint().width();
        }
        if (text.isEmpty()) continue;
        const QRect area(widget->mapTo(&window, QPoint(0, 0)), widget->size());
        if (cut) faults.push_back("cut: " + text.toStdString());
        QRect side = window.rect();
        for (QWidget* up = widget->parentWidget(); up != nullptr && up != &window; up = up->parentWidget()) {
            if (auto* scroll = qobject_cast<QAbstractScrollArea*>(up)) {
                side = QRect(scroll->viewport()->mapTo(&window, QPoint(0, 0)), scroll->viewport()->size());
                break;
            }
        }
        if (area.left() < side.left() || area.right() > side.right()) faults.push_back("past the side: " + text.toStdString());
        for (const Shown& other : shown) {
            if (!other.area.intersects(area) || other.widget->isAncestorOf(widget) || widget->isAncestorOf(other.widget)) continue;
            faults.push_back("over each other: " + text.toStdString() + " / " + other.text.toStdString());
        }
        shown.push_back({widget, text, area});
    }
    return faults;
}

// Every pane with cards in every state, the calls section and both error lines of the settings,
// in the pseudo-language and each shipped language: no text is cut or lies over another (the
// pseudo-language's may end in the ellipsis of a card's one-line caption), the device names are
// shown as they are. It runs once more at scale 2.
TEST(Screenshots, LongerLanguagesFitTheWindow)
{
    const std::set<QString> names{"Built-in Audio Analog Stereo", "USB Headset", "Jabra Evolve2 65", "Desk Mic",
                                  "LG UltraFine Monitor", "Studio Speakers"};
    for (const QString language : {"pseudo", "de", "fr", "es", "it", "pt_BR"}) {
        SCOPED_TRACE(language.toStdString());
        const WindowLanguage shownIn(language);
        FakeEngineParts parts;
        parts.audio.add(FakeAudioSystem::device(1, "builtin-mic", "Built-in Audio Analog Stereo", true, false, true));
        parts.audio.add(FakeAudioSystem::device(2, "headset", "Jabra Evolve2 65", true, true, false, DeviceKind::headphones));
        parts.audio.add(FakeAudioSystem::device(3, "usb", "USB Headset", true, false));
        parts.audio.add(FakeAudioSystem::device(4, "spk", "Built-in Audio Analog Stereo", false, true, true));
        parts.audio.add(FakeAudioSystem::device(5, "hdmi", "LG UltraFine Monitor", false, true, false, DeviceKind::display));
        parts.audio.defaultInput = "headset";
        parts.audio.defaultOutput = "spk";
        parts.lid.report(true);
        StoredSettings stored;
        stored.inputPriority = {{"headset", "Jabra Evolve2 65"}, {"builtin-mic", "Built-in Audio Analog Stereo"},
                                {"usb", "USB Headset"}, {"gone", "Desk Mic"}};
        stored.outputPriority = {{"spk", "Built-in Audio Analog Stereo"}, {"studio", "Studio Speakers"},
                                 {"hdmi", "LG UltraFine Monitor", "", false}, {"headset", "Jabra Evolve2 65"}};
        stored.callsOutputPriority = {{"headset", "Jabra Evolve2 65"}, {"spk", "Built-in Audio Analog Stereo"}};
        stored.routeCallsOutput = true;
        const auto engine = parts.makeEngine(stored);
        engine->start();
        TempFolder config;
        MainWindow window(*engine, [&] {
            return LoginItem(AppIdentity::forExecutable("/nowhere/vantorelle"), config / "autostart");
        });
        window.show();
        QCoreApplication::processEvents();
        for (const Pane pane : allPanes) {
            window.setPane(pane);
            if (auto* settings = qobject_cast<SettingsPaneView*>(window.paneView()); settings != nullptr) {
                settings->loginErrorLabel().parentWidget()->setVisible(true);
                settings->saveErrorLabel().parentWidget()->setVisible(true);
            }
            // The new pane settles (its switches slide, a second line makes an entry taller) by
            // events; a text still cut once the wait is over stays cut.
            std::vector<std::string> faults;
            waitUntil([&] {
                faults = textFaults(window, names, language == QLatin1String("pseudo"));
                return faults.empty();
            }, 3s);
            const char* const paneName = std::array{"input", "output", "settings"}[static_cast<std::size_t>(pane)];
            for (const std::string& fault : faults) ADD_FAILURE() << paneName << ": " << fault;
            pumpEvents(150ms); // for the picture: switch knobs and other short animations settle
            if (pane != Pane::settings) {
                const auto cardNames = window.findChildren<ElidedLabel*>();
                EXPECT_TRUE(std::ranges::any_of(cardNames, [](const ElidedLabel* label) {
                    return label->text() == QLatin1String("Jabra Evolve2 65");
                })) << "names are shown as they are";
            }
            if (language != QLatin1String("pseudo") && language != QLatin1String("de")) continue;
            const QSize pixels = window.size() * window.devicePixelRatio();
            save(window, qPrintable(QStringLiteral("language-%1-%2-%3x%4.png")
                                        .arg(language, QLatin1String(paneName)).arg(pixels.width()).arg(pixels.height())));
        }
    }
}

TEST(Screenshots, SymbolSheetAndMarks)
{
    const QStringList names{"mic", "mic.fill", "speaker.wave.2", "gearshape", "laptopcomputer",
                            "headphones", "video", "display", "chevron.up", "chevron.down"};
    QImage sheet(40 + 60 * names.size(), 220, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    {
        QPainter painter(&sheet);
        int x = 40;
        for (const QString& name : names) {
            Symbols::paint(painter, name, QPointF(x, 30), 12, Qt::black, FontWeight::medium);
            Symbols::paint(painter, name, QPointF(x, 70), 24, Qt::black);
            Symbols::paint(painter, name, QPointF(x, 120), 9, Qt::black, FontWeight::semibold);
            x += 60;
        }
        AppMark::paint(painter, QRectF(20, 150, 34, 34));
        AppMark::paint(painter, QRectF(80, 150, 30, 30));
        AppMark::paint(painter, QRectF(130, 140, 64, 64));
    }
    ASSERT_TRUE(sheet.save(QString::fromStdString((screenshotFolder() / "symbols.png").string())));
}

} // namespace
} // namespace vantorelle::test
