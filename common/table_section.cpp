#include "common/table_section.h"

#include <cerrno>
#include <cstdlib>

namespace cv {

TableCount ParseTableCount(std::string_view text, std::size_t bound) {
    std::string head(text);
    errno = 0;
    TableCount count;
    count.total = std::strtol(head.c_str(), nullptr, 10);
    if (count.total <= 0)
        return count;
    if (errno == ERANGE || static_cast<unsigned long>(count.total) > bound)
        count.rows = static_cast<int>(bound);
    else
        count.rows = static_cast<int>(count.total);
    return count;
}

TableCount ReadTableCount(const SectionLookup& lookup, std::size_t bound, std::string_view count_key) {
    return ParseTableCount(lookup(std::string(count_key), kTableCountBuffer), bound);
}

std::string TableKey(std::string_view column, int row) {
    std::string key(column);
    key += std::to_string(row);
    return key;
}

} // namespace cv
