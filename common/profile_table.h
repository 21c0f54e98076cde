#pragma once
/// Reader of the installation tables of `setup.inf`: a section whose entry "TOTAL" gives the
/// row count n, and for each row i from 0 to n-1 entries named by a column prefix and i in
/// decimal ("A0", "B0", ... or "FeatureName3").

#include "common/profile.h"

#include <optional>
#include <string>
#include <string_view>

namespace cv {

/// Largest row count a table reports; a larger count is cut to it. Callers apply their own,
/// smaller table bounds.
inline constexpr int kMaxProfileTableRows = 100000;

/// The count key of most tables.
inline constexpr std::string_view kTableCountKey = "TOTAL";

/// Leading decimal number of `text` as the C library's atoi reads it (blanks, sign, digits;
/// anything else ends the number, no digits give 0), saturated to the int range.
int ParseLeadingInt(std::string_view text);

class ProfileTable {
  public:
    /// The table in `section` of `file` (which must outlive the table); its row count is read
    /// from `count_key` into a 100-byte buffer. A missing section gives an empty table.
    ProfileTable(const ProfileFile& file, std::string_view section,
                 std::string_view count_key = kTableCountKey);

    /// Row count: the count entry's number, 0 when it is missing or negative, at most
    /// kMaxProfileTableRows.
    int rows() const { return rows_; }

    /// The cell of `column` (the key prefix, usually one letter) in `row`, read into a buffer of
    /// `buffer_size` bytes; empty when missing (also for rows outside 0..rows()-1 that have no
    /// entry, since the key is formed and looked up either way).
    std::string cell(std::string_view column, int row,
                     std::size_t buffer_size = kProfileValueBuffer) const;

  private:
    const ProfileFile& file_;
    std::optional<ProfileFile::SectionId> section_;
    int rows_ = 0;
};

} // namespace cv
