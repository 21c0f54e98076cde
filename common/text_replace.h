#pragma once
/// Plain substring replacement as the runtime's texts use it.

#include <string>
#include <string_view>

namespace cv {

/// Replaces every occurrence of `from` in `text` by `to`, left to right, without overlaps and
/// without looking again inside inserted text. An empty `from` changes nothing. Returns the
/// number of replacements.
std::size_t ReplaceAll(std::string& text, std::string_view from, std::string_view to);

/// Replaces each pair of backslashes by one, in one pass (three in a row become two).
void CollapseDoubleBackslashes(std::string& text);

} // namespace cv
