// The running application's window: closing it leaves the engine at work.
#include "UiTestSupport.h"

#include "store/PriorityStore.h"
#include "support/platform/ChildProcess.h"
#include "support/platform/PulseDaemon.h"
#include "support/platform/QtWait.h"
#include "ui/AppShell.h"
#include "ui/MainWindow.h"
#include "ui/SettingsPaneView.h"
#include "ui/SidebarEntry.h"
#include "ui/SidebarView.h"
#include "ui/TrayMenu.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QPointer>
#include <QTest>

#include <algorithm>
#include <map>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace vantorelle::test {
namespace {

TEST(AppShell, ClosingTheWindowKeepsTheEngineSwitchingAndReopensItOnTheSamePane)
{
    const bool quitOnClose = QApplication::quitOnLastWindowClosed();
    QApplication::setQuitOnLastWindowClosed(false);

    FakeEngineParts parts;
    parts.audio.add(FakeAudioSystem::device(1, "spk", "Laptop Speakers", false, true, true));
    parts.audio.defaultOutput = "spk";
    const auto engine = parts.makeEngine();
    engine->start();
    FakeInstallation installation;
    AppShell shell(*engine, installation.loginItems());

    shell.showWindow();
    QPointer<MainWindow> first = shell.window();
    ASSERT_FALSE(first.isNull());
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->pane(), Pane::input) << "the first window of a run opens on the Input pane";
    shell.showWindow();
    EXPECT_EQ(shell.window(), first.data()) << "one window only";
    first->setPane(Pane::settings);

    // Ctrl+W closes it as its close button does.
    ASSERT_TRUE(activate(*first));
    QTest::keyClick(first, Qt::Key_W, Qt::ControlModifier);
    ASSERT_TRUE(waitUntil([&] { return first.isNull(); })) << "a closed window is discarded";
    EXPECT_EQ(shell.window(), nullptr);

    // A better device arrives while no window is open: the engine still follows the stack.
    parts.audio.add(FakeAudioSystem::device(2, "usb-spk", "USB Speakers", false, true));
    parts.audio.fireDeviceListChange();
    StoredSettings settings = engine->settings();
    ASSERT_EQ(settings.outputPriority.size(), 2U);
    engine->moveUp("usb-spk", Direction::output);
    EXPECT_EQ(engine->defaultOutputUID(), std::optional<std::string>("usb-spk"));

    shell.showWindow();
    ASSERT_NE(shell.window(), nullptr);
    EXPECT_EQ(shell.window()->pane(), Pane::settings) << "a new window opens on the pane the last one was closed on";
    EXPECT_TRUE(shell.window()->sidebar().entry(Pane::settings).isSelected());
    EXPECT_NE(qobject_cast<SettingsPaneView*>(shell.window()->paneView()), nullptr);

    QApplication::setQuitOnLastWindowClosed(quitOnClose);
}

TEST(AppShell, AStartFromTheLoginEntrySwitchesWithoutAWindowAndALaterStartOpensIt)
{
    FakeEngineParts parts;
    parts.audio.add(FakeAudioSystem::device(1, "spk", "Laptop Speakers", false, true, true));
    const auto engine = parts.makeEngine();
    FakeInstallation installation;
    const auto visibleWindows = [] {
        const QWidgetList all = QApplication::topLevelWidgets();
        return std::count_if(all.begin(), all.end(), [](const QWidget* widget) { return widget->isVisible(); });
    };
    {
        AppShell shell(*engine, installation.loginItems());
        shell.launch(true);
        ASSERT_TRUE(waitUntil([&] { return !engine->connected().empty(); })) << "the engine starts all the same";
        pumpEvents(50ms);
        EXPECT_EQ(shell.window(), nullptr);
        EXPECT_EQ(visibleWindows(), 0);

        // What a second start by hand asks for over the bus.
        shell.showWindow();
        ASSERT_NE(shell.window(), nullptr);
        EXPECT_TRUE(shell.window()->isVisible());
    }
    AppShell shell(*engine, installation.loginItems());
    shell.launch(false);
    ASSERT_NE(shell.window(), nullptr) << "a start by hand shows the window at once";
    EXPECT_TRUE(shell.window()->isVisible());
}

// The tray menu as text: headers as they are, radio items with "* " when checked, "--" between.
std::vector<std::string> menuLines(const QMenu& menu)
{
    std::vector<std::string> lines;
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator()) lines.push_back("--");
        else if (action->isCheckable()) lines.push_back((action->isChecked() ? "* " : "  ") + action->text().toStdString());
        else lines.push_back(action->text().toStdString());
    }
    return lines;
}

TEST(AppShell, TheTrayMenuListsTheUsableDevicesInRankOrderAndAChoiceSetsTheDefault)
{
    using Lines = std::vector<std::string>;
    const Lines tail{"Open Vantorelle", "--", "Quit Vantorelle"};
    const auto with = [&tail](Lines lines) {
        lines.insert(lines.end(), tail.begin(), tail.end());
        return lines;
    };
    const AudioDevice speakers = FakeAudioSystem::device(1, "spk", "Laptop Speakers", false, true, true);
    const AudioDevice usbSpeakers = FakeAudioSystem::device(2, "usb-spk", "USB Speakers", false, true);
    const AudioDevice builtInMic = FakeAudioSystem::device(3, "mic", "Built-in Microphone", true, false, true);
    const AudioDevice headset = FakeAudioSystem::device(4, "headset", "Desk Headset", true, true);
    struct Elsewhere {
        Direction direction;
        const char* uid;
    };
    struct Case {
        const char* what;
        std::vector<AudioDevice> devices;
        std::vector<SavedDevice> inputStack;
        std::vector<SavedDevice> outputStack;
        std::optional<std::string> defaultInput;
        std::optional<std::string> defaultOutput;
        bool autoSwitch = false;
        bool lidClosed = false;
        // An output device picked from the menu.
        const char* choice = nullptr;
        // Made the default elsewhere, in the system's sound settings.
        std::optional<Elsewhere> setElsewhere;
        std::optional<AudioDevice> plugWhileOpen;
        Lines expected;
    };
    const std::vector<Case> cases{
        {"nothing connected: only the window and quit", {}, {}, {}, {}, {}, false, false, {}, {}, {}, tail},
        {"rank order, not the system's; unplugged and lid-blocked entries left out",
         {speakers, usbSpeakers, builtInMic, headset},
         {{"mic", "Built-in Microphone"}, {"gone", "Old Mic"}, {"headset", "Desk Headset"}},
         {{"usb-spk", "USB Speakers"}, {"gone-spk", "Old Speakers"}, {"spk", "Laptop Speakers"}},
         "headset", "spk", false, true, {}, {}, {},
         with({"Output", "  USB Speakers", "* Laptop Speakers", "  Desk Headset", "--", "Input", "* Desk Headset", "--"})},
        {"entries never chosen automatically listed and marked, all under the user's names",
         {speakers, usbSpeakers}, {}, {{"usb-spk", "USB Speakers", "", false}, {"spk", "Laptop Speakers", "Desk"}},
         {}, "usb-spk", false, false, {}, {}, {}, with({"Output", "* USB Speakers (never automatic)", "  Desk", "--"})},
        {"a choice stands against the rule, and is announced by no notice",
         {speakers, usbSpeakers}, {}, {{"usb-spk", "USB Speakers"}, {"spk", "Laptop Speakers"}},
         {}, {}, true, false, "Laptop Speakers", {}, {},
         with({"Output", "  USB Speakers", "* Laptop Speakers", "--"})},
        {"a default changed elsewhere is checked",
         {speakers, usbSpeakers}, {}, {{"usb-spk", "USB Speakers"}, {"spk", "Laptop Speakers"}},
         {}, "usb-spk", false, false, {}, Elsewhere{Direction::output, "spk"}, {},
         with({"Output", "  USB Speakers", "* Laptop Speakers", "--"})},
        {"a default elsewhere on a lid-blocked microphone is listed, so the default is always checked",
         {builtInMic, headset}, {{"mic", "Built-in Microphone"}, {"headset", "Desk Headset"}}, {},
         "headset", {}, false, true, {}, Elsewhere{Direction::input, "mic"}, {},
         with({"Output", "  Desk Headset", "--", "Input", "* Built-in Microphone", "  Desk Headset", "--"})},
        {"a plug while the menu is open joins it, and the rule takes over again",
         {speakers, usbSpeakers}, {}, {{"usb-spk", "USB Speakers"}, {"spk", "Laptop Speakers"}},
         {}, {}, true, false, "Laptop Speakers", {},
         FakeAudioSystem::device(5, "bo", "Left & Right Speakers", false, true),
         with({"Output", "* USB Speakers", "  Laptop Speakers", "  Left && Right Speakers", "--"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeEngineParts parts;
        for (const AudioDevice& device : c.devices) parts.audio.add(device);
        parts.audio.defaultInput = c.defaultInput;
        parts.audio.defaultOutput = c.defaultOutput;
        parts.lid.report(c.lidClosed);
        StoredSettings stored;
        stored.inputPriority = c.inputStack;
        stored.outputPriority = c.outputStack;
        stored.autoSwitchInput = stored.autoSwitchOutput = c.autoSwitch;
        const auto engine = parts.makeEngine(stored);
        engine->start();
        TrayMenu menu(*engine);
        // The menu hears of the engine's changes through the event loop.
        const auto settle = [] { QCoreApplication::processEvents(); QCoreApplication::processEvents(); };
        if (c.plugWhileOpen) menu.popup(QPoint(0, 0));
        if (c.choice) {
            const QList<QAction*> actions = menu.actions();
            const auto item = std::ranges::find(actions, QString::fromLatin1(c.choice), &QAction::text);
            ASSERT_NE(item, actions.end());
            (*item)->trigger();
            settle();
            EXPECT_EQ(engine->defaultOutputUID(), "spk") << "at once, below rank 1";
        }
        if (c.setElsewhere) {
            (c.setElsewhere->direction == Direction::input ? parts.audio.defaultInput : parts.audio.defaultOutput) =
                c.setElsewhere->uid;
            parts.audio.fireDefaultChange();
        }
        settle();
        EXPECT_TRUE(parts.notifier.notices.empty());
        if (c.plugWhileOpen) {
            parts.audio.add(*c.plugWhileOpen);
            parts.audio.fireDeviceListChange();
        }
        settle();
        EXPECT_EQ(menuLines(menu), c.expected);
    }
}

// The top items of a tray item's exported menu: labels, radio items with "* " when on.
struct ExportedItem {
    int id = 0;
    QString line;
};
struct ExportedMenu {
    uint revision = 0;
    std::vector<ExportedItem> items;
};
ExportedMenu exportedMenu(const QDBusConnection& bus, const QString& item)
{
    QDBusMessage call = QDBusMessage::createMethodCall(item, QStringLiteral("/MenuBar"), QStringLiteral("com.canonical.dbusmenu"),
                                                       QStringLiteral("GetLayout"));
    call << 0 << -1 << QStringList();
    const QList<QVariant> reply = bus.call(call, QDBus::Block, 5000).arguments();
    ExportedMenu menu;
    if (reply.size() < 2) return menu;
    menu.revision = reply.at(0).toUInt();
    const QDBusArgument root = reply.at(1).value<QDBusArgument>();
    int id = 0;
    QVariantMap properties;
    root.beginStructure();
    root >> id >> properties;
    root.beginArray();
    while (!root.atEnd()) {
        QDBusVariant child;
        root >> child;
        const QDBusArgument entry = child.variant().value<QDBusArgument>();
        entry.beginStructure();
        entry >> id >> properties;
        entry.endStructure();
        const QString label = properties.value(QStringLiteral("label")).toString();
        if (properties.value(QStringLiteral("toggle-type")) == QStringLiteral("radio")) {
            menu.items.push_back({id, (properties.value(QStringLiteral("toggle-state")).toInt() == 1 ? "* " : "  ") + label});
        } else if (!label.isEmpty()) {
            menu.items.push_back({id, label});
        }
    }
    root.endArray();
    root.endStructure();
    return menu;
}

// The properties a menu's items answer with when asked by id, by id.
std::map<int, QVariantMap> exportedProperties(const QDBusConnection& bus, const QString& item, const QList<int>& ids)
{
    QDBusMessage call = QDBusMessage::createMethodCall(item, QStringLiteral("/MenuBar"), QStringLiteral("com.canonical.dbusmenu"),
                                                       QStringLiteral("GetGroupProperties"));
    call << QVariant::fromValue(ids) << QStringList();
    const QList<QVariant> reply = bus.call(call, QDBus::Block, 5000).arguments();
    std::map<int, QVariantMap> found;
    if (reply.isEmpty()) return found;
    const QDBusArgument items = reply.at(0).value<QDBusArgument>();
    items.beginArray();
    while (!items.atEnd()) {
        int id = 0;
        QVariantMap properties;
        items.beginStructure();
        items >> id >> properties;
        items.endStructure();
        found[id] = properties;
    }
    items.endArray();
    return found;
}

// A desktop's tray host, as much of it as an item needs: it takes every registration.
class TrayWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
public:
    bool isHostRegistered() const { return true; }
    QStringList items;
public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& item) { items << item; }
};

TEST(AppShell, TheTrayItemNamesTheInstalledIconAndExportsTheDeviceMenu)
{
    TrayWatcher watcher;
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                   QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties));
    ASSERT_TRUE(bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
    // A tray needs a real window system.
    QProcess xServer;
    diesWithTests(xServer);
    xServer.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    ASSERT_TRUE(waitUntil([&] { return xServer.canReadLine(); }, 20s)) << "Xvfb did not start";
    TempFolder data;
    std::filesystem::create_directories(data / "icons/hicolor/apps");
    writeFile(data / "icons/hicolor/index.theme", "[Icon Theme]\nDirectories=apps\n[apps]\nSize=16\nType=Scalable\n");
    writeFile(data / "icons/hicolor/apps/vantorelle.svg", "<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'/>");

    PulseDaemon sound;
    ASSERT_TRUE(sound.isRunning()) << "no private sound server";
    ASSERT_TRUE(sound.addSink("usb_spk", {{"device.description", "USB Speakers"}}));
    ASSERT_TRUE(sound.addSink("speakers", {{"device.description", "Laptop Speakers"}}));
    ASSERT_TRUE(sound.setDefaultSink("usb_spk"));

    TempFolder config;
    ProgramRun program(config, {{QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb")},
                                {QStringLiteral("DISPLAY"), QLatin1Char(':') + QString::fromLatin1(xServer.readLine()).trimmed()},
                                {QStringLiteral("XDG_DATA_DIRS"), QString::fromStdString(data.path().string())},
                                {QStringLiteral("PULSE_SERVER"), sound.server()}});
    program.start();
    ASSERT_TRUE(waitUntil([&] { return !watcher.items.empty(); }, 20s)) << program.process().readAllStandardError().toStdString();
    QDBusMessage get = QDBusMessage::createMethodCall(watcher.items.first(), QStringLiteral("/StatusNotifierItem"),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.kde.StatusNotifierItem") << QStringLiteral("IconName");
    EXPECT_EQ(bus.call(get, QDBus::Block, 5000).arguments().value(0).value<QDBusVariant>().variant().toString(),
              QStringLiteral("vantorelle"));

    // The menu goes along with its device section, and a choice there sets the server's default.
    const auto lines = [&] {
        QStringList shown;
        for (const ExportedItem& item : exportedMenu(bus, watcher.items.first()).items) shown << item.line;
        return shown;
    };
    EXPECT_TRUE(waitUntil([&] {
        return lines() == QStringList{"Output", "* USB Speakers", "  Laptop Speakers", "Open Vantorelle", "Quit Vantorelle"};
    })) << lines().join(" | ").toStdString();
    // A panel asks the root item (id 0) for its properties after each new layout.
    const std::map<int, QVariantMap> root = exportedProperties(bus, watcher.items.first(), {0});
    ASSERT_EQ(root.size(), 1U);
    EXPECT_EQ(root.begin()->second.value(QStringLiteral("children-display")).toString(), QStringLiteral("submenu"));
    const uint revision = exportedMenu(bus, watcher.items.first()).revision;
    for (const ExportedItem& item : exportedMenu(bus, watcher.items.first()).items) {
        if (item.line != QStringLiteral("  Laptop Speakers")) continue;
        QDBusMessage click = QDBusMessage::createMethodCall(watcher.items.first(), QStringLiteral("/MenuBar"),
                                                            QStringLiteral("com.canonical.dbusmenu"), QStringLiteral("Event"));
        click << item.id << QStringLiteral("clicked") << QVariant::fromValue(QDBusVariant(0)) << 0u;
        bus.call(click, QDBus::Block, 5000);
    }
    EXPECT_TRUE(waitUntil([&] { return sound.defaultSink() == std::optional<QString>("speakers"); }));
    EXPECT_TRUE(waitUntil([&] { return lines().contains("* Laptop Speakers"); })) << lines().join(" | ").toStdString();

    // A device that comes makes a new layout with a new revision; its name keeps its "&" and "_".
    ASSERT_TRUE(sound.addSink("desk_spk", {{"device.description", "Left & Right_Speakers"}}));
    EXPECT_TRUE(waitUntil([&] { return lines().contains("  Left & Right__Speakers"); })) << lines().join(" | ").toStdString();
    EXPECT_GT(exportedMenu(bus, watcher.items.first()).revision, revision);
    bus.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    endProcess(xServer);
}

} // namespace
} // namespace vantorelle::test

#include "AppShellTest.moc"
