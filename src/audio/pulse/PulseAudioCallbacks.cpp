// libpulse's callbacks of the mirror's connection: each turns what the server said into an update
// of the mirror, and nothing may escape them.
#include "audio/pulse/PulseAudioSystem.h"
#include "audio/pulse/PulseAudioSystemChooser.h"

#include "audio/pulse/PulseDeviceMapping.h"

#include <string_view>

namespace vantorelle {

using namespace pulse;

namespace {

// Runs an update from inside a libpulse callback, where nothing may escape: an update that
// could not be made is dropped, and the mirror stays as it was.
template <typename Update>
void guarded(void* userdata, const Update& update) noexcept
{
    try {
        update(*static_cast<PulseAudioSystem*>(userdata));
    } catch (...) {
    }
}

// PulseAudio's module, which pipewire-pulse provides too.
bool choosesDefaults(const pa_module_info& info)
{
    return info.name && std::string_view(info.name) == "module-switch-on-connect";
}

} // namespace

// ---- libpulse's callbacks: nothing may escape them ------------------------------------------

void PulseAudioSystem::onContextState(pa_context* context, void* userdata) noexcept
{
    auto& self = *static_cast<PulseAudioSystem*>(userdata);
    const pa_context_state_t state = pa_context_get_state(context);
    try {
        if (state == PA_CONTEXT_READY) self.connected();
        else if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED) self.lost();
    } catch (...) {
        self.lost();
    }
}

void PulseAudioSystem::onSubscribed(pa_context*, int success, void* userdata) noexcept
{
    static_cast<PulseAudioSystem*>(userdata)->subscribed_ = success != 0;
}

void PulseAudioSystem::onEvent(pa_context*, pa_subscription_event_type_t event, std::uint32_t index,
                               void* userdata) noexcept
{
    guarded(userdata, [&](PulseAudioSystem& self) { self.eventArrived(event, index); });
}

void PulseAudioSystem::onServerInfo(pa_context*, const pa_server_info* info, void* userdata) noexcept
{
    auto& system = *static_cast<PulseAudioSystem*>(userdata);
    if (system.defaultsReads_ > 0 && --system.defaultsReads_ == 0) system.defaultsRead();
    if (!info) return;
    guarded(userdata, [info](PulseAudioSystem& self) {
        self.serverIdentified(isPipeWire(*info));
        // Where PipeWire's own metadata is read, it tells the defaults; the pulse layer's can be stale.
        const PulseServerDefaults reported = self.fedDefaults().value_or(defaultsOf(*info));
        if (!self.mirror_.isComplete()) self.handle(self.mirror_.listedDefaults(reported));
        else if (self.watchingChooser([&] { return self.mirror_.defaultsReported(reported, self.now()); })) {
            self.queueDefaultChange();
        }
    });
}

void PulseAudioSystem::onModuleInfo(pa_context*, const pa_module_info* info, int eol, void* userdata) noexcept
{
    if (eol != 0 || !info) return;
    guarded(userdata, [info](PulseAudioSystem& self) {
        self.watchingChooser([&] { self.mirror_.moduleArrived(info->index, choosesDefaults(*info)); });
    });
}

void PulseAudioSystem::onModuleList(pa_context* context, const pa_module_info* info, int eol, void* userdata) noexcept
{
    guarded(userdata, [&](PulseAudioSystem& self) {
        if (eol < 0) {
            self.moduleListing_.clear();
            sendDetached(pa_context_get_module_info_list(context, &PulseAudioSystem::onModuleList, userdata));
        } else if (eol > 0 || !info) {
            self.handle(self.mirror_.listedModules(std::exchange(self.moduleListing_, {})));
        } else if (choosesDefaults(*info)) {
            self.moduleListing_.insert(info->index);
        }
    });
}

void PulseAudioSystem::onCardInfo(pa_context*, const pa_card_info* info, int eol, void* userdata) noexcept
{
    if (eol != 0 || !info) return;
    guarded(userdata, [info](PulseAudioSystem& self) { self.mirror_.cardArrived(cardOf(*info)); });
}

void PulseAudioSystem::onCardList(pa_context* context, const pa_card_info* info, int eol, void* userdata) noexcept
{
    guarded(userdata, [&](PulseAudioSystem& self) {
        if (eol < 0) {
            self.cardListing_.clear();
            sendDetached(pa_context_get_card_info_list(context, &PulseAudioSystem::onCardList, userdata));
        } else if (eol > 0 || !info) {
            self.handle(self.mirror_.listedCards(std::exchange(self.cardListing_, {})));
        } else {
            self.cardListing_.push_back(cardOf(*info));
        }
    });
}

template <typename Info>
void PulseAudioSystem::onEndpointInfo(pa_context*, const Info* info, int eol, void* userdata) noexcept
{
    if (eol != 0) {
        auto& self = *static_cast<PulseAudioSystem*>(userdata);
        ++self.endpointsAnswered_;
        const auto& waiting = self.moduleQuestions_;
        if (!waiting.empty() && waiting.front().after <= self.endpointsAnswered_) self.deliverSoon();
    }
    // A lost answer (the endpoint went meanwhile) leaves the mirror as it was.
    if (eol != 0 || !info) return;
    guarded(userdata, [info](PulseAudioSystem& self) {
        self.handle(self.mirror_.endpointArrived(endpointOf(*info), self.now()));
    });
}

template <typename Info>
void PulseAudioSystem::onEndpointList(pa_context*, const Info* info, int eol, void* userdata) noexcept
{
    guarded(userdata, [&](PulseAudioSystem& self) {
        const Direction direction = std::is_same_v<Info, pa_source_info> ? Direction::input : Direction::output;
        if (eol != 0 || !info) self.endpointListEnded(direction, eol < 0);
        else self.endpointListed(endpointOf(*info));
    });
}

void PulseAudioSystem::onSetDone(pa_context*, int success, void* userdata) noexcept
{
    auto* set = static_cast<PendingSet*>(userdata);
    PulseAudioSystem& self = *set->owner;
    guarded(&self, [set, success](PulseAudioSystem& owner) {
        if (success != 0) {
            owner.watchingChooser([&] { owner.mirror_.setAcknowledged(set->direction, set->name, owner.now()); });
        } else {
            // Refused: the server's own report is the truth again.
            owner.trace([set] { return "the server refused " + set->name + " as the " + std::string(rawValue(set->direction)) + " default"; });
            owner.requestServerInfo();
        }
    });
    self.sets_.remove_if([set](const PendingSet& pending) { return &pending == set; });
    self.setAnswered();
}

// The connection asks for sinks and sources alike.
template void PulseAudioSystem::onEndpointInfo<pa_sink_info>(pa_context*, const pa_sink_info*, int, void*) noexcept;
template void PulseAudioSystem::onEndpointInfo<pa_source_info>(pa_context*, const pa_source_info*, int, void*) noexcept;
template void PulseAudioSystem::onEndpointList<pa_sink_info>(pa_context*, const pa_sink_info*, int, void*) noexcept;
template void PulseAudioSystem::onEndpointList<pa_source_info>(pa_context*, const pa_source_info*, int, void*) noexcept;

} // namespace vantorelle
