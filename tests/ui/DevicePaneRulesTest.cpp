#include "ui/DeviceCard.h"
#include "ui/DevicePaneView.h"

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
