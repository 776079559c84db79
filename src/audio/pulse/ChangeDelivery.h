#pragma once

#include "engine/AudioSystem.h"
#include "audio/pulse/LoopEvents.h"

#include <pulse/mainloop-api.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace vantorelle::pulse {

// The half of a server-backed audio system that owns its loop and tells the listener of the
// server's changes, on the loop's turn after they came, never from inside libpulse: the first
// device-list change at once, whatever follows within the coalescing window once more at its
// end. A default change that comes with a device-list change (the server picking a fallback for
// a device that went, before or after telling that it went) or while a headset changes profile
// is the pass's to read. A waiter for the sets runs once every set made before it has been
// answered (answers come in the order of the requests). A pass waits while the defaults are
// being read: a default the server changed with the plug (its own switch-on-connect) is read
// before the pass; one that a module switching to new devices makes after the pass of a plug
// (PipeWire's does) is that plug's, and brings a quiet pass of its own. Stream changes go on the
// next turn, outside the window (a call waits for its move), after a pass due on the same turn.
// Nothing is delivered after destruction.
class ChangeDelivery : public AudioSystem {
public:
    // How long a default change waits for a device-list change it may come with.
    static constexpr std::chrono::milliseconds defaultChangeHold{50};
    // How long after a plug's pass a switch-on-connect module's default change belongs to it.
    static constexpr std::chrono::milliseconds plugAnswerWindow{1000};

    ChangeDelivery(const ChangeDelivery&) = delete;
    ChangeDelivery& operator=(const ChangeDelivery&) = delete;

    void listen(Listener& listener) final { listener_ = &listener; }
    void whenSetsSettled(std::function<void()> then) final;

protected:
    // `loop` (which may be empty: then nothing is ever delivered) lives as long as this object.
    ChangeDelivery(std::unique_ptr<EventLoop> loop, std::chrono::milliseconds window);
    ~ChangeDelivery() override = default;

    pa_mainloop_api* api() const noexcept { return api_; }
    // A headset is between two profiles: default changes wait for the pass that ends it.
    virtual bool isHolding() const noexcept = 0;
    // The server's defaults, asked for, are on their way: a pass waits for them.
    virtual bool isReadingDefaults() const noexcept { return false; }
    // A module of the server makes every new device the default.
    virtual bool switchesOnConnect() const noexcept { return false; }

    // A device-list change came; `news`: not a quiet one (a fresh look, a profile change).
    void queuePass(bool news);
    // Only once the first look is complete: before, its pass reads the defaults anyway.
    void queueDefaultChange();
    // isReadingDefaults() no longer holds: a pass that waited for it goes now.
    void defaultsRead();
    // The streams changed; what comes in one turn makes one call.
    void streamListChanged() noexcept;
    // A pass waits to be delivered.
    bool isPassDue() const noexcept { return pendingPass_ != Pass::none; }
    // Asks for a delivery turn, which ends with delivered().
    void deliverSoon() noexcept { wake_.enable(true); }
    // The end of every delivery turn: after the pass due on it (and the sets the pass made).
    virtual void delivered() {}
    void setSent() noexcept { ++sent_; }
    void setAnswered();
    // The connection is gone: no answer is to come for any set.
    void setsLost();

private:
    enum class Pass { none, quiet, news };
    void deliver();
    void deliverDefaultChange();

    // First: everything below runs on it.
    std::unique_ptr<EventLoop> loop_;
    pa_mainloop_api* api_;
    std::chrono::milliseconds window_;
    Listener* listener_ = nullptr;
    Pass pendingPass_ = Pass::none;
    bool pendingDefaultChange_ = false;
    bool pendingStreams_ = false;
    std::uint64_t sent_ = 0;
    std::uint64_t answered_ = 0;
    std::optional<std::chrono::steady_clock::time_point> windowEnds_;
    std::optional<std::chrono::steady_clock::time_point> plugAnswerEnds_;
    // Each with the count of sets made before it.
    std::deque<std::pair<std::uint64_t, std::function<void()>>> waiters_;
    DeferredCall wake_;
    LoopTimer windowTimer_;
    LoopTimer defaultTimer_;
};

} // namespace vantorelle::pulse
