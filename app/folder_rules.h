#pragma once
/// The rules the folder browser applies to a typed folder, and the levels it creates one
/// after the other for a folder that does not exist yet.

#include <string>
#include <string_view>
#include <vector>

namespace cv {

/// The longest folder the browser accepts (its result holds 260 characters with the end).
inline constexpr std::size_t kMaxFolderPath = 259;

/// True for a drive letter (either case), ":" and "\\", followed by components separated by
/// "\\", each not empty, not beginning or ending with a space, a tab or ".", and holding none
/// of " * / : < > ? \\ |. "C:\\" alone (the drive's root) is valid; so is nothing longer than
/// kMaxFolderPath.
bool IsValidFolderPath(std::string_view path);

/// Every level of a valid folder from the first component down, without the root:
/// "C:\\A\\B" gives "C:\\A" and "C:\\A\\B".
std::vector<std::string> FolderLevels(std::string_view path);

} // namespace cv
