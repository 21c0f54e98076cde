#pragma once
/// The one reader of a table section's row count. A table section of a settings or layout
/// file has a count entry ("TOTAL") and rows of keys made of a column name and the row number
/// ("A0", "B0", ... "FeatureName3"). Every table the program reads takes its count here, so
/// a negative, garbled or huge count means the same thing everywhere.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace cv {

/// The count key of most tables.
inline constexpr std::string_view kTotalKey = "TOTAL";
/// The buffer the count entry is read into.
inline constexpr std::size_t kTableCountBuffer = 100;

/// The value of one key of the section being read (empty when missing). The second
/// argument is the buffer size the key is read with.
using SectionLookup = std::function<std::string(const std::string& key, std::size_t buffer)>;

/// A table's count as written and the rows to read.
struct TableCount {
    long total = 0; ///< the leading decimal of the count as written (LONG_MIN/LONG_MAX past long)
    int rows = 0;   ///< rows to read: the count cut to the table's bound, 0 when not positive

    /// Whether the written count asked for more rows than the table holds.
    bool Cut() const { return total > static_cast<long>(rows); }
};

/// The count of `text` (its leading decimal, blanks and a sign allowed; anything after the
/// digits ignored) for a table of `bound` rows.
TableCount ParseTableCount(std::string_view text, std::size_t bound);

/// The count under `count_key` of the section behind `lookup`, read into kTableCountBuffer.
TableCount ReadTableCount(const SectionLookup& lookup, std::size_t bound,
                          std::string_view count_key = kTotalKey);

/// The key of `column` in row `row`: "A" and 3 give "A3".
std::string TableKey(std::string_view column, int row);

} // namespace cv
