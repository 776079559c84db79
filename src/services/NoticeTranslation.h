#pragma once

#include "engine/NoticeText.h"

#include <QString>

namespace vantorelle {

// A notice as the user reads it: in the language of the installed translators, English without
// any. The names in it stay as they are.
struct ShownNotice {
    QString title;
    QString body;
};

ShownNotice shownNotice(const NoticeText& notice);

} // namespace vantorelle
