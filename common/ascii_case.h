#pragma once
/// Names compared as Windows compares file, key and control names: without regard to the
/// case of ASCII letters (other bytes compare as they are).

#include <cctype>
#include <string_view>

namespace cv {

inline bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace cv
