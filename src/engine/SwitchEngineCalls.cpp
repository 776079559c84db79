// Calls on a device of their own: the streams' events, the calls switches and the programs seen
// recording.
#include "engine/SwitchEngine.h"

#include "engine/DeviceStacks.h"
#include "engine/SwitchNotices.h"

#include <algorithm>

namespace vantorelle {

namespace {

using namespace std::chrono_literals;

// Programs open, close and reopen streams as a call starts (ringing, then the call): a notice
// waits this long for the streams to settle, and a program's call counts as ended only after it
// has had no call stream for the grace.
constexpr auto noticeHold = 500ms;
constexpr auto callGrace = 3s;

// Notes the programs recording in `streams`; true when the list changed.
bool noteRecording(std::vector<RecordingApplication>& known, const std::vector<AudioStream>& streams)
{
    bool changed = false;
    for (const AudioStream& stream : streams) {
        if (stream.direction == Direction::input && !stream.caller().empty()
            && std::ranges::find(known, stream.caller(), &RecordingApplication::caller) == known.end()) {
            known.push_back({stream.caller(), stream.caller(), {}, {}});
            changed = true;
        }
    }
    // Its playback's names too: a program may name only its capture after what it records with.
    for (const AudioStream& stream : streams) {
        const auto seen = std::ranges::find(known, stream.caller(), &RecordingApplication::caller);
        if (stream.caller().empty() || seen == known.end()) continue;
        const std::string& name = stream.application.empty() ? stream.caller() : stream.application;
        if (seen->names.insert(name).second) {
            if (seen->names.size() == 1 || name.size() < seen->name.size()) seen->name = name;
            changed = true;
        }
        if (seen->iconName.empty() && !stream.iconName.empty()) {
            seen->iconName = stream.iconName;
            changed = true;
        }
    }
    return changed;
}

} // namespace

void SwitchEngine::streamsChanged()
{
    // Before the first pass there are no devices to route to; that pass routes.
    if (firstScanDone_) routeCallStreams();
}

void SwitchEngine::routeCallStreams(const std::optional<SystemDefaults>& current)
{
    const std::vector<AudioStream> streams = audio_->streams();
    const bool newApplication = noteRecording(recordingApplications_, streams);

    const SystemDefaults defaults = current ? *current : audio_->defaults().value_or(SystemDefaults{});
    const CallRecognition calls(streams, settings_, talking_);
    const RoutingDecision decision =
        routeCalls(streams, calls, connected_, settings_, lidClosed_, defaults, callPlacements_);
    for (const StreamMove& move : decision.moves) {
        const bool sent = audio_->moveStream(move.direction, move.id, move.toUID);
        if (!sent) forgetMove(callPlacements_, move);
        if (tracing()) {
            trace_->write(std::string("calls: ") + (sent ? "sent " : "could not send ") + std::string(rawValue(move.direction))
                          + " stream " + std::to_string(move.id) + " to " + move.toUID);
        }
    }
    if (tracing()) {
        for (const StuckCall& stuck : decision.stuck) {
            trace_->write("calls: " + std::string(rawValue(stuck.direction)) + " stream " + std::to_string(stuck.id) + " of "
                          + stuck.caller + " cannot be moved (it asks to stay, or the server refused); left where it is");
        }
        for (const CallLanding& landed : decision.landed) {
            trace_->write("calls: " + landed.caller + " plays or records on " + landed.deviceUID);
        }
    }

    for (const CallLanding& landed : decision.landed) {
        if (notifyOnSwitch(landed.direction) && !toldCalls_.contains({landed.caller, landed.deviceUID})) {
            heldCallNotices_.push_back(landed);
        }
    }
    if (!heldCallNotices_.empty() && !noticesDue_) {
        noticesDue_ = true;
        later(noticeHold, &SwitchEngine::giveCallNotices);
    }
    const bool callEnded = std::ranges::any_of(toldCalls_, [&calls](const auto& told) { return !calls.inCall(told.first); });
    if (callEnded && !forgetDue_) {
        forgetDue_ = true;
        later(callGrace, &SwitchEngine::forgetEndedCalls);
    }
    if (newApplication) publish({EngineField::recordingApplications});
}

void SwitchEngine::later(std::chrono::milliseconds delay, void (SwitchEngine::*work)())
{
    if (!scheduler_) {
        (this->*work)();
        return;
    }
    scheduler_->after(delay, [weak = weak_from_this(), work] {
        if (const std::shared_ptr<SwitchEngine> engine = weak.lock()) ((*engine).*work)();
    });
}

// Each held landing is told once per program and device, when its call is still on that device.
void SwitchEngine::giveCallNotices()
{
    noticesDue_ = false;
    const std::vector<AudioStream> streams = audio_->streams();
    std::set<std::string> talking = talking_;
    const CallRecognition calls(streams, settings_, talking);
    for (const CallLanding& landed : std::exchange(heldCallNotices_, {})) {
        const bool stillThere = std::ranges::any_of(streams, [&](const AudioStream& stream) {
            return stream.caller() == landed.caller && stream.deviceUID == landed.deviceUID && calls.isCall(stream);
        });
        const auto device = std::ranges::find(connected_, landed.deviceUID, &AudioDevice::uid);
        if (!stillThere || device == connected_.end() || !notifyOnSwitch(landed.direction)
            || !toldCalls_.insert({landed.caller, landed.deviceUID}).second) {
            continue;
        }
        const NoticeText notice = callNotice(settings_.shownName(device->uid, device->name, landed.direction));
        notifier_->post(notice);
    }
}

void SwitchEngine::forgetEndedCalls()
{
    forgetDue_ = false;
    std::set<std::string> talking = talking_;
    const CallRecognition calls(audio_->streams(), settings_, talking);
    std::erase_if(toldCalls_, [&calls](const auto& told) { return !calls.inCall(told.first); });
}

std::vector<RecordingApplication> SwitchEngine::recordingApplications() const
{
    std::vector<RecordingApplication> shown = recordingApplications_;
    for (const std::string& entry : settings_.callsApplications) {
        const bool seen = std::ranges::any_of(shown, [&entry](const RecordingApplication& application) {
            return application.caller == entry || application.names.contains(entry);
        });
        if (!seen) shown.push_back({entry, entry, {entry}, {}});
    }
    return shown;
}

bool SwitchEngine::isCallsApplication(const std::string& caller) const
{
    const std::vector<std::string>& listed = settings_.callsApplications;
    if (std::ranges::find(listed, caller) != listed.end()) return true;
    const auto seen = std::ranges::find(recordingApplications_, caller, &RecordingApplication::caller);
    return seen != recordingApplications_.end()
        && std::ranges::any_of(listed, [&seen](const std::string& entry) { return seen->names.contains(entry); });
}

void SwitchEngine::setRouteCalls(bool value, Direction direction)
{
    (direction == Direction::input ? settings_.routeCallsInput : settings_.routeCallsOutput) = value;
    if (value) stacks::fillCallsStack(settings_, direction);
    finishEdit(std::nullopt, true);
}

void SwitchEngine::setCallsApplication(const std::string& caller, bool isCalls)
{
    if (caller.empty() || isCallsApplication(caller) == isCalls) return;
    std::vector<std::string>& listed = settings_.callsApplications;
    if (isCalls) {
        listed.push_back(caller);
    } else {
        const auto seen = std::ranges::find(recordingApplications_, caller, &RecordingApplication::caller);
        std::erase_if(listed, [&](const std::string& entry) {
            return entry == caller || (seen != recordingApplications_.end() && seen->names.contains(entry));
        });
    }
    finishEdit(std::nullopt, true);
}

void SwitchEngine::setCallsFromAnyProgram(bool value)
{
    if (settings_.callsFromAnyProgram == value) return;
    settings_.callsFromAnyProgram = value;
    finishEdit(std::nullopt, true);
}

} // namespace vantorelle
