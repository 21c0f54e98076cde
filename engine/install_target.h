#pragma once
/// The machine as the installation engine changes it: folders, files, attributes, fonts,
/// registry values and processes. The engine's steps decide what to do and call this
/// interface; `install_target_win.cpp` carries each call out with the Win32 API, and the host
/// tests use a recording double over an in-memory file system, so that a whole run reads as
/// a list of lines.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cv {

/// File attribute bits, with the values Windows gives them.
inline constexpr std::uint32_t kAttrReadOnly = 0x1;
inline constexpr std::uint32_t kAttrHidden = 0x2;
inline constexpr std::uint32_t kAttrSystem = 0x4;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;
/// Stands alone: a file with no other attribute.
inline constexpr std::uint32_t kAttrNormal = 0x80;

enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

/// "HKEY_LOCAL_MACHINE" and the like.
std::string_view RegRootName(RegRoot root);

/// What creating one folder (not its parents) gave.
enum class CreateFolderResult {
    Created,
    AlreadyExists, ///< the folder is there (also a drive root that cannot be "created")
    PathNotFound,  ///< its parent folder is missing
    Failed,        ///< anything else: access denied, a file of that name, a bad name
};

class IInstallTarget {
  public:
    virtual ~IInstallTarget() = default;

    /// Creates the one folder `path` (no trailing backslash); parents are not created.
    virtual CreateFolderResult CreateFolder(const std::string& path) = 0;
    /// True when `path` names a file (not a folder).
    virtual bool FileExists(const std::string& path) = 0;
    /// True when `path` names a folder.
    virtual bool FolderExists(const std::string& path) = 0;
    /// Copies `from` over `to` (an existing `to` is replaced; attributes travel with the file).
    virtual bool CopyFileReplacing(const std::string& from, const std::string& to) = 0;
    /// Reads a whole file; nullopt when it cannot be opened or read.
    virtual std::optional<std::string> ReadWholeFile(const std::string& path) = 0;
    /// Creates or truncates `path` and writes `bytes` to it.
    virtual bool WriteWholeFile(const std::string& path, std::string_view bytes) = 0;
    /// The attribute bits of a file or folder; nullopt when it does not exist.
    virtual std::optional<std::uint32_t> GetAttributes(const std::string& path) = 0;
    virtual bool SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    /// Deletes a folder with everything in it.
    virtual bool DeleteTree(const std::string& path) = 0;
    /// Copies the folder `from` (with its content) into the folder `into`, overwriting
    /// without asking.
    virtual bool CopyTree(const std::string& from, const std::string& into) = 0;
    /// Makes the font file `path` available to this session and tells every top-level
    /// window that the fonts changed.
    virtual bool RegisterFont(const std::string& path) = 0;
    /// Creates `key` (and its parents) under `root`; true when it exists afterwards.
    virtual bool CreateRegistryKey(RegRoot root, const std::string& key) = 0;
    /// Writes a string value under an existing or new key.
    virtual bool WriteRegistryString(RegRoot root, const std::string& key, const std::string& name,
                                     const std::string& value) = 0;
    virtual bool WriteRegistryDword(RegRoot root, const std::string& key, const std::string& name,
                                    std::uint32_t value) = 0;
    /// Starts `command_line` with a shown window and does not wait for it.
    virtual bool StartProcess(const std::string& command_line) = 0;
    /// The process's current directory as the system reports it (no trailing backslash is
    /// added).
    virtual std::string CurrentDirectory() = 0;
    /// The size in bytes of the file `path`; nullopt when it is no file (or the target cannot
    /// tell).
    virtual std::optional<std::uint64_t> FileSize(const std::string& path) {
        (void)path;
        return std::nullopt;
    }
    /// A string value (REG_SZ); nullopt when the key or value is missing, is of another type,
    /// or the target cannot tell.
    virtual std::optional<std::string> RegistryString(RegRoot root, const std::string& key,
                                                      const std::string& name) {
        (void)root, (void)key, (void)name;
        return std::nullopt;
    }
};

} // namespace cv
