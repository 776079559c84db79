#include "store/SettingsJson.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

namespace vantorelle {
namespace {

constexpr const char* workedExample = R"({
  "autoSwitchInput" : true,
  "autoSwitchOutput" : true,
  "inputPriority" : [
    {
      "name" : "Desk Mic",
      "uid" : "DeskMicUID-01"
    }
  ],
  "notifyDeviceChange" : true,
  "notifyInputSwitch" : true,
  "notifyOutputSwitch" : true,
  "notifySound" : false,
  "outputPriority" : [
    {
      "name" : "Studio Speakers",
      "uid" : "StudioSpeakersUID-02"
    }
  ]
})";

TEST(SettingsDecodeTest, ReadsTheDocumentedExample)
{
    const auto settings = decodeSettings(workedExample);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->inputPriority, (std::vector<SavedDevice>{{"DeskMicUID-01", "Desk Mic"}}));
    EXPECT_EQ(settings->outputPriority, (std::vector<SavedDevice>{{"StudioSpeakersUID-02", "Studio Speakers"}}));
    EXPECT_TRUE(settings->notifyDeviceChange);
    EXPECT_FALSE(settings->notifySound);
}

TEST(SettingsDecodeTest, MissingOrNullMembersTakeTheirDefaultsOneByOne)
{
    StoredSettings expected;
    expected.autoSwitchInput = false;
    EXPECT_EQ(decodeSettings(R"({"autoSwitchInput": false})"), expected);
    EXPECT_EQ(decodeSettings("{}"), StoredSettings{});
    EXPECT_EQ(decodeSettings(R"({"notifyDeviceChange": null, "inputPriority": null})"), StoredSettings{});
    // Extra members and other capitalisations are ignored.
    EXPECT_EQ(decodeSettings(R"({"AutoSwitchInput": false, "theme": "dark", "x": [1, {"y": 2}]})"),
              StoredSettings{});
    // Entries may carry extra members too.
    const auto extra = decodeSettings(R"({"outputPriority": [{"uid": "a", "name": "A", "extra": 1}]})");
    ASSERT_TRUE(extra);
    EXPECT_EQ(extra->outputPriority, (std::vector<SavedDevice>{{"a", "A"}}));
}

TEST(SettingsDecodeTest, UserAdditionsToAnEntryAreOptionalAndNeverSpoilIt)
{
    const struct {
        const char* entry;
        SavedDevice expected;
    } cases[] = {
        {R"({"uid": "a", "name": "A"})", {"a", "A"}},
        {R"({"uid": "a", "name": "A", "alias": "Desk", "automatic": false})", {"a", "A", "Desk", false}},
        {R"({"uid": "a", "name": "A", "automatic": true, "alias": ""})", {"a", "A"}},
        // Wrong types are passed over; the entry and the rest of the file stay.
        {R"({"uid": "a", "name": "A", "alias": 5, "automatic": "no"})", {"a", "A"}},
        {R"({"uid": "a", "name": "A", "alias": null, "automatic": 0})", {"a", "A"}},
        {R"({"uid": "a", "name": "A", "alias": ["x"], "automatic": false})", {"a", "A", "", false}},
    };
    for (const auto& [entry, expected] : cases) {
        const auto settings = decodeSettings(std::string(R"({"notifySound": true, "outputPriority": [)") + entry + "]}");
        ASSERT_TRUE(settings) << entry;
        EXPECT_TRUE(settings->notifySound) << entry;
        EXPECT_EQ(settings->outputPriority, std::vector<SavedDevice>{expected}) << entry;
    }
}

TEST(SettingsDecodeTest, AnyFaultMakesTheWholeFileUnreadable)
{
    const char* broken[] = {
        "",
        "   ",
        "not json",
        R"({"notifySound": "yes"})",
        R"({"notifySound": 1})",
        R"({"inputPriority": {}})",
        R"({"inputPriority": [{"uid": "a"}], "autoSwitchInput": false})",
        R"({"inputPriority": [{"name": "A"}]})",
        R"({"inputPriority": [{"uid": 5, "name": "A"}]})",
        R"({"inputPriority": [{"uid": "a", "name": null}]})",
        R"({"inputPriority": ["a"]})",
        R"({"outputPriority": [null]})",
        R"({"callsOutputPriority": {}})",
        R"({"routeCallsInput": "yes"})",
        R"({"callsApplications": ["Meet", 1]})",
        R"({"callsApplications": "Meet"})",
        R"({"callsFromAnyProgram": 1})",
        R"([])",
        R"("settings")",
        "null",
        R"({"autoSwitchInput": true)",
        R"({"autoSwitchInput": true} trailing)",
        "{\"inputPriority\": [{\"uid\": \"a\xff\", \"name\": \"A\"}]}",
    };
    for (const char* text : broken) EXPECT_EQ(decodeSettings(text), std::nullopt) << text;
}

TEST(SettingsDecodeTest, DeepNestingIsRefusedWithoutCrashing)
{
    const std::string deep = R"({"x": )" + std::string(100000, '[') + std::string(100000, ']') + "}";
    EXPECT_EQ(decodeSettings(deep), std::nullopt);
    // Brackets inside strings are text, not nesting.
    const std::string inName = R"({"inputPriority": [{"uid": "u", "name": ")" + std::string(5000, '[') + R"("}]})";
    const auto settings = decodeSettings(inName);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->inputPriority.at(0).name.size(), 5000u);
}

TEST(SettingsEncodeTest, WritesAllMembersSortedAndRoundTrips)
{
    const std::string empty = encodeSettings(StoredSettings{});
    EXPECT_EQ(empty,
              "{\n"
              "  \"autoSwitchInput\": true,\n"
              "  \"autoSwitchOutput\": true,\n"
              "  \"inputPriority\": [],\n"
              "  \"notifyDeviceChange\": false,\n"
              "  \"notifyInputSwitch\": true,\n"
              "  \"notifyOutputSwitch\": true,\n"
              "  \"notifySound\": false,\n"
              "  \"outputPriority\": []\n"
              "}\n");

    StoredSettings settings;
    settings.inputPriority = {{"b", "Bee"}, {"a", "Ay"}, {"b", "Bee"}};
    settings.outputPriority = {{"z", "Zed \" | \\ \t quote"}, {"jp", "マイク 🎤"}};
    settings.notifySound = true;
    const std::string text = encodeSettings(settings);
    EXPECT_LT(text.find("\"name\""), text.find("\"uid\"")) << "entry members sorted";
    EXPECT_EQ(decodeSettings(text), settings) << "order and duplicates kept";
    EXPECT_EQ(text.find("alias"), std::string::npos) << "an entry without additions is written as before";
    EXPECT_EQ(text.find("automatic"), std::string::npos);

    settings.outputPriority[1].alias = "Desk \"mic\"";
    settings.outputPriority[1].automatic = false;
    const std::string withAdditions = encodeSettings(settings);
    EXPECT_NE(withAdditions.find("\"alias\": \"Desk \\\"mic\\\"\",\n      \"automatic\": false,\n      \"name\""),
              std::string::npos)
        << withAdditions;
    EXPECT_EQ(decodeSettings(withAdditions), settings);
    EXPECT_EQ(withAdditions.find("calls"), std::string::npos) << "no calls members for someone who never used them";

    settings.routeCallsOutput = true;
    settings.callsOutputPriority = {{"jp", "マイク 🎤", "", false}, {"z", "Zed"}};
    settings.callsApplications = {"Meet", "Talk \"x\""};
    settings.callsFromAnyProgram = true;
    const std::string withCalls = encodeSettings(settings);
    EXPECT_NE(withCalls.find("\"callsInputPriority\": [],"), std::string::npos) << withCalls;
    EXPECT_NE(withCalls.find("\"routeCallsInput\": false"), std::string::npos);
    EXPECT_EQ(decodeSettings(withCalls), settings);
}

TEST(SettingsEncodeTest, InvalidUTF8InNamesStillGivesAReadableFile)
{
    StoredSettings settings;
    settings.inputPriority = {{"uid\xc3", "Broken \xff\xfe name"}};
    const std::string text = encodeSettings(settings);
    ASSERT_FALSE(text.empty());
    const auto decoded = decodeSettings(text);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->inputPriority.at(0).name, "Broken \xef\xbf\xbd\xef\xbf\xbd name");
    EXPECT_TRUE(nlohmann::json::accept(text));
}

} // namespace
} // namespace vantorelle
