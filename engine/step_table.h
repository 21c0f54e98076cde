#pragma once
/// How the system steps read their table sections of setup.inf: the row count under "TOTAL"
/// (bounded, so a garbled count cannot keep a step looping), and one cell per column and row.

#include <cstddef>
#include <string>

namespace cv {

class CCVEngine;

/// More rows than any product's table holds; a larger count is cut to it, with a trace.
inline constexpr std::size_t kMaxStepTableRows = 10000;

/// The rows of `section` to read: its "TOTAL" cut to `bound` (0 when missing or not positive).
int StepTableRows(CCVEngine& engine, const std::string& section, std::size_t bound = kMaxStepTableRows);

/// The cell "<column><row>" of `section` ("" when missing).
std::string StepTableCell(CCVEngine& engine, const std::string& section, const char* column, int row);

/// True when `text` is longer than `limit` characters; a refused item is traced with `what`.
bool RefusedAsTooLong(CCVEngine& engine, const std::string& what, const std::string& text, std::size_t limit);

} // namespace cv
