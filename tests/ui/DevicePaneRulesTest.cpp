#include "ui/DeviceCard.h"
#include "ui/DevicePaneView.h"
#include "ui/Symbols.h"

#include <QIcon>

#include <gtest/gtest.h>

namespace vantorelle {
namespace {

DeviceRow row(std::string uid, bool connected, bool active = false, bool lidBlocked = false)
{
    DeviceRow result;
    result.uid = std::move(uid);
    result.name = result.uid;
    result.isConnected = connected;
    result.isActive = active;
    result.lidBlocked = lidBlocked;
    result.isUsable = result.ruleMayChoose = connected && !lidBlocked;
    return result;
}

TEST(NextInLine, SkipsDisconnectedActiveAndLidBlockedRows)
{
    // Active rank 1, rank 2 gone: rank 3 takes over next.
    EXPECT_EQ(DevicePaneView::nextInLineUID({row("a", true, true), row("b", false), row("c", true)}), "c");
    // Nothing active: the first usable row.
    EXPECT_EQ(DevicePaneView::nextInLineUID({row("a", false), row("b", true), row("c", true)}), "b");
    // A lid-blocked built-in microphone never is; the one below it is.
    EXPECT_EQ(DevicePaneView::nextInLineUID({row("mic", true, false, true), row("usb", true, true), row("cam", true)}),
              "cam");
    EXPECT_EQ(DevicePaneView::nextInLineUID({row("a", true, true), row("b", false)}), std::nullopt);
    EXPECT_EQ(DevicePaneView::nextInLineUID({}), std::nullopt);
}

TEST(DeviceCardText, RankHasAtLeastTwoDigits)
{
    EXPECT_EQ(DeviceCard::rankText(1), "01");
    EXPECT_EQ(DeviceCard::rankText(7), "07");
    EXPECT_EQ(DeviceCard::rankText(10), "10");
    EXPECT_EQ(DeviceCard::rankText(100), "100");
}

TEST(DeviceCardText, GlyphFollowsWhatTheServerSaysTheDeviceIs)
{
    const auto glyph = [](DeviceKind kind, Direction direction = Direction::input, bool builtIn = false) {
        DeviceRow device = row("uid", true);
        device.name = "Camera Headset on a Display"; // names are never read for the icon
        device.kind = kind;
        device.isBuiltIn = builtIn;
        return DeviceCard::glyph(device, direction).toStdString();
    };
    EXPECT_EQ(glyph(DeviceKind::camera), "video");
    EXPECT_EQ(glyph(DeviceKind::headphones, Direction::output), "headphones");
    EXPECT_EQ(glyph(DeviceKind::display, Direction::output), "display");
    EXPECT_EQ(glyph(DeviceKind::other, Direction::output, true), "laptopcomputer");
    EXPECT_EQ(glyph(DeviceKind::other), "mic");
    EXPECT_EQ(glyph(DeviceKind::other, Direction::output), "speaker.wave.2");
}

// The desktop's icon theme draws the card's icon where it has a symbolic one; our own symbols
// stand in where it has none.
TEST(DeviceCardText, IconComesFromTheDesktopThemeByTheServersName)
{
    const QString before = QIcon::themeName();
    const QStringList paths = QIcon::themeSearchPaths();
    // The offscreen platform names no folders of themes; a desktop's does.
    QIcon::setThemeSearchPaths({QStringLiteral("/usr/share/icons")});
    const auto icon = [](const char* theme, const char* serverIcon, DeviceKind kind, Direction direction,
                         bool builtIn = false) {
        QIcon::setThemeName(QString::fromLatin1(theme));
        DeviceRow device = row("uid", true);
        device.iconName = serverIcon;
        device.kind = kind;
        device.isBuiltIn = builtIn;
        return Symbols::themeSymbol(DeviceCard::themeIconNames(device, direction)).toStdString();
    };
    const struct {
        const char* serverIcon;
        DeviceKind kind;
        Direction direction;
        bool builtIn;
        const char* expected;
    } cases[] = {
        {"audio-headset-bluetooth", DeviceKind::headphones, Direction::input, false, "audio-headset-symbolic"},
        {"camera-web-usb", DeviceKind::camera, Direction::input, false, "camera-web-symbolic"},
        {"video-display", DeviceKind::display, Direction::output, false, "video-display-symbolic"},
        // A sound card's icon says nothing of the device: the kind's does.
        {"audio-card-pci", DeviceKind::other, Direction::output, true, "computer-symbolic"},
        {"audio-card-usb", DeviceKind::other, Direction::output, false, "audio-speakers-symbolic"},
        {"", DeviceKind::other, Direction::input, false, "audio-input-microphone-symbolic"},
        {"no-such-icon-anywhere", DeviceKind::headphones, Direction::output, false, "audio-headphones-symbolic"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(icon("Adwaita", c.serverIcon, c.kind, c.direction, c.builtIn), c.expected) << c.serverIcon;
        EXPECT_EQ(icon("no-such-theme", c.serverIcon, c.kind, c.direction, c.builtIn), "") << c.serverIcon;
    }
    QIcon::setThemeName(before);
    QIcon::setThemeSearchPaths(paths);
}

TEST(DeviceCardText, CaptionAndStatusFollowTheirTables)
{
    DeviceRow builtIn = row("mic", true, false, true);
    builtIn.isBuiltIn = true;
    EXPECT_EQ(DeviceCard::caption(builtIn, Direction::input, false), "Sits out when the lid is closed");
    EXPECT_EQ(DeviceCard::statusText(builtIn, false), "Unavailable — lid closed");

    DeviceRow speakers = row("spk", true);
    speakers.isBuiltIn = true;
    EXPECT_EQ(DeviceCard::caption(speakers, Direction::output, false), "The understudy");
    EXPECT_EQ(DeviceCard::statusText(speakers, false), "Available");

    const DeviceRow gone = row("gone", false);
    EXPECT_EQ(DeviceCard::caption(gone, Direction::input, false), "Keeps its seat for when it returns");
    EXPECT_EQ(DeviceCard::statusText(gone, false), "Not connected");

    const DeviceRow next = row("next", true);
    EXPECT_EQ(DeviceCard::caption(next, Direction::output, true), "Takes over if the active device disconnects");
    EXPECT_EQ(DeviceCard::statusText(next, true), "Next in line");

    EXPECT_EQ(DeviceCard::caption(row("on", true, true), Direction::output, false), std::nullopt);
}

TEST(DevicePaneText, FootersSpeakOfThisDesktop)
{
    EXPECT_EQ(DevicePaneView::footer(Direction::input),
              "If the laptop's lid is closed, the built-in microphone becomes unavailable and the next device in "
              "the stack becomes active.");
    EXPECT_EQ(DevicePaneView::footer(Direction::output),
              "When the active device disconnects, sound falls back to the next connected seat instantly — no "
              "clicks in the system's sound settings.");
}

} // namespace
} // namespace vantorelle
