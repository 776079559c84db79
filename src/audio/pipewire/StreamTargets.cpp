#include "audio/pipewire/StreamTargets.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace vantorelle::pipewire {

void StreamTargets::nodeAdded(std::uint32_t id, std::string name, std::string serial)
{
    nodes_.insert_or_assign(id, Node{std::move(name), std::move(serial)});
}

void StreamTargets::removed(std::uint32_t id)
{
    nodes_.erase(id);
    written_.erase(id);
    kept_.erase(id);
}

void StreamTargets::property(std::uint32_t stream, const char* key, const char* value)
{
    if (!key) {
        written_.erase(stream);
        return;
    }
    const std::string_view name = key;
    if (name != "target.object" && name != "target.node") return;
    Written& targets = written_[stream];
    (name == "target.object" ? targets.object : targets.node) = value ? std::optional<std::string>(value) : std::nullopt;
}

// The stream's key stores the node its last target write named: a serial in target.object (a
// move through the pulse layer), else an id in target.node (the target the session manager gave
// the stream at its start); nothing for a node name, "-1" or no write.
std::optional<std::string> StreamTargets::stored(std::uint32_t stream) const
{
    const auto known = written_.find(stream);
    if (known == written_.end()) return std::nullopt;
    const auto nameOf = [this](const std::optional<std::string>& value, bool bySerial) -> std::optional<std::string> {
        if (!value) return std::nullopt;
        for (const auto& [id, node] : nodes_) {
            if ((bySerial ? node.serial : std::to_string(id)) == *value) return node.name;
        }
        return std::nullopt;
    };
    const Written& targets = known->second;
    return targets.object ? nameOf(targets.object, true) : nameOf(targets.node, false);
}

std::optional<std::uint32_t> StreamTargets::nodeToKeep(std::uint32_t stream)
{
    // Taken before our first write, which changes what the record shows.
    const std::optional<std::string>& kept = kept_.try_emplace(stream, stored(stream)).first->second;
    if (!kept) return std::nullopt;
    const auto node = std::ranges::find(nodes_, *kept, [](const auto& entry) { return entry.second.name; });
    if (node == nodes_.end()) return std::nullopt;
    return node->first;
}

} // namespace vantorelle::pipewire
