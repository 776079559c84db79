// The running application's window: closing it leaves the engine at work.
#include "UiTestSupport.h"

#include "support/platform/ChildProcess.h"
#include "support/platform/DBusServices.h"
#include "support/platform/QtWait.h"
#include "ui/AppShell.h"
#include "ui/MainWindow.h"
#include "ui/SidebarEntry.h"
#include "ui/SidebarView.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QPointer>

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

    first->close();
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

TEST(AppShell, TheTrayItemNamesTheInstalledIconForTheDesktopsTheme)
{
    DBusServices& bus = DBusServicesEnvironment::services();
    ASSERT_TRUE(bus.startTrayWatcher());
    // A tray needs a real window system: a private X server.
    QProcess xServer;
    diesWithTests(xServer);
    xServer.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                                           QStringLiteral("tcp")});
    ASSERT_TRUE(waitUntil([&] { return xServer.canReadLine(); }, 20s)) << "Xvfb did not start";
    const QString display = QLatin1Char(':') + QString::fromLatin1(xServer.readLine()).trimmed();
    // An icon theme holding the icon under the name the package installs it by.
    TempFolder data;
    const std::filesystem::path theme = data / "icons" / "hicolor";
    std::filesystem::create_directories(theme / "scalable" / "apps");
    writeFile(theme / "index.theme", "[Icon Theme]\nName=Hicolor\nDirectories=scalable/apps\n\n"
                                      "[scalable/apps]\nSize=48\nMinSize=8\nMaxSize=512\nType=Scalable\n");
    writeFile(theme / "scalable" / "apps" / "vantorelle.svg",
              "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\"><rect width=\"16\" height=\"16\"/></svg>");

    TempFolder config;
    ProgramRun program(config, {{QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb")},
                                {QStringLiteral("DISPLAY"), display},
                                {QStringLiteral("XDG_DATA_DIRS"), QString::fromStdString(data.path().string())},
                                {QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:/nonexistent/pulse")}});
    program.start();
    ASSERT_TRUE(bus.waitForCalls(QStringLiteral("RegisterStatusNotifierItem"), 1, 20s))
        << program.process().readAllStandardError().toStdString();
    const QString item = bus.trayItems().value(0);
    const auto property = [&item](const char* name) {
        QDBusMessage get = QDBusMessage::createMethodCall(item, QStringLiteral("/StatusNotifierItem"),
                                                          QStringLiteral("org.freedesktop.DBus.Properties"),
                                                          QStringLiteral("Get"));
        get << QStringLiteral("org.kde.StatusNotifierItem") << QString::fromLatin1(name);
        const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 5000);
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    };
    EXPECT_EQ(property("IconName").toString(), QStringLiteral("vantorelle"));
    const QDBusArgument pixmaps = property("IconPixmap").value<QDBusArgument>();
    pixmaps.beginArray();
    EXPECT_FALSE(pixmaps.atEnd()) << "pixmaps still go along, for hosts without the theme";

    endProcess(program.process());
    bus.stopTrayWatcher();
    endProcess(xServer);
}

} // namespace
} // namespace vantorelle::test
