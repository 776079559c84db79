// libFuzzer target for the settings decoder: any bytes must decode to a record or to nothing,
// and a decoded record must survive an encode/decode round trip unchanged.
#include "store/SettingsJson.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<vantorelle::StoredSettings> decoded = vantorelle::decodeSettings(text);
    if (!decoded) return 0;

    const std::string encoded = vantorelle::encodeSettings(*decoded);
    if (encoded.empty()) std::abort();
    const std::optional<vantorelle::StoredSettings> again = vantorelle::decodeSettings(encoded);
    if (!again || !(*again == *decoded)) std::abort();
    // The written form is canonical: encoding the re-read record gives the same bytes.
    if (vantorelle::encodeSettings(*again) != encoded) std::abort();
    return 0;
}
