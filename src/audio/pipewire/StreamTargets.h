#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace vantorelle::pipewire {

// What the session manager stores for a stream's key, as PipeWire's "default" record and its
// nodes show it, so that a move of ours can leave it as it was (see
// PipeWireDefaults::setStreamTarget()). Pure state, fed by the connection's events.
class StreamTargets {
public:
    void nodeAdded(std::uint32_t id, std::string name, std::string serial);
    // A node or stream went: forgets it.
    void removed(std::uint32_t id);
    // A property of a stream in the record; no key: all of the stream's went.
    void property(std::uint32_t stream, const char* key, const char* value);

    // The id of the node to name in the stream's target.node after a move of ours, so its key
    // keeps what it stored before the first of them; none when it stored nothing (or a node
    // that is not there).
    std::optional<std::uint32_t> nodeToKeep(std::uint32_t stream);

private:
    struct Node {
        std::string name;
        std::string serial;
    };
    // A stream's "target.object" and "target.node", as written.
    struct Written {
        std::optional<std::string> object;
        std::optional<std::string> node;
    };
    std::optional<std::string> stored(std::uint32_t stream) const;

    std::map<std::uint32_t, Node> nodes_;
    std::map<std::uint32_t, Written> written_;
    // Per stream we moved, the node name its key stored before.
    std::map<std::uint32_t, std::optional<std::string>> kept_;
};

} // namespace vantorelle::pipewire
