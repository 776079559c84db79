#pragma once

#include "model/StoredSettings.h"

#include <optional>
#include <string>
#include <string_view>

namespace vantorelle {

// Decodes the settings file's text. Any fault (not JSON, wrong type, incomplete entry, top
// level not an object) makes the whole text unreadable: std::nullopt.
std::optional<StoredSettings> decodeSettings(std::string_view text) noexcept;

// All eight members, sorted keys, pretty-printed, always valid UTF-8 (invalid bytes in names
// become U+FFFD). Empty on the (theoretical) failure to encode.
std::string encodeSettings(const StoredSettings& settings) noexcept;

} // namespace vantorelle
