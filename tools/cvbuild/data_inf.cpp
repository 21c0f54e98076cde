#include "tools/cvbuild/data_inf.h"

#include "tools/cvbuild/build_error.h"

#include <fstream>

namespace cv::build {

namespace {

std::string At(const std::string& file_name, int line) {
    return file_name + " line " + std::to_string(line) + ": ";
}

bool IsRecordLine(const std::string& record) {
    std::size_t at = 0;
    for (int i = 0; i < 3; ++i) {
        at = record.find('*', at);
        if (at == std::string::npos) {
            return false;
        }
        ++at;
    }
    return record.find('|', at) != std::string::npos;
}

bool IsAbsolute(const std::string& source) {
    if (!source.empty() && (source[0] == '/' || source[0] == '\\')) {
        return true;
    }
    return source.size() >= 2 && source[1] == ':'; // a drive letter
}

} // namespace

bool IsUrlSource(const std::string& source) {
    // The installer tests the whole line, not only its start.
    return source.find("http://") != std::string::npos ||
           source.find("https://") != std::string::npos ||
           source.find("ftp://") != std::string::npos;
}

std::vector<FileListEntry> ParseFileList(const std::string& text, const std::string& file_name) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos) {
            end = text.size();
        }
        if (end > start && text[end - 1] == '\r') {
            --end;
        }
        lines.push_back(text.substr(start, end - start));
        start = next;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].size() > kMaxDataInfLine) {
            throw BuildError(At(file_name, static_cast<int>(i + 1)) +
                             std::to_string(lines[i].size()) + " characters, more than the " +
                             std::to_string(kMaxDataInfLine) + " the installer keeps");
        }
    }

    std::vector<FileListEntry> entries;
    for (std::size_t i = 0; i < lines.size(); i += 2) {
        const int line = static_cast<int>(i + 1);
        if (lines[i].empty()) {
            throw BuildError(At(file_name, line) + "empty source line");
        }
        if (i + 1 == lines.size()) {
            throw BuildError(At(file_name, line) + "source line \"" + lines[i] +
                             "\" has no record line after it");
        }
        if (!IsRecordLine(lines[i + 1])) {
            throw BuildError(At(file_name, line + 1) + "record line \"" + lines[i + 1] +
                             "\" is not destination*flags*system mask*number|feature");
        }
        entries.push_back({lines[i], lines[i + 1], line});
    }
    return entries;
}

std::filesystem::path SourcePath(const std::filesystem::path& product_dir,
                                 const std::string& source) {
    std::string relative = source;
    for (char& c : relative) {
        if (c == '\\') {
            c = '/';
        }
    }
    return product_dir / relative;
}

void CheckSources(const std::vector<FileListEntry>& entries,
                  const std::filesystem::path& product_dir, const std::string& file_name) {
    // Every problem at once, so that an author fixes the file list in one go.
    std::vector<std::string> problems;
    for (const auto& entry : entries) {
        if (IsUrlSource(entry.source)) {
            continue;
        }
        if (IsAbsolute(entry.source)) {
            problems.push_back(At(file_name, entry.line) + "source \"" + entry.source +
                               "\" must be a path relative to the product folder");
            continue;
        }
        const auto path = SourcePath(product_dir, entry.source);
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error)) {
            problems.push_back(At(file_name, entry.line) + "source file " + path.string() +
                               " does not exist or is not a file");
        } else if (!std::ifstream(path, std::ios::binary).is_open()) {
            problems.push_back(At(file_name, entry.line) + "source file " + path.string() +
                               " cannot be read");
        }
    }
    if (problems.size() == 1) {
        throw BuildError(problems.front());
    }
    if (!problems.empty()) {
        std::string text = std::to_string(problems.size()) + " sources of " + file_name +
                           " are at fault:";
        for (const auto& problem : problems) {
            text += "\n  " + problem;
        }
        throw BuildError(text);
    }
}

std::string FormatFileList(const std::vector<FileListEntry>& entries) {
    std::string text;
    for (const auto& entry : entries) {
        text += entry.source + "\r\n" + entry.record + "\r\n";
    }
    return text;
}

} // namespace cv::build
