#include "store/SettingsJson.h"

#include <nlohmann/json.hpp>

#include <cstddef>

namespace vantorelle {

namespace {

using nlohmann::json;

// The settings need three levels of nesting. Far deeper input is hostile or broken, and the
// JSON library recurses per level when it tears values down, so it is refused before parsing.
constexpr std::size_t maxNesting = 256;

bool nestingWithinLimit(std::string_view text) noexcept
{
    std::size_t depth = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped) escaped = false;
            else if (c == '\\') escaped = true;
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > maxNesting) return false;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return true;
}

// A missing member or null keeps the default; any other type than bool spoils the file.
bool readFlag(const json& object, const char* key, bool& target)
{
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) return true;
    if (!it->is_boolean()) return false;
    target = it->get<bool>();
    return true;
}

bool readList(const json& object, const char* key, std::vector<SavedDevice>& target)
{
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) return true;
    if (!it->is_array()) return false;
    std::vector<SavedDevice> list;
    list.reserve(it->size());
    for (const json& entry : *it) {
        if (!entry.is_object()) return false;
        const auto uid = entry.find("uid");
        const auto name = entry.find("name");
        if (uid == entry.end() || !uid->is_string()) return false;
        if (name == entry.end() || !name->is_string()) return false;
        SavedDevice saved{uid->get<std::string>(), name->get<std::string>()};
        // The user's own additions are optional and never spoil the entry: a wrong type is
        // passed over, and the file stays as it is until the next change is saved.
        if (const auto alias = entry.find("alias"); alias != entry.end() && alias->is_string()) {
            saved.alias = alias->get<std::string>();
        }
        if (const auto automatic = entry.find("automatic"); automatic != entry.end() && automatic->is_boolean()) {
            saved.automatic = automatic->get<bool>();
        }
        list.push_back(std::move(saved));
    }
    target = std::move(list);
    return true;
}

bool readNames(const json& object, const char* key, std::vector<std::string>& target)
{
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) return true;
    if (!it->is_array()) return false;
    std::vector<std::string> names;
    for (const json& name : *it) {
        if (!name.is_string()) return false;
        names.push_back(name.get<std::string>());
    }
    target = std::move(names);
    return true;
}

json encodeList(const std::vector<SavedDevice>& list)
{
    json array = json::array();
    for (const SavedDevice& entry : list) {
        json object{{"uid", entry.uid}, {"name", entry.name}};
        // Written only when they differ from an entry without them, so older files stay as they were.
        if (!entry.alias.empty()) object["alias"] = entry.alias;
        if (!entry.automatic) object["automatic"] = false;
        array.push_back(std::move(object));
    }
    return array;
}

} // namespace

std::optional<StoredSettings> decodeSettings(std::string_view text) noexcept
{
    if (!nestingWithinLimit(text)) return std::nullopt;
    try {
        const json root = json::parse(text.begin(), text.end());
        if (!root.is_object()) return std::nullopt;
        StoredSettings settings;
        const bool ok = readList(root, "inputPriority", settings.inputPriority)
            && readList(root, "outputPriority", settings.outputPriority)
            && readFlag(root, "autoSwitchInput", settings.autoSwitchInput)
            && readFlag(root, "autoSwitchOutput", settings.autoSwitchOutput)
            && readFlag(root, "notifyInputSwitch", settings.notifyInputSwitch)
            && readFlag(root, "notifyOutputSwitch", settings.notifyOutputSwitch)
            && readFlag(root, "notifyDeviceChange", settings.notifyDeviceChange)
            && readFlag(root, "notifySound", settings.notifySound)
            && readList(root, "callsInputPriority", settings.callsInputPriority)
            && readList(root, "callsOutputPriority", settings.callsOutputPriority)
            && readFlag(root, "routeCallsInput", settings.routeCallsInput)
            && readFlag(root, "routeCallsOutput", settings.routeCallsOutput)
            && readNames(root, "callsApplications", settings.callsApplications)
            && readFlag(root, "callsFromAnyProgram", settings.callsFromAnyProgram);
        if (!ok) return std::nullopt;
        return settings;
    } catch (...) {
        return std::nullopt;
    }
}

std::string encodeSettings(const StoredSettings& settings) noexcept
{
    try {
        // nlohmann's object keeps its members sorted by key, which is the order the file uses.
        json root = {
            {"autoSwitchInput", settings.autoSwitchInput},
            {"autoSwitchOutput", settings.autoSwitchOutput},
            {"inputPriority", encodeList(settings.inputPriority)},
            {"notifyDeviceChange", settings.notifyDeviceChange},
            {"notifyInputSwitch", settings.notifyInputSwitch},
            {"notifyOutputSwitch", settings.notifyOutputSwitch},
            {"notifySound", settings.notifySound},
            {"outputPriority", encodeList(settings.outputPriority)},
        };
        // The calls members are written once the user has any, so a file of someone who never
        // used them stays as it was.
        if (settings.usesCalls()) {
            root["callsInputPriority"] = encodeList(settings.callsInputPriority);
            root["callsOutputPriority"] = encodeList(settings.callsOutputPriority);
            root["routeCallsInput"] = settings.routeCallsInput;
            root["routeCallsOutput"] = settings.routeCallsOutput;
            root["callsApplications"] = settings.callsApplications;
            root["callsFromAnyProgram"] = settings.callsFromAnyProgram;
        }
        // Names come from the sound server as raw bytes; invalid UTF-8 must not make the file
        // unreadable (or the save fail), so such bytes become U+FFFD.
        return root.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
    } catch (...) {
        return {};
    }
}

} // namespace vantorelle
