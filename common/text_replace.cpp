#include "common/text_replace.h"

namespace cv {

std::size_t ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty())
        return 0;
    std::size_t pos = text.find(from);
    if (pos == std::string::npos)
        return 0;
    std::string out;
    out.reserve(text.size());
    std::size_t done = 0, count = 0;
    for (; pos != std::string::npos; pos = text.find(from, pos)) {
        out.append(text, done, pos - done);
        out.append(to);
        pos += from.size();
        done = pos;
        ++count;
    }
    out.append(text, done, std::string::npos);
    text = std::move(out);
    return count;
}

void CollapseDoubleBackslashes(std::string& text) { ReplaceAll(text, "\\\\", "\\"); }

} // namespace cv
