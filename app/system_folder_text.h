#pragma once
/// The folders the setup reads from the system at its start (Windows, temp, setup and system
/// folder). Each call fills a caller's buffer and returns the length of the text, or, when
/// the buffer is too small, the size it needs with its terminating zero (0 on failure). A
/// folder is taken up to the system's path length; a longer one is refused by name, since no
/// file below it could be reached through the ANSI file calls. A fixed short buffer would
/// lose a deep setup folder or a long TEMP without a word.

#include <cstddef>
#include <functional>
#include <string>

namespace cv {

/// A system call that fills `buffer` of `size` bytes as described above.
using FolderCall = std::function<unsigned(char* buffer, unsigned size)>;

struct SystemFolder {
    enum class Status { Read, TooLong, Failed };
    Status status = Status::Failed;
    /// The folder (Read), or as much of the refused folder as a second call gave (TooLong;
    /// empty when that call failed too).
    std::string text;
};

/// The longest size a second call for a refused folder is given: the longest path the
/// system knows, with its terminating zero.
inline constexpr std::size_t kLongestSystemPath = 32768;

/// Reads one folder through `call` into a buffer of the path limit plus its zero.
SystemFolder ReadSystemFolder(const FolderCall& call);

/// The message that ends the run when `what` ("temp folder", "setup folder", ...) was refused.
std::string SystemFolderMessage(const char* what, const SystemFolder& folder);

} // namespace cv
