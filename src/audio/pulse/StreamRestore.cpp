#include "audio/pulse/StreamRestore.h"

#include "audio/pulse/PulseHandles.h"

#include <string_view>
#include <utility>

namespace vantorelle::pulse {

void StreamRestore::beforeMove(pa_context* context, const std::string& key)
{
    if (key.empty()) return;
    if (const auto kept = kept_.find(key); kept != kept_.end()) {
        kept->second.released = false;
        return;
    }
    kept_.emplace(key, Kept{});
    read(context, {key, false});
}

void StreamRestore::putBack(pa_context* context, const std::string& key)
{
    if (kept_.contains(key)) read(context, {key, true});
}

void StreamRestore::release(pa_context* context, const std::string& key)
{
    const auto kept = kept_.find(key);
    if (kept == kept_.end()) return;
    kept->second.released = true;
    read(context, {key, true});
}

void StreamRestore::clear() noexcept
{
    kept_.clear();
    reading_.clear();
}

// The module answers a read with every entry it has.
void StreamRestore::read(pa_context* context, Read what)
{
    pa_operation* operation = pa_ext_stream_restore_read(context, &StreamRestore::onRead, this);
    if (!operation) return;
    reading_.push_back(std::move(what));
    sendDetached(operation);
}

void StreamRestore::entryRead(pa_context* context, const Read& what, const pa_ext_stream_restore_info& info)
{
    const auto kept = kept_.find(what.key);
    if (kept == kept_.end() || !info.name || what.key != info.name) return;
    const std::string_view device = info.device ? info.device : "";
    if (!what.putsBack) {
        kept->second.device = device;
    } else if (kept->second.answered && device != kept->second.device) {
        pa_ext_stream_restore_info entry = info;
        entry.device = kept->second.device.empty() ? nullptr : kept->second.device.c_str();
        // Not applied to live streams: only the memory goes back.
        sendDetached(pa_ext_stream_restore_write(context, PA_UPDATE_REPLACE, &entry, 1, 0, nullptr, nullptr));
    }
}

void StreamRestore::onRead(pa_context* context, const pa_ext_stream_restore_info* info, int eol, void* userdata) noexcept
{
    auto& self = *static_cast<StreamRestore*>(userdata);
    if (self.reading_.empty()) return;
    try {
        const Read& what = self.reading_.front();
        if (eol == 0 && info) {
            self.entryRead(context, what, *info);
            return;
        }
        const auto kept = self.kept_.find(what.key);
        if (kept != self.kept_.end()) {
            if (!what.putsBack) kept->second.answered = eol > 0;
            else if (kept->second.released) self.kept_.erase(kept);
        }
    } catch (...) {
    }
    if (eol != 0) self.reading_.pop_front();
}

} // namespace vantorelle::pulse
