#include "engine/ManualChoice.h"

#include "model/PrintableText.h"

#include <algorithm>
#include <unordered_set>

namespace vantorelle {

namespace {

const AudioDevice* connectedDevice(const ChoiceScope& scope, const std::string& uid)
{
    // When UIDs repeat, the device earlier in the list wins, as everywhere else.
    const auto found = std::ranges::find(scope.connected, uid, &AudioDevice::uid);
    return found == scope.connected.end() ? nullptr : &*found;
}

// What a choice by hand may take: a device usable in the direction now, automatic or not.
bool offered(const ChoiceScope& scope, const AudioDevice* device)
{
    return !unusable(device, scope.direction, scope.lidClosed);
}

// ASCII letters only: names are compared as typed on a command line, and the core has no
// Unicode tables; other characters must match exactly.
bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::ranges::equal(a, b, {}, lower, lower);
}

std::string badNameMessage(Direction direction, std::string_view name, bool ambiguous,
                           const std::vector<std::string>& candidates)
{
    std::string message = "\"" + printableLine(name) + "\" names ";
    message += ambiguous ? "several " : "no connected ";
    message += std::string(rawValue(direction)) + (ambiguous ? " devices" : " device");
    if (candidates.empty()) return message + " (none is connected)";
    message += ambiguous ? ": " : "; candidates: ";
    for (std::size_t i = 0; i < candidates.size(); ++i) message += (i > 0 ? ", " : "") + candidates[i];
    return message;
}

} // namespace

ChoiceOutcome pickNext(const ChoiceScope& scope, const std::optional<std::string>& current)
{
    const std::vector<SavedDevice>& stack = scope.stack;
    const auto at = current ? std::ranges::find(stack, *current, &SavedDevice::uid) : stack.end();
    const std::size_t start = at == stack.end() ? 0 : static_cast<std::size_t>(at - stack.begin()) + 1;
    for (std::size_t step = 0; step < stack.size(); ++step) {
        const SavedDevice& entry = stack[(start + step) % stack.size()];
        if (offered(scope, connectedDevice(scope, entry.uid))) return {entry.uid, {}, false};
    }
    return {std::nullopt, std::string("no ") + std::string(rawValue(scope.direction)) + " device of the list is connected", false};
}

ChoiceOutcome pickNamed(const ChoiceScope& scope, std::string_view name)
{
    // The candidates: the connected devices of the direction, once each, in stack order first.
    struct Candidate {
        const AudioDevice* device;
        const SavedDevice* entry;
    };
    std::vector<Candidate> candidates;
    std::unordered_set<std::string> seen;
    for (const SavedDevice& entry : scope.stack) {
        const AudioDevice* device = connectedDevice(scope, entry.uid);
        if (offered(scope, device) && seen.insert(entry.uid).second) candidates.push_back({device, &entry});
    }
    for (const AudioDevice& device : scope.connected) {
        if (offered(scope, &device) && seen.insert(device.uid).second) candidates.push_back({&device, nullptr});
    }
    const auto line = [](const Candidate& candidate) {
        const std::string& shown = candidate.entry ? shownName(*candidate.entry, candidate.device->name) : candidate.device->name;
        return printableLine(shown) + " [" + printableLine(candidate.device->uid) + "]";
    };

    // Precedence: the UID, then the user's name, then the device's own.
    const auto valueAt = [](const Candidate& candidate, int tier) -> std::string_view {
        if (tier == 0) return candidate.device->uid;
        if (tier == 1) return candidate.entry ? std::string_view(candidate.entry->alias) : std::string_view();
        return candidate.device->name;
    };
    for (int tier = 0; tier < 3; ++tier) {
        std::vector<const Candidate*> matching;
        for (const Candidate& candidate : candidates) {
            const std::string_view value = valueAt(candidate, tier);
            if (!value.empty() && sameIgnoringCase(value, name)) matching.push_back(&candidate);
        }
        if (matching.size() == 1) return {matching.front()->device->uid, {}, false};
        if (matching.size() > 1) {
            std::vector<std::string> lines;
            for (const Candidate* candidate : matching) lines.push_back(line(*candidate));
            return {std::nullopt, badNameMessage(scope.direction, name, true, lines), true};
        }
    }
    std::vector<std::string> lines;
    for (const Candidate& candidate : candidates) lines.push_back(line(candidate));
    return {std::nullopt, badNameMessage(scope.direction, name, false, lines), true};
}

} // namespace vantorelle
