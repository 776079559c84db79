#pragma once

#include <filesystem>
#include <string>

namespace vantorelle {

// Replaces `target` with `bytes` so that a reader, or a crash at any moment, sees either the old
// or the new complete file; true when the new one is in place. Its sibling "<target>.tmp" is
// the one temporary name, overwritten by the next write if a killed process left it.
bool replaceAtomically(const std::filesystem::path& target, const std::string& bytes);

} // namespace vantorelle
