#pragma once
/// The file list of the installation script (data.inf): CR LF lines in pairs, one pair per
/// file. The first line is the file's source (its path when the setup was built, or a URL);
/// the second its record: destination folder, flags, system mask, a fourth number and the
/// feature, separated as "folder*flags*mask*number|feature".

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cv {

/// Longest source line, file name, destination folder or feature a record may hold.
inline constexpr std::size_t kMaxRecordString = 454;
/// Most distinct destination folders a file list may name.
inline constexpr std::size_t kMaxDestinationFolders = 1600;

/// Per-file flag bits of the record line.
enum FileFlag : std::uint32_t {
    kFlagReadOnly = 1 | 2,
    kFlagHidden = 4,
    kFlagSystem = 8,
    kFlagCritical = 16,
    kFlagOnlyIfAbsent = 32,
    kFlagPermanent = 64,
    kFlagSelfRegister = 128,
    kFlagExpandInside = 256,
};

struct FileRecord {
    std::string file_name;          ///< file-name part of the source line
    std::string source;             ///< the source line as written
    std::string destination_folder; ///< as written, normally "Destination Computer\\..."
    std::string feature;            ///< text after "|", may be empty
    std::int32_t flags = 0;
    std::int32_t system_mask = 0;
    std::int32_t fourth = 0;        ///< stored, not used by the installer
    int line = 0;                   ///< 1-based line of the source line in data.inf
};

struct FileListResult {
    bool ok = false;
    std::vector<FileRecord> records;
    /// When !ok: what was refused and where, for the user ("data.inf line 7: ...").
    std::string error;
};

/// Reads the whole text of data.inf. A line ends at a CR (an LF right after it belongs to the
/// line end); text after the last CR is not a line, and a last source line without its record
/// line is not a record. A record string longer than kMaxRecordString is refused, naming its
/// line. Numbers are read as atoi reads them.
FileListResult ParseFileList(std::string_view text);

/// The file-name part of a path or URL: the text after its last backslash or slash.
std::string_view FileNamePart(std::string_view path);

/// True when the source line names a download ("http://", "https://" or "ftp://" anywhere in it).
bool IsUrlSource(std::string_view source);

struct FolderListResult {
    bool ok = false;
    std::vector<std::string> folders; ///< distinct, in first-seen order, as written
    std::string error;
};

/// The distinct destination folders of `records` in file order, each without one trailing
/// backslash; refused beyond kMaxDestinationFolders.
FolderListResult CollectDestinationFolders(const std::vector<FileRecord>& records);

} // namespace cv
