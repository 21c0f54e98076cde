#pragma once
/// Size and modification time of a file, to notice that a file read before was rewritten.

#include <cstdint>
#include <optional>
#include <string>

namespace cv {

struct FileStamp {
    std::uint64_t size = 0;
    /// Modification time in the platform's finest unit (nanoseconds on POSIX, 100 ns on
    /// Windows); only compared for equality.
    std::int64_t modified = 0;

    bool operator==(const FileStamp&) const = default;
};

/// The stamp of the file at `path` (an 8-bit path in the system code page), or nothing when
/// the file does not exist or is not a regular file.
std::optional<FileStamp> ReadFileStamp(const std::string& path);

} // namespace cv
