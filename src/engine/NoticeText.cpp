#include "engine/NoticeText.h"

namespace vantorelle {

std::string NoticeText::fillPattern(const std::string& pattern, const std::vector<std::string>& names)
{
    std::string text;
    text.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const bool marker = pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9';
        const std::size_t index = marker ? static_cast<std::size_t>(pattern[i + 1] - '1') : names.size();
        if (index < names.size()) {
            text += names[index];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

} // namespace vantorelle
