#include "common/file_system.h"

#include "common/path_text.h"

#include <windows.h>

namespace cv {

namespace {

DWORD Attributes(const std::string& path) { return ::GetFileAttributesA(path.c_str()); }

} // namespace

bool FileExists(const std::string& path) {
    DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathExists(const std::string& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

bool RemoveFolderTree(const std::string& folder) {
    const std::string base = WithTrailingBackslash(folder);
    WIN32_FIND_DATAA found{};
    HANDLE find = ::FindFirstFileA((base + "*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = base + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveFolderTree(path);
            } else {
                // A read-only file (an unpacked one keeps its stored attributes) refuses deletion.
                ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(path.c_str());
            }
        } while (::FindNextFileA(find, &found));
        ::FindClose(find);
    }
    ::RemoveDirectoryA(WithoutTrailingBackslash(folder).c_str());
    return !PathExists(folder);
}

} // namespace cv
