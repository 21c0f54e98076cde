#pragma once
/// The file system questions the program asks everywhere: does a file or a folder exist,
/// and removing a folder with everything in it. Windows only (file_system_win.cpp).

#include <string>

namespace cv {

/// Whether `path` names an existing file (not a folder).
bool FileExists(const std::string& path);

/// Whether `path` names an existing folder.
bool FolderExists(const std::string& path);

/// Whether `path` names anything that exists, file or folder.
bool PathExists(const std::string& path);

/// Removes `folder` with its files and subfolders; true when it is gone afterwards. Files
/// that cannot be removed (open elsewhere, say) are left, and so is the folder holding them.
bool RemoveFolderTree(const std::string& folder);

} // namespace cv
