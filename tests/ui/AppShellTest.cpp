// The running application's window: closing it leaves the engine at work.
#include "UiTestSupport.h"

#include "support/platform/ChildProcess.h"
#include "support/platform/QtWait.h"
#include "ui/AppShell.h"
#include "ui/MainWindow.h"
#include "ui/SidebarEntry.h"
#include "ui/SidebarView.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QPointer>
#include <QTest>

#include <algorithm>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace vantorelle::test {
namespace {

TEST(AppShell, ClosingTheWindowKeepsTheEngineSwitchingAndReopeningStartsOnInput)
{
    const bool quitOnClose = QApplication::quitOnLastWindowClosed();
    QApplication::setQuitOnLastWindowClosed(false);

    FakeEngineParts parts;
    parts.audio.add(FakeAudioSystem::device(1, "spk", "Laptop Speakers", false, true, true));
    parts.audio.defaultOutput = 1;
    const auto engine = parts.makeEngine();
    engine->start();
    FakeInstallation installation;
    AppShell shell(*engine, installation.loginItems());

    shell.showWindow();
    QPointer<MainWindow> first = shell.window();
    ASSERT_FALSE(first.isNull());
    EXPECT_TRUE(first->isVisible());
    shell.showWindow();
    EXPECT_EQ(shell.window(), first.data()) << "one window only";
    first->setPane(Pane::settings);

    // Ctrl+W closes it as its close button does.
    QApplication::setActiveWindow(first);
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
    EXPECT_EQ(shell.window()->pane(), Pane::input) << "a new window starts on the Input pane";
    EXPECT_TRUE(shell.window()->sidebar().entry(Pane::input).isSelected());

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

TEST(AppShell, TheTrayItemNamesTheInstalledIcon)
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

    TempFolder config;
    ProgramRun program(config, {{QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb")},
                                {QStringLiteral("DISPLAY"), QLatin1Char(':') + QString::fromLatin1(xServer.readLine()).trimmed()},
                                {QStringLiteral("XDG_DATA_DIRS"), QString::fromStdString(data.path().string())},
                                {QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:/nonexistent/pulse")}});
    program.start();
    ASSERT_TRUE(waitUntil([&] { return !watcher.items.empty(); }, 20s)) << program.process().readAllStandardError().toStdString();
    QDBusMessage get = QDBusMessage::createMethodCall(watcher.items.first(), QStringLiteral("/StatusNotifierItem"),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.kde.StatusNotifierItem") << QStringLiteral("IconName");
    EXPECT_EQ(bus.call(get, QDBus::Block, 5000).arguments().value(0).value<QDBusVariant>().variant().toString(),
              QStringLiteral("vantorelle"));
    bus.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    endProcess(xServer);
}

} // namespace
} // namespace vantorelle::test

#include "AppShellTest.moc"
