#pragma once

#include "audio/pulse/PulseHandles.h"
#include "audio/pulse/QtMainloop.h"

#include <pulse/introspect.h>
#include <pulse/stream.h>
#include <pulse/subscribe.h>

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace vantorelle {

// A float32 record stream of the sound server's default source, cut into 1024-frame buffers
// of channel 0. Everything runs on the creating thread (Qt's main thread): libpulse is driven by
// Qt's event dispatcher there, so no state is shared with another thread.
//
// The stream follows the default source; when it breaks, or when something that may make
// input usable happens while none is open, the owner is told of a configuration change and
// decides when to try again. Nothing is retried here, so there is no loop while no source
// exists.
class LevelCapture {
public:
    static constexpr std::size_t framesPerBuffer = 1024;

    struct Events {
        std::function<void()> started;              // the stream records
        std::function<void()> configurationChanged; // the stream broke, or input may have appeared
        std::function<void(std::span<const float>)> buffer; // framesPerBuffer samples of channel 0
    };

    // Connects to the server (from libpulse's usual lookup when `server` is absent) and
    // watches its sources and defaults; opens no stream yet.
    explicit LevelCapture(Events events, std::optional<std::string> server = {});
    ~LevelCapture();
    LevelCapture(const LevelCapture&) = delete;
    LevelCapture& operator=(const LevelCapture&) = delete;

    // Looks up the default source and records from it. Does nothing while a stream is open or
    // being opened. A failure leaves it closed without a word: no usable input.
    void open() noexcept;
    // Drops the stream, if any; no callback about it follows.
    void close() noexcept;

private:
    struct StreamRelease {
        void operator()(pa_stream* stream) const noexcept;
    };
    using Stream = std::unique_ptr<pa_stream, StreamRelease>;
    enum class State { closed, opening, streaming };

    void connectContext() noexcept;
    void lookUpDefaultSource() noexcept;
    void connectStream(const pa_source_info& source) noexcept;
    void abandonOpening() noexcept;
    // Closes the stream, if any, and forgets its partial buffer.
    void dropStream() noexcept;
    void streamBroke() noexcept;
    void contextFailed() noexcept;
    // Something that may make input usable: told at once while closed, noted while opening;
    // false while streaming.
    bool inputMayHaveChanged() noexcept;
    void serverChanged() noexcept;
    void takeSamples(const void* data, std::size_t bytes) noexcept;
    void report(const std::function<void()>& event) const noexcept;

    static void onContextState(pa_context* context, void* userdata) noexcept;
    static void onContextEvent(pa_context* context, pa_subscription_event_type_t type,
                               std::uint32_t index, void* userdata) noexcept;
    static void onDefaultForOpening(pa_context* context, const pa_server_info* info,
                                    void* userdata) noexcept;
    static void onDefaultForCheck(pa_context* context, const pa_server_info* info,
                                  void* userdata) noexcept;
    static void onSourceInfo(pa_context* context, const pa_source_info* info, int endOfList,
                             void* userdata) noexcept;
    static void onStreamState(pa_stream* stream, void* userdata) noexcept;
    static void onStreamRead(pa_stream* stream, std::size_t bytes, void* userdata) noexcept;

    Events events_;
    std::optional<std::string> server_;
    // Declared in this order so that the stream goes before the context, and the context
    // before the loop that drives it.
    pulse::QtMainloopHandle loop_;
    pulse::Context context_;
    pulse::Operation subscription_;
    pulse::Operation lookup_;
    pulse::Operation defaultCheck_;
    Stream stream_;
    State state_ = State::closed;
    bool openWhenReady_ = false;
    bool changedWhileOpening_ = false;

    unsigned channels_ = 0;
    std::array<float, framesPerBuffer> samples_{};
    std::size_t sampleCount_ = 0;
};

} // namespace vantorelle
