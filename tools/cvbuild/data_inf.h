#pragma once
/// Reading and checking the product's file list (data.inf) on the build side.
///
/// data.inf holds pairs of lines, one pair per file: the source line (a path relative to
/// the product folder, or a URL containing "http://" or "ftp://") and the record line
/// "destination*flags*system mask*number|feature". The installer splits lines at CR LF and
/// keeps at most 454 characters of each.

#include <filesystem>
#include <string>
#include <vector>

namespace cv::build {

/// Longest line the installer keeps for a source or record text.
inline constexpr std::size_t kMaxDataInfLine = 454;

struct FileListEntry {
    std::string source; ///< the source line as written
    std::string record; ///< the record line as written
    int line = 0;       ///< line number of the source line, from 1
};

/// True when the installer downloads this source instead of copying it.
bool IsUrlSource(const std::string& source);

/// Splits `text` (lines ending in LF or CR LF; a last line may lack its end) into entries.
/// Raises BuildError naming `file_name` and the line for a line longer than
/// kMaxDataInfLine, an empty source line, a record line without its "*", "*", "*", "|"
/// separators, or a source line without a record line after it.
std::vector<FileListEntry> ParseFileList(const std::string& text, const std::string& file_name);

/// Checks that every source that is not a URL names a readable file under `product_dir`,
/// as a relative path with "/" or "\" separators. Raises BuildError naming the line and file
/// of every source at fault (one per line after a count when there are several).
void CheckSources(const std::vector<FileListEntry>& entries,
                  const std::filesystem::path& product_dir, const std::string& file_name);

/// The file list written back with CR LF after every line, as the installer reads it.
std::string FormatFileList(const std::vector<FileListEntry>& entries);

/// The local file a non-URL source names under `product_dir`.
std::filesystem::path SourcePath(const std::filesystem::path& product_dir,
                                 const std::string& source);

} // namespace cv::build
