#include "engine/file_list.h"

#include "common/profile_table.h"

#include <unordered_set>

namespace cv {

namespace {

std::string TooLong(int line, std::string_view what, std::size_t length) {
    return "data.inf line " + std::to_string(line) + ": the " + std::string(what) + " is " +
           std::to_string(length) + " characters long; at most " +
           std::to_string(kMaxRecordString) + " are allowed.";
}

// Splits `rest` at the first `separator`: returns the text before it and leaves the text
// after it in `rest`; without the separator the whole rest is returned and `rest` empties.
std::string_view TakeField(std::string_view& rest, char separator) {
    std::size_t at = rest.find(separator);
    std::string_view field = rest.substr(0, at);
    rest = at == std::string_view::npos ? std::string_view{} : rest.substr(at + 1);
    return field;
}

} // namespace

std::string_view FileNamePart(std::string_view path) {
    std::size_t at = path.find_last_of("\\/");
    return at == std::string_view::npos ? path : path.substr(at + 1);
}

bool IsUrlSource(std::string_view source) {
    return source.find("http://") != std::string_view::npos ||
           source.find("https://") != std::string_view::npos ||
           source.find("ftp://") != std::string_view::npos;
}

FileListResult ParseFileList(std::string_view text) {
    FileListResult result;
    std::string_view source_line;
    int source_line_number = 0;
    bool have_source = false;
    int line_number = 0;
    std::size_t pos = 0;
    for (;;) {
        std::size_t cr = text.find('\r', pos);
        if (cr == std::string_view::npos)
            break; // text after the last CR is no line
        std::string_view line = text.substr(pos, cr - pos);
        pos = cr + 1;
        if (pos < text.size() && text[pos] == '\n')
            ++pos;
        ++line_number;
        if (!have_source) {
            if (line.size() > kMaxRecordString) {
                result.error = TooLong(line_number, "source line", line.size());
                return result;
            }
            source_line = line;
            source_line_number = line_number;
            have_source = true;
            continue;
        }
        have_source = false;
        FileRecord rec;
        rec.source = std::string(source_line);
        rec.file_name = std::string(FileNamePart(source_line));
        rec.line = source_line_number;
        std::string_view rest = line;
        std::string_view folder = TakeField(rest, '*');
        std::string_view flags = TakeField(rest, '*');
        std::string_view mask = TakeField(rest, '*');
        std::string_view fourth = TakeField(rest, '|');
        if (folder.size() > kMaxRecordString) {
            result.error = TooLong(line_number, "destination folder", folder.size());
            return result;
        }
        if (rest.size() > kMaxRecordString) {
            result.error = TooLong(line_number, "feature", rest.size());
            return result;
        }
        rec.destination_folder = std::string(folder);
        rec.flags = ParseLeadingInt(flags);
        rec.system_mask = ParseLeadingInt(mask);
        rec.fourth = ParseLeadingInt(fourth);
        rec.feature = std::string(rest);
        result.records.push_back(std::move(rec));
    }
    result.ok = true;
    return result;
}

FolderListResult CollectDestinationFolders(const std::vector<FileRecord>& records) {
    FolderListResult result;
    std::unordered_set<std::string> seen;
    for (const FileRecord& rec : records) {
        std::string folder = rec.destination_folder;
        if (!folder.empty() && folder.back() == '\\')
            folder.pop_back();
        if (seen.count(folder))
            continue;
        if (result.folders.size() >= kMaxDestinationFolders) {
            result.error = "data.inf line " + std::to_string(rec.line) +
                           ": the file list names more than " +
                           std::to_string(kMaxDestinationFolders) +
                           " destination folders; the installation cannot go on.";
            return result;
        }
        seen.insert(folder);
        result.folders.push_back(std::move(folder));
    }
    result.ok = true;
    return result;
}

} // namespace cv
