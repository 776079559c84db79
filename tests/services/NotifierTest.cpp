#include "services/Notifier.h"

#include "support/platform/DBusServices.h"
#include "support/platform/QtWait.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sstream>
#include <string>

namespace vantorelle {
namespace {

using test::DBusServices;
using test::DBusServicesEnvironment;
using test::ReceivedNotice;
using test::waitUntil;

// Counts flushes, to tell a line that was pushed out from one left in the buffer.
class FlushCountingBuffer final : public std::stringbuf {
public:
    int flushes = 0;

protected:
    int sync() override
    {
        ++flushes;
        return std::stringbuf::sync();
    }
};

// An installed layout: <prefix>/bin/vantorelle next to share/applications/vantorelle.desktop.
class InstalledPrefix {
public:
    InstalledPrefix()
    {
        const QDir root(dir_.path());
        root.mkpath(QStringLiteral("bin"));
        root.mkpath(QStringLiteral("share/applications"));
        QFile desktop(root.filePath(QStringLiteral("share/applications/vantorelle.desktop")));
        desktop.open(QIODevice::WriteOnly);
        desktop.write("[Desktop Entry]\nType=Application\nName=Vantorelle\nExec=vantorelle\n");
    }

    AppIdentity identity() const
    {
        return AppIdentity::forExecutable(dir_.filePath(QStringLiteral("bin/vantorelle")).toStdString());
    }

private:
    QTemporaryDir dir_;
};

// A name as anyone in radio range can give a Bluetooth device.
const std::string markupName = "Cans <b>bold</b> &amp; <a href=http://example.invalid/>click</a>";

AppIdentity noIdentity()
{
    return AppIdentity::forExecutable("/nonexistent/build/vantorelle");
}

class NotifierTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(installed.identity().present());
        ASSERT_TRUE(services.startSessionBus());
        if (!services.isNotificationsRunning()) {
            ASSERT_TRUE(services.startNotifications());
        }
        ASSERT_TRUE(services.clearCalls());
    }

    // Posts a notice through a notifier with an identity and waits for it: every call made
    // before it has then reached the server too.
    void postMarker()
    {
        std::ostringstream out;
        Notifier marker(installed.identity(), out);
        const int before = services.callCount(QStringLiteral("Notify"));
        marker.post({"marker", "marker"});
        ASSERT_TRUE(services.waitForCalls(QStringLiteral("Notify"), before + 1));
    }

    DBusServices& services = DBusServicesEnvironment::services();
    InstalledPrefix installed;
    std::ostringstream out;
};

TEST_F(NotifierTest, WithoutIdentityPrintsOneFlushedLine)
{
    FlushCountingBuffer buffer;
    std::ostream stream(&buffer);
    Notifier notifier(noIdentity(), stream);

    notifier.post({"Device removed", "USB Headset"});
    EXPECT_EQ(buffer.str(), "[notification] Device removed: USB Headset\n");
    EXPECT_GE(buffer.flushes, 1);

    notifier.post({"Input switched", "Lid closed — USB\nMic"});
    notifier.post({"Device connected", markupName});
    EXPECT_EQ(buffer.str(), "[notification] Device removed: USB Headset\n"
                            "[notification] Input switched: Lid closed — USB\uFFFDMic\n"
                            "[notification] Device connected: " + markupName + "\n")
        << "a name cannot break the line, and the line is plain text";

    postMarker();
    EXPECT_EQ(services.notices().size(), 1U) << "only the marker reaches the server";
}

TEST_F(NotifierTest, WithoutIdentityAskPermissionDoesNothing)
{
    Notifier notifier(noIdentity(), out);
    notifier.askPermission();
    postMarker();
    EXPECT_EQ(services.callCount(QStringLiteral("GetCapabilities")), 1) << "the marker's only";
    EXPECT_TRUE(out.str().empty());
}

TEST_F(NotifierTest, WithIdentityAskPermissionOnlyChecksForTheServer)
{
    Notifier notifier(installed.identity(), out);
    notifier.askPermission();
    notifier.askPermission();
    ASSERT_TRUE(waitUntil([&] { return notifier.serverReadsMarkup().has_value(); }));
    EXPECT_EQ(services.callCount(QStringLiteral("Notify")), 0);
    postMarker();
    EXPECT_EQ(services.callCount(QStringLiteral("GetCapabilities")), 2) << "asked once, and once by the marker";
    EXPECT_TRUE(out.str().empty());
}

TEST_F(NotifierTest, NoticeCarriesTheTextsAndIdentity)
{
    Notifier notifier(installed.identity(), out);
    notifier.post({"Input switched", "Lid closed — USB Mic"});
    ASSERT_TRUE(services.waitForCalls(QStringLiteral("Notify"), 1));

    const std::vector<ReceivedNotice> notices = services.notices();
    ASSERT_EQ(notices.size(), 1U);
    const ReceivedNotice& notice = notices.front();
    EXPECT_EQ(notice.appName, QStringLiteral("Vantorelle"));
    EXPECT_EQ(notice.appIcon, QStringLiteral("vantorelle")) << "for servers that ignore the desktop entry";
    EXPECT_EQ(notice.summary, QStringLiteral("Input switched"));
    EXPECT_EQ(notice.body, QStringLiteral("Lid closed — USB Mic"));
    EXPECT_EQ(notice.replacesId, 0U);
    EXPECT_TRUE(notice.actions.isEmpty());
    EXPECT_EQ(notice.expireTimeout, -1);
    EXPECT_EQ(notice.hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("vantorelle"));
    // The sound is off by default.
    EXPECT_EQ(notice.hints.value(QStringLiteral("suppress-sound")), QVariant(true));
    EXPECT_FALSE(notice.hints.contains(QStringLiteral("sound-name")));
    EXPECT_TRUE(out.str().empty());
}

// The body is escaped where the server reads markup in it, and until it has said whether it does;
// the summary is plain text everywhere. A new server is asked again.
TEST_F(NotifierTest, BodyIsEscapedWhereTheServerReadsMarkup)
{
    const QString plain = QString::fromStdString(markupName);
    const QString escaped =
        QStringLiteral("Cans &lt;b&gt;bold&lt;/b&gt; &amp;amp; &lt;a href=http://example.invalid/&gt;click&lt;/a&gt;");
    ASSERT_TRUE(services.startNotifications(QStringLiteral("body")));
    Notifier notifier(installed.identity(), out);
    notifier.post({markupName, markupName}); // before the server can have answered
    ASSERT_TRUE(waitUntil([&] { return notifier.serverReadsMarkup() == false; }));
    notifier.post({markupName, markupName});
    ASSERT_TRUE(services.waitForCalls(QStringLiteral("Notify"), 2));
    std::vector<ReceivedNotice> notices = services.notices();
    ASSERT_EQ(notices.size(), 2U);
    EXPECT_EQ(notices[0].body, escaped) << "not known yet";
    EXPECT_EQ(notices[1].body, plain) << "a plain-text server";

    // The usual servers, GNOME Shell's, Plasma's, mako and dunst, read markup.
    ASSERT_TRUE(services.startNotifications());
    ASSERT_TRUE(waitUntil([&] { return notifier.serverReadsMarkup() == true; }));
    notifier.post({markupName, markupName});
    ASSERT_TRUE(services.waitForCalls(QStringLiteral("Notify"), 1));
    const std::vector<ReceivedNotice> later = services.notices();
    ASSERT_EQ(later.size(), 1U);
    EXPECT_EQ(later[0].body, escaped);
    notices.push_back(later[0]);
    for (const ReceivedNotice& notice : notices) EXPECT_EQ(notice.summary, plain);
}

TEST_F(NotifierTest, SoundSwitchIsTakenAtThePost)
{
    Notifier notifier(installed.identity(), out);
    notifier.setPlaySound(true);
    notifier.post({"With sound", "a"});
    notifier.setPlaySound(false);
    notifier.post({"Silent", "b"});
    notifier.setPlaySound(true);
    ASSERT_TRUE(services.waitForCalls(QStringLiteral("Notify"), 2));

    const std::vector<ReceivedNotice> notices = services.notices();
    ASSERT_EQ(notices.size(), 2U);
    EXPECT_EQ(notices[0].summary, QStringLiteral("With sound"));
    EXPECT_EQ(notices[0].hints.value(QStringLiteral("sound-name")).toString(),
              QStringLiteral("message-new-instant"));
    EXPECT_FALSE(notices[0].hints.contains(QStringLiteral("suppress-sound")));
    EXPECT_EQ(notices[1].summary, QStringLiteral("Silent"));
    EXPECT_EQ(notices[1].hints.value(QStringLiteral("suppress-sound")), QVariant(true));
    EXPECT_FALSE(notices[1].hints.contains(QStringLiteral("sound-name")));
}

TEST_F(NotifierTest, IdenticalPostsAreSeparateNotices)
{
    Notifier notifier(installed.identity(), out);
    notifier.post({"Device connected", "USB Headset"});
    notifier.post({"Device connected", "USB Headset"});
    ASSERT_TRUE(services.waitForCalls(QStringLiteral("Notify"), 2));

    const std::vector<ReceivedNotice> notices = services.notices();
    ASSERT_EQ(notices.size(), 2U);
    for (const ReceivedNotice& notice : notices) {
        EXPECT_EQ(notice.summary, QStringLiteral("Device connected"));
        EXPECT_EQ(notice.replacesId, 0U);
    }
}

TEST_F(NotifierTest, WithoutServerNoticesAreDroppedNotQueued)
{
    Notifier notifier(installed.identity(), out);
    services.stopNotifications();
    notifier.askPermission();
    notifier.post({"Lost", "nobody listens"});
    EXPECT_TRUE(out.str().empty());

    ASSERT_TRUE(services.startNotifications());
    notifier.post({"Kept", "a server is back"});
    ASSERT_TRUE(services.waitForCalls(QStringLiteral("Notify"), 1));
    postMarker();
    const std::vector<ReceivedNotice> notices = services.notices();
    ASSERT_EQ(notices.size(), 2U);
    EXPECT_EQ(notices[0].summary, QStringLiteral("Kept"));
    EXPECT_TRUE(out.str().empty());
}

TEST_F(NotifierTest, WithoutSessionBusNoticesAreDroppedUntilItIsThere)
{
    services.stopSessionBus();
    Notifier notifier(installed.identity(), out);
    notifier.askPermission();
    notifier.post({"Lost", "no bus"});
    EXPECT_TRUE(out.str().empty());

    ASSERT_TRUE(services.startSessionBus());
    ASSERT_TRUE(services.startNotifications());
    notifier.post({"Kept", "the bus is back"});
    ASSERT_TRUE(services.waitForCalls(QStringLiteral("Notify"), 1));
    const std::vector<ReceivedNotice> notices = services.notices();
    ASSERT_EQ(notices.size(), 1U);
    EXPECT_EQ(notices[0].summary, QStringLiteral("Kept"));
}

} // namespace
} // namespace vantorelle
