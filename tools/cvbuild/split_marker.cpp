#include "tools/cvbuild/split_marker.h"

#include "common/profile.h"
#include "tools/cvbuild/build_error.h"

#include <cstring>
#include <optional>

namespace cv::build {

namespace {

const std::string kEntry = "CURRENTBUILD=" + std::string(kSplitFilesMark);

bool EqualFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        if (fold(a[i]) != fold(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && IsProfileBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsProfileBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

/// One line of the text as the settings reader splits it: the characters up to the next CR
/// or LF, and the run of CR and LF after them.
struct Line {
    std::size_t start = 0;
    std::size_t end = 0;  ///< where the line end begins
    std::size_t next = 0; ///< where the next line begins
};

/// A line's meaning to the reader: a section header with its name, or an entry with its name.
struct LineMeaning {
    bool header = false;
    std::string_view name;
};

std::optional<LineMeaning> Meaning(std::string_view content) {
    content = Trimmed(content);
    if (content.empty()) {
        return std::nullopt;
    }
    const std::size_t close = content.rfind(']');
    if (content.front() == '[' && close != std::string_view::npos && close > 0) {
        return LineMeaning{true, Trimmed(content.substr(1, close - 1))};
    }
    return LineMeaning{false, Trimmed(content.substr(0, content.find('=')))};
}

} // namespace

bool IsMarkedSplitFiles(std::string_view settings) {
    return ProfileFile::parse(settings).get("BUILDING", "CURRENTBUILD") == kSplitFilesMark;
}

std::string WithSplitFilesMark(std::string_view settings) {
    std::string text(settings);
    std::size_t pos = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    std::optional<std::size_t> after_header; // where the first [BUILDING] section's body begins
    bool done = false;
    while (pos < text.size() && !done) {
        Line line{pos, text.find_first_of("\r\n", pos), 0};
        if (line.end == std::string::npos) {
            line.end = text.size();
        }
        line.next = text.find_first_not_of("\r\n", line.end);
        if (line.next == std::string::npos) {
            line.next = text.size();
        }
        pos = line.next;
        const auto meaning = Meaning(std::string_view(text).substr(line.start, line.end - line.start));
        if (!meaning) {
            continue;
        }
        if (meaning->header) {
            if (after_header) {
                break; // the first [BUILDING] section ended without the entry
            }
            if (EqualFolded(meaning->name, "BUILDING")) {
                if (line.end == line.next) { // a header on the last line, without a line end
                    text.insert(line.end, "\r\n");
                    line.next += 2;
                    pos = line.next;
                }
                after_header = line.next;
            }
            continue;
        }
        if (after_header && EqualFolded(meaning->name, "CURRENTBUILD")) {
            text.replace(line.start, line.end - line.start, kEntry);
            done = true;
        }
    }
    if (!done && after_header) {
        text.insert(*after_header, kEntry + "\r\n");
    } else if (!done) {
        if (!text.empty() && text.back() != '\n' && text.back() != '\r') {
            text += "\r\n";
        }
        text += "[BUILDING]\r\n" + kEntry + "\r\n";
    }
    if (!IsMarkedSplitFiles(text)) {
        throw BuildError("setup.inf: cannot mark the build \"" + std::string(kSplitFilesMark) +
                         "\" in [BUILDING] CURRENTBUILD; check that section for stray bytes");
    }
    return text;
}

}  // namespace cv::build
