#include "model/PrintableText.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace vantorelle {

namespace {

constexpr std::string_view replacement = "\uFFFD";

struct Decoded {
    char32_t codePoint;
    std::size_t length;
};

// One UTF-8 sequence at the start of `text`; absent for a malformed one (overlong forms,
// surrogates and values past U+10FFFF included).
std::optional<Decoded> decodeOne(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) return Decoded{lead, 1};
    std::size_t length = 0;
    char32_t value = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
    } else {
        return std::nullopt;
    }
    if (text.size() < length) return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        value = (value << 6) | (next & 0x3F);
    }
    constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return std::nullopt;
    return Decoded{value, length};
}

bool breaksTheLine(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F)       // C0, DEL, C1 (NEL among them)
        || c == 0x2028 || c == 0x2029                  // line and paragraph separators
        || c == 0x061C || c == 0x200E || c == 0x200F   // bidirectional marks
        || (c >= 0x202A && c <= 0x202E)                // embeddings and overrides
        || (c >= 0x2066 && c <= 0x2069);               // isolates
}

} // namespace

std::string printableLine(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    while (!text.empty()) {
        const std::optional<Decoded> decoded = decodeOne(text);
        const std::size_t length = decoded ? decoded->length : 1;
        if (!decoded || breaksTheLine(decoded->codePoint)) result += replacement;
        else result += text.substr(0, length);
        text.remove_prefix(length);
    }
    return result;
}

} // namespace vantorelle
