#include "audio/pulse/StreamRestore.h"

#include "audio/pulse/PulseHandles.h"

namespace vantorelle::pulse {

void StreamRestore::beforeMove(pa_context* context, const std::string& key)
{
    if (key.empty() || kept_.contains(key)) return;
    pa_operation* operation = pa_ext_stream_restore_read(context, &StreamRestore::onRead, this);
    if (!operation) return;
    kept_.emplace(key, Kept{});
    reading_.push_back(key);
    sendDetached(operation);
}

void StreamRestore::onRead(pa_context*, const pa_ext_stream_restore_info* info, int eol, void* userdata) noexcept
{
    auto& self = *static_cast<StreamRestore*>(userdata);
    if (self.reading_.empty()) return;
    try {
        const auto kept = self.kept_.find(self.reading_.front());
        if (eol == 0 && info && info->name && kept != self.kept_.end() && kept->first == info->name) {
            kept->second.entry = Entry{info->channel_map, info->volume, info->device ? info->device : "", info->mute};
        } else if (eol != 0) {
            if (kept != self.kept_.end()) kept->second.answered = eol > 0;
            self.reading_.pop_front();
        }
    } catch (...) {
        self.reading_.pop_front();
    }
}

void StreamRestore::putBack(pa_context* context, const std::string& key)
{
    const auto kept = kept_.find(key);
    if (kept == kept_.end() || !kept->second.answered) return;
    if (const std::optional<Entry>& entry = kept->second.entry) {
        const pa_ext_stream_restore_info info{key.c_str(), entry->channels, entry->volume,
                                              entry->device.empty() ? nullptr : entry->device.c_str(), entry->mute};
        // Not applied to live streams: only the memory goes back.
        sendDetached(pa_ext_stream_restore_write(context, PA_UPDATE_REPLACE, &info, 1, 0, nullptr, nullptr));
    } else {
        const char* const names[] = {key.c_str(), nullptr};
        sendDetached(pa_ext_stream_restore_delete(context, names, nullptr, nullptr));
    }
}

void StreamRestore::release(pa_context* context, const std::string& key)
{
    putBack(context, key);
    kept_.erase(key);
}

void StreamRestore::clear() noexcept
{
    kept_.clear();
    reading_.clear();
}

} // namespace vantorelle::pulse
