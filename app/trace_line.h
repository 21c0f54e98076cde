#pragma once
/// The text of one trace line: "(%H:%M:%S) -" + text + "*".

#include <cstdio>
#include <ctime>
#include <string>

namespace cv {

inline std::string FormatTraceLine(const std::tm& local, const std::string& text) {
    char stamp[16];
    std::snprintf(stamp, sizeof stamp, "(%02d:%02d:%02d) -", local.tm_hour % 100,
                  local.tm_min % 100, local.tm_sec % 100);
    return stamp + text + "*";
}

} // namespace cv
