#include "model/AudioDevice.h"
#include "model/Direction.h"
#include "model/PrintableText.h"
#include "model/StoredSettings.h"

#include <gtest/gtest.h>


namespace vantorelle {
namespace {

TEST(AudioDeviceTest, EqualityCoversEveryField)
{
    const AudioDevice mic{7, "usb-mic", "USB Mic", true, false, false};
    EXPECT_EQ(mic, (AudioDevice{7, "usb-mic", "USB Mic", true, false, false}));

    // Same physical device under another handle or another name is a different value.
    AudioDevice otherId = mic;
    otherId.id = 8;
    AudioDevice renamed = mic;
    renamed.name = "USB Mic (2)";
    AudioDevice builtIn = mic;
    builtIn.isBuiltIn = true;
    EXPECT_NE(mic, otherId);
    EXPECT_NE(mic, renamed);
    EXPECT_NE(mic, builtIn);
    AudioDevice headset = mic;
    headset.kind = DeviceKind::headphones;
    EXPECT_NE(mic, headset);
}

TEST(DirectionTest, RawValuesRoundTripAndRejectEverythingElse)
{
    ASSERT_EQ(allDirections.size(), 2u);
    EXPECT_EQ(allDirections[0], Direction::input);
    EXPECT_EQ(allDirections[1], Direction::output);
    for (const Direction direction : allDirections) {
        EXPECT_EQ(directionFromRaw(rawValue(direction)), direction);
    }
    EXPECT_EQ(rawValue(Direction::input), "input");
    EXPECT_EQ(rawValue(Direction::output), "output");
    EXPECT_FALSE(directionFromRaw("Input"));
    EXPECT_FALSE(directionFromRaw(""));
    EXPECT_FALSE(directionFromRaw("output "));
}

TEST(StoredSettingsTest, DefaultsAndPriorityByDirection)
{
    StoredSettings settings;
    EXPECT_TRUE(settings.inputPriority.empty());
    EXPECT_TRUE(settings.outputPriority.empty());
    EXPECT_TRUE(settings.autoSwitchInput);
    EXPECT_TRUE(settings.autoSwitchOutput);
    EXPECT_TRUE(settings.notifyInputSwitch);
    EXPECT_TRUE(settings.notifyOutputSwitch);
    EXPECT_FALSE(settings.notifyDeviceChange);
    EXPECT_FALSE(settings.notifySound);

    settings.priority(Direction::output).push_back({"spk", "Speakers"});
    EXPECT_TRUE(settings.inputPriority.empty());
    ASSERT_EQ(settings.outputPriority.size(), 1u);
    EXPECT_NE(settings, StoredSettings{});
}

TEST(PrintableTextTest, WhatCouldBreakOrReorderALineBecomesAReplacementCharacter)
{
    const std::string r = "\uFFFD";
    const struct {
        std::string in;
        std::string out;
    } table[] = {
        {"USB Headset", "USB Headset"},
        {"Caf\u00E9 \u2014 \u65E5\u672C \U0001F3A7", "Caf\u00E9 \u2014 \u65E5\u672C \U0001F3A7"}, // kept as is
        {"", ""},
        {"a\nb\r\tc", "a" + r + "b" + r + r + "c"},
        {std::string("x\0y", 3), "x" + r + "y"},
        {"\x1b[31mred\x7f", r + "[31mred" + r},
        {"next\u0085line \u009b", "next" + r + "line " + r},            // C1: NEL, CSI
        {"a\u2028b\u2029c", "a" + r + "b" + r + "c"},
        {"\u202Eevil\u202C \u2066x\u2069 \u200F\u061C", r + "evil" + r + " " + r + "x" + r + " " + r + r},
        {"bad\xff\xc3", "bad" + r + r},                                  // not UTF-8
        {"\xc0\xaf \xed\xa0\x80", r + r + " " + r + r + r},         // overlong, surrogate
    };
    for (const auto& row : table) EXPECT_EQ(printableLine(row.in), row.out) << row.in;
}

} // namespace
} // namespace vantorelle
