#pragma once

#include <string>
#include <vector>

// Marks an English text the window shows in the user's language: the translation tools collect
// it under `context` (they read this marker as Qt's QT_TRANSLATE_NOOP), and the front end looks it
// up there. Core stays free of Qt, so the text itself is all that is compiled.
#define VANTORELLE_TRANSLATABLE(context, text) text

namespace vantorelle {

// The translation context of every notice text.
inline constexpr const char* noticeContext = "Notice";

// A notice in English, kept as its patterns and the names that fill them so a front end can show
// it in another language. Names are the user's data and never translated.
struct NoticeText {
    // Titles hold no names: the title is its own pattern.
    std::string title;
    // "%1 is now active": %1, %2 … stand for `names` in order.
    std::string bodyPattern;
    std::vector<std::string> names{};

    // The English body.
    std::string body() const { return fillPattern(bodyPattern, names); }

    // Puts `names` in place of %1, %2 … in one pass, so a name that holds "%2" stays as it is.
    static std::string fillPattern(const std::string& pattern, const std::vector<std::string>& names);

    bool operator==(const NoticeText&) const = default;
};

} // namespace vantorelle
