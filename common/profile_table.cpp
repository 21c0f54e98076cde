#include "common/profile_table.h"
#include "common/table_section.h"

#include <climits>
#include <cstdio>

namespace cv {

int ParseLeadingInt(std::string_view text) {
    std::size_t i = 0;
    // atoi skips what isspace() accepts: space and \t \n \v \f \r.
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1; // saturate, keep scanning digits
    }
    if (negative)
        return value > INT_MAX ? INT_MIN : -static_cast<int>(value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

ProfileTable::ProfileTable(const ProfileFile& file, std::string_view section,
                           std::string_view count_key)
    : file_(file), section_(file.find_section(section)) {
    if (!section_)
        return;
    rows_ = ParseTableCount(file_.get_in(*section_, count_key, {}, kTableCountBuffer), kMaxProfileTableRows).rows;
}

std::string ProfileTable::cell(std::string_view column, int row, std::size_t buffer_size) const {
    if (!section_)
        return {};
    // Column prefixes are short names; a longer one cannot name a cell the runtime reads.
    char key[64];
    if (column.size() > sizeof key - 16)
        return {};
    int n = std::snprintf(key, sizeof key, "%.*s%d", static_cast<int>(column.size()),
                          column.data(), row);
    return file_.get_in(*section_, std::string_view(key, static_cast<std::size_t>(n)), {},
                        buffer_size);
}

} // namespace cv
