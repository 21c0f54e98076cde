#pragma once
// A setup.inf with a large installation table, and the timed read of every cell.

#include <string>

namespace cv::bench {

inline constexpr int kTableRows = 5000;
inline constexpr const char* kTableSection = "FILES";
inline constexpr const char* kTableColumns[] = {"A", "B", "C", "D"};

/// The text of a setup.inf with a few settings sections and a kTableRows-row table of four
/// columns in kTableSection, as CRLF lines with the cipher's zero padding at the end.
std::string MakeSetupInf();

/// Writes `text` to `path`; false when the file cannot be written.
bool WriteFile(const std::string& path, const std::string& text);

/// Milliseconds since an arbitrary start, for timing.
double NowMs();

/// Reads every cell of the table through the process profile cache; returns the sum of the
/// cell lengths (so that the work cannot be left out).
std::size_t ReadTableWithOurReader(const std::string& path);

} // namespace cv::bench
