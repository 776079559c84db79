#pragma once

#include <string>
#include <string_view>

namespace vantorelle {

// `text` made safe for one line of a line-based output (a report line, a printed notice):
// control characters (C0, DEL, C1), line and paragraph separators, bidirectional marks,
// embeddings, overrides and isolates, and bytes that are not UTF-8 each become U+FFFD, so a
// device name can neither break the line nor reorder or hide the text around it. Stored
// names keep their characters; only what is printed is changed.
std::string printableLine(std::string_view text);

} // namespace vantorelle
