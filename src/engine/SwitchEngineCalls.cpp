// Calls on a device of their own: the streams' events, the calls switches and the applications
// seen recording.
#include "engine/SwitchEngine.h"

#include "engine/DeviceStacks.h"
#include "engine/SwitchNotices.h"

#include <algorithm>

namespace vantorelle {

void SwitchEngine::streamsChanged()
{
    // Before the first pass there are no devices to route to; that pass routes.
    if (firstScanDone_) routeCallStreams();
}

void SwitchEngine::routeCallStreams(const std::optional<SystemDefaults>& current)
{
    const std::vector<AudioStream> streams = audio_->streams();
    bool newApplication = false;
    for (const AudioStream& stream : streams) {
        if (stream.direction != Direction::input || stream.application.empty()) continue;
        const auto seen = std::ranges::find(recordingApplications_, stream.application, &RecordingApplication::name);
        if (seen == recordingApplications_.end()) {
            recordingApplications_.push_back({stream.application, stream.iconName});
            newApplication = true;
        } else if (seen->iconName.empty() && !stream.iconName.empty()) {
            seen->iconName = stream.iconName;
            newApplication = true;
        }
    }

    const SystemDefaults defaults = current ? *current : audio_->defaults().value_or(SystemDefaults{});
    const RoutingDecision decision = routeCalls(streams, connected_, settings_, lidClosed_, defaults, callPlacements_);
    for (const StreamMove& move : decision.moves) {
        const bool sent = audio_->moveStream(move.direction, move.id, move.toUID);
        if (!sent) forgetMove(callPlacements_, move);
        if (tracing()) {
            trace_->write(std::string("calls: ") + (sent ? "moved " : "could not move ") + std::string(rawValue(move.direction))
                          + " stream " + std::to_string(move.id) + " to " + move.toUID);
        }
    }

    // A call's notice is told once per application and device while its calls last.
    std::erase_if(toldCalls_, [&streams, this](const auto& told) {
        return std::ranges::none_of(streams, [&](const AudioStream& stream) {
            return stream.application == told.first && isCall(stream, settings_.callsApplications);
        });
    });
    for (const CallStart& call : decision.started) {
        if (!notifyOnSwitch(call.direction) || !toldCalls_.insert({call.application, call.deviceUID}).second) continue;
        const auto device = std::ranges::find(connected_, call.deviceUID, &AudioDevice::uid);
        if (device == connected_.end()) continue;
        const NoticeText notice = callNotice(settings_.shownName(device->uid, device->name, call.direction));
        notifier_->post(notice);
    }
    if (newApplication) publish({EngineField::recordingApplications});
}

std::vector<RecordingApplication> SwitchEngine::recordingApplications() const
{
    std::vector<RecordingApplication> shown = recordingApplications_;
    for (const std::string& name : settings_.callsApplications) {
        if (std::ranges::find(shown, name, &RecordingApplication::name) == shown.end()) shown.push_back({name, {}});
    }
    return shown;
}

void SwitchEngine::setRouteCalls(bool value, Direction direction)
{
    (direction == Direction::input ? settings_.routeCallsInput : settings_.routeCallsOutput) = value;
    if (value) stacks::fillCallsStack(settings_, direction);
    finishEdit(std::nullopt, true);
}

void SwitchEngine::setCallsApplication(const std::string& name, bool isCalls)
{
    std::vector<std::string>& names = settings_.callsApplications;
    const bool listed = std::ranges::find(names, name) != names.end();
    if (name.empty() || listed == isCalls) return;
    if (isCalls) names.push_back(name);
    else std::erase(names, name);
    finishEdit(std::nullopt, true);
}

} // namespace vantorelle
