#include "audio/pipewire/PipeWireDefaults.h"
#include "audio/pipewire/PipeWireHandles.h"
#include "audio/pipewire/StreamTargets.h"

#include <nlohmann/json.hpp>
#include <pipewire/extensions/metadata.h>
#include <pipewire/pipewire.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <string_view>
#include <utility>

namespace vantorelle::pipewire {

namespace {

void initialize() noexcept
{
    static std::once_flag once;
    std::call_once(once, [] { pw_init(nullptr, nullptr); });
}

// The node name in a default's value, {"name":"alsa_output.pci-0000_00_1f.3.analog-stereo"}.
std::optional<std::string> nodeName(const char* value)
{
    if (!value) return std::nullopt;
    const nlohmann::json parsed = nlohmann::json::parse(value, nullptr, false);
    if (!parsed.is_object()) return std::nullopt;
    const auto name = parsed.find("name");
    if (name == parsed.end() || !name->is_string()) return std::nullopt;
    std::string text = name->get<std::string>();
    if (text.empty()) return std::nullopt;
    return text;
}

} // namespace

// One connection to the server: the registry, and the "default" record once it is there.
//
// PipeWire (0.3 at least) forwards a change of a record only to the clients still binding it
// while any client's bind waits for the session manager's answer: every client bound before
// misses it, and keeps a stale value until it binds anew. A client that connects is about to
// bind, and a default set pairs two writes (the choice, then the one in effect) that a bind may
// split; after either the record is confirmed by binding it once more and taking what that bind
// reports. Nothing of this runs while nothing happens.
class PipeWireDefaults::Connection {
public:
    Connection(PipeWireDefaults& owner, pw_core* core) noexcept : owner_(owner), core_(core) {}
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // False when the registry could not be asked for; the connection is of no use then.
    bool start() noexcept
    {
        static constexpr pw_core_events coreEvents = [] {
            pw_core_events events{};
            events.version = PW_VERSION_CORE_EVENTS;
            events.done = &onDone;
            events.error = &onError;
            return events;
        }();
        static constexpr pw_registry_events registryEvents{
            .version = PW_VERSION_REGISTRY_EVENTS, .global = &onGlobal, .global_remove = &onGlobalRemove};
        pw_core_add_listener(core_.get(), coreHook_.get(), &coreEvents, this);
        registry_.emplace(pw_core_get_registry(core_.get(), PW_VERSION_REGISTRY, 0));
        if (!registry_->isValid()) return false;
        pw_registry_add_listener(registry_->get(), registry_->hook(), &registryEvents, this);
        return true;
    }

    bool isBroken() const noexcept { return broken_; }

    bool isReady() const noexcept { return current_ && current_->values.ready; }

    // See PipeWireDefaults::setStreamTarget().
    bool setStreamTarget(std::uint32_t stream, const std::string& target) noexcept
    {
        if (!isReady()) return false;
        try {
            // What the stream's key stored before our first move, to be written back after each.
            const std::optional<std::uint32_t> keep = targets_.nodeToKeep(stream);
            pw_metadata* metadata = current_->proxy.get();
            const bool sent = target.empty()
                ? pw_metadata_set_property(metadata, stream, "target.object", "Spa:Id", "-1") >= 0
                : pw_metadata_set_property(metadata, stream, "target.object", "Spa:String", target.c_str()) >= 0;
            if (!sent || !keep) return sent;
            // Written anew (an unchanged value is not announced), it is what the key keeps; the
            // stream goes by target.object, which outranks it.
            const std::string id = std::to_string(*keep);
            pw_metadata_set_property(metadata, stream, "target.node", nullptr, nullptr);
            pw_metadata_set_property(metadata, stream, "target.node", "Spa:Id", id.c_str());
            return true;
        } catch (...) {
            return false;
        }
    }
    // The record's contents as answers() gives them; not ready until they are in.
    Answers answers() const { return isReady() ? current_->values : Answers{}; }

    // Binds the record once more and takes what that bind reports; `always`: also when what is
    // known is consistent (a change may have been missed whole).
    void confirm(bool always) noexcept
    {
        if (!isReady() || confirming_) return;
        const Answers& known = current_->values;
        const auto agrees = [](const std::optional<std::string>& chosen, const std::optional<std::string>& inEffect) {
            return !chosen || chosen == inEffect;
        };
        if (!always && agrees(known.configuredSink, known.sink) && agrees(known.configuredSource, known.source)) return;
        confirming_ = bind();
    }

private:
    // One binding of the record and what it reported.
    struct Record {
        Record(Connection& owner, pw_metadata* metadata) noexcept : connection(owner), proxy(metadata) {}
        Connection& connection;
        Bound<pw_metadata> proxy;
        Answers values;
        int sync = 0;
    };
    std::unique_ptr<Record> bind() noexcept
    {
        static constexpr pw_metadata_events metadataEvents{
            .version = PW_VERSION_METADATA_EVENTS, .property = &onProperty};
        try {
            auto* metadata = static_cast<pw_metadata*>(
                pw_registry_bind(registry_->get(), metadataGlobal_, PW_TYPE_INTERFACE_Metadata, metadataVersion_, 0));
            auto record = std::make_unique<Record>(*this, metadata);
            if (!record->proxy.isValid()) return nullptr;
            pw_metadata_add_listener(metadata, record->proxy.hook(), &metadataEvents, record.get());
            // The server sends the record's contents on binding, so they are all in by this answer.
            record->sync = pw_core_sync(core_.get(), PW_ID_CORE, 0);
            return record;
        } catch (...) {
            return nullptr;
        }
    }

    static void onDone(void* self, std::uint32_t id, int seq) noexcept
    {
        auto& connection = *static_cast<Connection*>(self);
        if (id != PW_ID_CORE) return;
        if (connection.current_ && !connection.current_->values.ready && seq == connection.current_->sync) {
            connection.current_->values.ready = true;
        } else if (connection.confirming_ && seq == connection.confirming_->sync) {
            connection.confirming_->values.ready = true;
            connection.current_ = std::move(connection.confirming_);
        } else {
            return;
        }
        connection.owner_.deferred_.enable(true);
    }

    // The server reports what ends the use of the connection for us: its loss, or a refusal of
    // what we asked for, but a stream's target. It is let go of outside this callback.
    static void onError(void* self, std::uint32_t id, int, int, const char*) noexcept
    {
        auto& connection = *static_cast<Connection*>(self);
        // A stream's target refused (the stream ended meanwhile) is no fault of the connection.
        const auto isRecord = [id](const std::unique_ptr<Record>& record) {
            return record && pw_proxy_get_id(reinterpret_cast<pw_proxy*>(record->proxy.get())) == id;
        };
        if (id != PW_ID_CORE && (isRecord(connection.current_) || isRecord(connection.confirming_))) return;
        connection.broken_ = true;
        connection.owner_.deferred_.enable(true);
    }

    static void onGlobal(void* self, std::uint32_t id, std::uint32_t, const char* type,
                         std::uint32_t version, const spa_dict* props) noexcept
    {
        auto& connection = *static_cast<Connection*>(self);
        if (std::strcmp(type, PW_TYPE_INTERFACE_Node) == 0) {
            const char* name = props ? spa_dict_lookup(props, PW_KEY_NODE_NAME) : nullptr;
            const char* serial = props ? spa_dict_lookup(props, PW_KEY_OBJECT_SERIAL) : nullptr;
            try {
                if (name) connection.targets_.nodeAdded(id, name, serial ? serial : "");
            } catch (...) {
            }
            return;
        }
        if (std::strcmp(type, PW_TYPE_INTERFACE_Client) == 0) {
            // A new client binds the record in a moment, which may cost us a change.
            if (connection.isReady()) connection.owner_.confirmSoon(true);
            return;
        }
        if (connection.current_ || std::strcmp(type, PW_TYPE_INTERFACE_Metadata) != 0 || !props) return;
        const char* name = spa_dict_lookup(props, PW_KEY_METADATA_NAME);
        if (!name || std::strcmp(name, "default") != 0) return;
        connection.metadataGlobal_ = id;
        connection.metadataVersion_ = std::min<std::uint32_t>(version, PW_VERSION_METADATA);
        connection.current_ = connection.bind();
    }

    static void onGlobalRemove(void* self, std::uint32_t id) noexcept
    {
        auto& connection = *static_cast<Connection*>(self);
        connection.targets_.removed(id);
        if (!connection.current_ || id != connection.metadataGlobal_) return;
        // The session manager went; a new one makes a new record, which is bound then.
        connection.confirming_.reset();
        connection.current_.reset();
        connection.owner_.deferred_.enable(true);
    }

    static int onProperty(void* self, std::uint32_t subject, const char* key, const char*,
                          const char* value) noexcept
    {
        Record& record = *static_cast<Record*>(self);
        if (subject != PW_ID_CORE) {
            try {
                record.connection.targets_.property(subject, key, value);
            } catch (...) {
            }
            return 0;
        }
        if (!key) {
            record.values = Answers{record.values.ready, {}, {}, {}, {}};
        } else if (std::optional<std::string>* slot = slotOf(record.values, key)) {
            try {
                *slot = nodeName(value);
            } catch (...) {
                *slot = std::nullopt;
            }
        } else {
            return 0;
        }
        Connection& connection = record.connection;
        if (record.values.ready && connection.current_.get() == &record) {
            connection.owner_.deferred_.enable(true);
            connection.owner_.confirmSoon(false);
        }
        return 0;
    }

    static std::optional<std::string>* slotOf(Answers& values, std::string_view key) noexcept
    {
        if (key == "default.audio.sink") return &values.sink;
        if (key == "default.audio.source") return &values.source;
        if (key == "default.configured.audio.sink") return &values.configuredSink;
        if (key == "default.configured.audio.source") return &values.configuredSource;
        return nullptr;
    }

    PipeWireDefaults& owner_;
    // Declared so that each listener goes before its object and the proxies before the core.
    std::unique_ptr<pw_core, CoreDisconnect> core_;
    Hook coreHook_;
    std::optional<Bound<pw_registry>> registry_;
    std::uint32_t metadataGlobal_ = SPA_ID_INVALID;
    std::uint32_t metadataVersion_ = 0;
    // The binding followed, and one being made to confirm it, which takes its place when complete.
    std::unique_ptr<Record> current_;
    std::unique_ptr<Record> confirming_;
    bool broken_ = false;
    StreamTargets targets_;
};

void PipeWireDefaults::LoopDestroy::operator()(pw_loop* loop) const noexcept
{
    pw_loop_destroy(loop);
}

void PipeWireDefaults::ContextDestroy::operator()(pw_context* context) const noexcept
{
    pw_context_destroy(context);
}

PipeWireDefaults::PipeWireDefaults(pa_mainloop_api* api, std::optional<std::string> remote)
    : api_(api)
    , remote_(std::move(remote))
    , deferred_(api, [this] { announce(); })
    , watch_(nullptr, IoFree{api})
    , confirmTimer_(api, [this] { confirmNow(); })
{
    initialize();
    loop_.reset(pw_loop_new(nullptr));
    if (!loop_) return;
    // The loop's own descriptor is readable whenever one of its sources is ready.
    const auto ready = [](pa_mainloop_api*, pa_io_event*, int, pa_io_event_flags_t, void* self) noexcept {
        static_cast<PipeWireDefaults*>(self)->dispatch();
    };
    watch_.reset(api_->io_new(api_, pw_loop_get_fd(loop_.get()), PA_IO_EVENT_INPUT, ready, this));
    if (!watch_) return;
    // The context owns the properties from here.
    pw_properties* identity = pw_properties_new(PW_KEY_APP_NAME, "Vantorelle", PW_KEY_APP_ID, "vantorelle", nullptr);
    context_.reset(pw_context_new(loop_.get(), identity, 0));
    if (!context_) return;
    // Every context starts a processing thread for nodes; this one runs none, but the thread is
    // left idle: stopped before it has entered its loop, the stop can be lost and the join then
    // waits for ever (seen under load).
    connect();
}

PipeWireDefaults::~PipeWireDefaults() = default;

void PipeWireDefaults::connect() noexcept
{
    if (!context_) return;
    pw_properties* properties =
        remote_ ? pw_properties_new(PW_KEY_REMOTE_NAME, remote_->c_str(), nullptr) : nullptr;
    pw_core* core = pw_context_connect(context_.get(), properties, 0);
    if (!core) return;
    try {
        connection_ = std::make_unique<Connection>(*this, core);
    } catch (...) {
        pw_core_disconnect(core);
        return;
    }
    if (!connection_->start()) connection_.reset();
}

void PipeWireDefaults::reconnect() noexcept
{
    // A hang-up not yet seen is taken in first, so a dead connection is not kept for a live one.
    dispatch();
    if (connection_ && !connection_->isBroken()) return;
    connection_.reset();
    connect();
    deferred_.enable(true);
}

void PipeWireDefaults::confirmSoon(bool always) noexcept
{
    const auto now = std::chrono::steady_clock::now();
    // Once the bind that may have cost a change is answered; a burst of them waits for its end,
    // but never longer than the bound.
    if (!confirmBound_) confirmBound_ = now + confirmBound;
    confirmAlways_ = confirmAlways_ || always;
    confirmTimer_.startAt(std::min(now + confirmDelay, *confirmBound_));
}

void PipeWireDefaults::confirmNow() noexcept
{
    confirmBound_.reset();
    if (connection_) connection_->confirm(std::exchange(confirmAlways_, false));
}

void PipeWireDefaults::dispatch() noexcept
{
    if (!loop_) return;
    pw_loop_enter(loop_.get());
    pw_loop_iterate(loop_.get(), 0);
    pw_loop_leave(loop_.get());
}

void PipeWireDefaults::announce() noexcept
{
    if (connection_ && connection_->isBroken()) connection_.reset();
    try {
        Answers now = connection_ ? connection_->answers() : Answers{};
        if (now == announced_) return;
        announced_ = std::move(now);
        // A copy: the callback may end this object.
        const std::function<void()> onChange = onChange_;
        if (onChange) onChange();
    } catch (...) {
        // Out of memory, or the owner's callback failed: nothing may cross into the loop.
    }
}

std::optional<pulse::PulseServerDefaults> PipeWireDefaults::defaults() const
{
    if (!announced_.ready) return std::nullopt;
    return pulse::PulseServerDefaults{announced_.sink.value_or(""), announced_.source.value_or("")};
}

// WirePlumber 0.4 (measured on 0.4.13 with PipeWire 0.3.65) stores a stream's target for its
// key (its media role, else its application) on every change of the record's "target.object" or
// "target.node" of a live stream, the last change winning, and gives it to the key's next stream:
// the node whose serial (target.object) or id (target.node) the value names, and none when no
// node has it. Its policy follows target.object before target.node, by serial or else by node
// name. A move through the pulse layer writes the target's serial, so it leaves a stored target;
// a node name in target.object moves the stream alike but stores none, which would also erase a
// target the user had given the key. So a move writes the name in target.object, then the
// target the key had before (if any) in target.node once more: the stream goes where
// target.object says and the key keeps what it had. "-1" lets the stream follow the default.
// A target stored for a device that is not there cannot be written back (no node to name).
bool PipeWireDefaults::setStreamTarget(std::uint32_t node, const std::string& target) noexcept
{
    if (!connection_) return false;
    const bool sent = connection_->setStreamTarget(node, target);
    // Out now, not on the next event of the server.
    if (sent) dispatch();
    return sent;
}

pulse::DefaultsFeedFactory PipeWireDefaults::factory()
{
    return [](pa_mainloop_api* api) -> std::unique_ptr<pulse::DefaultsFeed> {
        return std::make_unique<PipeWireDefaults>(api);
    };
}

} // namespace vantorelle::pipewire
