#include "services/LevelCapture.h"

#include <pulse/error.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace vantorelle {

namespace {

// A stream let go of while the server was still creating it is closed as soon as it exists,
// so no recording is left behind on the server. The context keeps it alive until then.
void closeWhenReady(pa_stream* stream, void*) noexcept
{
    if (pa_stream_get_state(stream) == PA_STREAM_READY) pa_stream_disconnect(stream);
}

} // namespace

void LevelCapture::StreamRelease::operator()(pa_stream* stream) const noexcept
{
    pa_stream_set_read_callback(stream, nullptr, nullptr);
    switch (pa_stream_get_state(stream)) {
    case PA_STREAM_CREATING:
        pa_stream_set_state_callback(stream, &closeWhenReady, nullptr);
        break;
    case PA_STREAM_READY:
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        pa_stream_disconnect(stream);
        break;
    default:
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        break;
    }
    pa_stream_unref(stream);
}

LevelCapture::LevelCapture(Events events, std::optional<std::string> server)
    : events_(std::move(events)), server_(std::move(server)), loop_(pulse::makeQtMainloop())
{
    connectContext();
}

// The members' order lets go of the stream and the operations, whose callbacks point at this
// object, before the context.
LevelCapture::~LevelCapture() = default;

void LevelCapture::connectContext() noexcept
{
    if (!loop_) return;
    context_ = pulse::makeContext(loop_->api());
    if (!context_) return;
    pa_context_set_state_callback(context_.get(), &LevelCapture::onContextState, this);
    pa_context_set_subscribe_callback(context_.get(), &LevelCapture::onContextEvent, this);
    const char* server = server_ ? server_->c_str() : nullptr;
    if (pa_context_connect(context_.get(), server, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        context_.reset();
    }
}

void LevelCapture::open() noexcept
{
    if (state_ != State::closed) return;
    state_ = State::opening;
    changedWhileOpening_ = false;
    if (!context_) connectContext();
    if (!context_) {
        state_ = State::closed;
        return;
    }
    if (pa_context_get_state(context_.get()) != PA_CONTEXT_READY) {
        openWhenReady_ = true;
        return;
    }
    lookUpDefaultSource();
}

void LevelCapture::close() noexcept
{
    openWhenReady_ = false;
    lookup_.reset();
    defaultCheck_.reset();
    dropStream();
}

void LevelCapture::dropStream() noexcept
{
    stream_.reset();
    state_ = State::closed;
    sampleCount_ = 0;
}

void LevelCapture::lookUpDefaultSource() noexcept
{
    lookup_ = pulse::Operation(pa_context_get_server_info(context_.get(), &LevelCapture::onDefaultForOpening, this));
    if (!lookup_.isValid()) abandonOpening();
}

void LevelCapture::abandonOpening() noexcept
{
    // No usable input: stay closed until the owner hears of a change and asks again. A change
    // that came while opening may have been the input this attempt missed.
    lookup_.reset();
    dropStream();
    if (std::exchange(changedWhileOpening_, false)) report(events_.configurationChanged);
}

void LevelCapture::connectStream(const pa_source_info& source) noexcept
{
    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_FLOAT32NE;
    spec.rate = source.sample_spec.rate;
    spec.channels = source.sample_spec.channels;
    if (spec.rate == 0 || spec.channels == 0 || !pa_sample_spec_valid(&spec)) return abandonOpening();
    // The source's own channel map keeps its first channel first: no remixing.
    const pa_channel_map* map = pa_channel_map_valid(&source.channel_map) != 0
                                        && source.channel_map.channels == spec.channels
                                    ? &source.channel_map
                                    : nullptr;
    stream_ = Stream(pa_stream_new(context_.get(), "Level meter", &spec, map));
    if (!stream_) return abandonOpening();
    channels_ = spec.channels;
    sampleCount_ = 0;

    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.tlength = static_cast<std::uint32_t>(-1);
    attributes.prebuf = static_cast<std::uint32_t>(-1);
    attributes.minreq = static_cast<std::uint32_t>(-1);
    attributes.fragsize = static_cast<std::uint32_t>(framesPerBuffer * pa_frame_size(&spec));

    pa_stream_set_state_callback(stream_.get(), &LevelCapture::onStreamState, this);
    pa_stream_set_read_callback(stream_.get(), &LevelCapture::onStreamRead, this);
    // No device named: a stream left to the server follows its default source.
    if (pa_stream_connect_record(stream_.get(), nullptr, &attributes, PA_STREAM_ADJUST_LATENCY) < 0) {
        abandonOpening();
    }
}

void LevelCapture::streamBroke() noexcept
{
    const bool wasStreaming = state_ == State::streaming;
    const bool changed = std::exchange(changedWhileOpening_, false);
    dropStream();
    if (wasStreaming || changed) report(events_.configurationChanged);
}

void LevelCapture::contextFailed() noexcept
{
    const bool wasStreaming = state_ == State::streaming;
    lookup_.reset();
    defaultCheck_.reset();
    subscription_.reset();
    dropStream();
    context_.reset();
    openWhenReady_ = false;
    // A new connection is made by the next open(); only a loss while recording asks for one.
    if (wasStreaming) report(events_.configurationChanged);
}

bool LevelCapture::inputMayHaveChanged() noexcept
{
    if (state_ == State::closed) report(events_.configurationChanged);
    if (state_ == State::opening) changedWhileOpening_ = true;
    return state_ != State::streaming;
}

void LevelCapture::serverChanged() noexcept
{
    if (inputMayHaveChanged()) return;
    // The server normally moves a stream that follows the default; make sure it did.
    defaultCheck_ = pulse::Operation(pa_context_get_server_info(context_.get(), &LevelCapture::onDefaultForCheck, this));
}

void LevelCapture::takeSamples(const void* data, std::size_t bytes) noexcept
{
    if (channels_ == 0) return;
    const std::size_t frameBytes = sizeof(float) * channels_;
    const auto* bytesIn = static_cast<const unsigned char*>(data);
    for (std::size_t offset = 0; offset + frameBytes <= bytes; offset += frameBytes) {
        float sample = 0.0f;
        std::memcpy(&sample, bytesIn + offset, sizeof sample);
        samples_[sampleCount_++] = sample;
        if (sampleCount_ == samples_.size()) {
            sampleCount_ = 0;
            if (events_.buffer) events_.buffer(samples_);
        }
    }
}

void LevelCapture::report(const std::function<void()>& event) const noexcept
{
    if (event) event();
}

void LevelCapture::onContextState(pa_context* context, void* userdata) noexcept
{
    auto& self = *static_cast<LevelCapture*>(userdata);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY: {
        const auto mask = static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SOURCE | PA_SUBSCRIPTION_MASK_SERVER);
        self.subscription_ = pulse::Operation(pa_context_subscribe(context, mask, nullptr, nullptr));
        if (self.openWhenReady_) {
            self.openWhenReady_ = false;
            self.lookUpDefaultSource();
        }
        break;
    }
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        self.contextFailed();
        break;
    default:
        break;
    }
}

void LevelCapture::onContextEvent(pa_context*, pa_subscription_event_type_t type, std::uint32_t,
                                  void* userdata) noexcept
{
    auto& self = *static_cast<LevelCapture*>(userdata);
    const auto facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    const auto kind = type & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
    if (facility == PA_SUBSCRIPTION_EVENT_SERVER) {
        self.serverChanged();
    } else if (facility == PA_SUBSCRIPTION_EVENT_SOURCE && kind == PA_SUBSCRIPTION_EVENT_NEW) {
        self.inputMayHaveChanged();
    }
}

void LevelCapture::onDefaultForOpening(pa_context* context, const pa_server_info* info,
                                       void* userdata) noexcept
{
    auto& self = *static_cast<LevelCapture*>(userdata);
    if (!info || !info->default_source_name || info->default_source_name[0] == '\0') {
        self.abandonOpening();
        return;
    }
    self.lookup_ = pulse::Operation(pa_context_get_source_info_by_name(
        context, info->default_source_name, &LevelCapture::onSourceInfo, &self));
    if (!self.lookup_.isValid()) self.abandonOpening();
}

void LevelCapture::onSourceInfo(pa_context*, const pa_source_info* info, int endOfList,
                                void* userdata) noexcept
{
    auto& self = *static_cast<LevelCapture*>(userdata);
    // Once the source's facts are in, the opening has gone on (or been given up) without the rest.
    if (self.state_ != State::opening || self.stream_) return;
    if (endOfList == 0 && info) {
        self.connectStream(*info);
    } else {
        // An error or an empty answer: the default source vanished in between.
        self.abandonOpening();
    }
}

void LevelCapture::onDefaultForCheck(pa_context*, const pa_server_info* info, void* userdata) noexcept
{
    auto& self = *static_cast<LevelCapture*>(userdata);
    if (!info || self.state_ != State::streaming || !self.stream_) return;
    const char* device = pa_stream_get_device_name(self.stream_.get());
    const char* wanted = info->default_source_name;
    if (!wanted || wanted[0] == '\0' || (device && std::strcmp(device, wanted) == 0)) return;
    // The stream stayed on a source that is no longer the default: start over.
    self.dropStream();
    self.report(self.events_.configurationChanged);
}

void LevelCapture::onStreamState(pa_stream* stream, void* userdata) noexcept
{
    auto& self = *static_cast<LevelCapture*>(userdata);
    switch (pa_stream_get_state(stream)) {
    case PA_STREAM_READY:
        self.state_ = State::streaming;
        self.changedWhileOpening_ = false;
        self.report(self.events_.started);
        break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        self.streamBroke();
        break;
    default:
        break;
    }
}

void LevelCapture::onStreamRead(pa_stream* stream, std::size_t, void* userdata) noexcept
{
    auto& self = *static_cast<LevelCapture*>(userdata);
    while (pa_stream_readable_size(stream) > 0) {
        const void* data = nullptr;
        std::size_t bytes = 0;
        if (pa_stream_peek(stream, &data, &bytes) < 0 || bytes == 0) return;
        // A hole (lost data) carries no samples; it is skipped, not measured as silence.
        if (data) self.takeSamples(data, bytes);
        pa_stream_drop(stream);
    }
}

} // namespace vantorelle
