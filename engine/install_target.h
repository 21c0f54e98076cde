#pragma once
/// The machine as the installation engine changes it: folders, files, attributes, fonts,
/// registry values and processes. The engine's steps decide what to do and call this
/// interface; `install_target_win.cpp` carries each call out with the Win32 API, and the host
/// tests use a recording double over an in-memory file system, so that a whole run reads as
/// a list of lines.

#include <cstddef>
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

/// Registry value types, with the values Windows gives them.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

/// A registry value as stored: its type and its raw bytes (a string's terminating zero
/// included when it was stored with one).
struct RegistryData {
    std::uint32_t type = 0;
    std::string bytes;
};

/// What reading one registry value gave. `Failed` is any error other than a missing key or
/// value (access denied, a value longer than asked for): the caller then knows nothing of
/// the value and must not overwrite it.
struct RegistryRead {
    enum class Status { Found, Missing, Failed };
    Status status = Status::Missing;
    RegistryData value;
};

/// One shell link (.lnk) as the shortcut step builds it.
struct ShellLinkSpec {
    std::string path; ///< the .lnk file
    std::string target;
    std::string arguments;
    std::string working_folder;
    std::string description;
    std::string icon; ///< "" keeps the target's own icon
    int icon_index = 0;
    int show_command = 0; ///< 0 keeps the link's default (normal window)
};

/// One service as the service step creates it (the Win32 constants of its columns).
struct ServiceSpec {
    std::string name;
    std::string display_name;
    std::uint32_t service_type = 0;
    std::uint32_t start_type = 0;
    std::uint32_t error_control = 0;
    std::string binary_path;
};

enum class CreateServiceResult {
    Created,
    NoManager, ///< the service control manager could not be opened
    Failed,    ///< the manager refused the service (it exists, bad parameters, no rights)
};

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
    /// A copy that fails leaves no file under `to` that it created.
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

    // ------------------------------------------------ registry, INI, environment
    /// True when `key` exists under `root`.
    virtual bool RegistryKeyExists(RegRoot root, const std::string& key) = 0;
    /// Reads value `name` of `key` whole when it holds at most `max_bytes` bytes (a longer
    /// value is a failure, never a cut one).
    virtual RegistryRead ReadRegistryValue(RegRoot root, const std::string& key, const std::string& name,
                                           std::size_t max_bytes) = 0;
    /// Writes value `name` (type and raw bytes) into the existing `key`; a missing key is not
    /// created and gives false.
    virtual bool SetRegistryValue(RegRoot root, const std::string& key, const std::string& name,
                                  const RegistryData& value) = 0;
    virtual bool DeleteRegistryValue(RegRoot root, const std::string& key, const std::string& name) = 0;
    /// Tells every top-level window that the environment changed, without waiting on a
    /// window that does not answer.
    virtual void BroadcastEnvironmentChange() = 0;
    /// The entry `key` of `section` of the INI file `file`; nullopt when the file, the section
    /// or the entry is missing.
    virtual std::optional<std::string> ReadIniEntry(const std::string& file, const std::string& section,
                                                    const std::string& key) = 0;
    /// Writes one entry; the file and the section are created when missing.
    virtual bool WriteIniEntry(const std::string& file, const std::string& section, const std::string& key,
                               const std::string& value) = 0;

    // ------------------------------------------------ shell and services
    /// Creates (or replaces) the shell link `link.path`.
    virtual bool CreateShellLink(const ShellLinkSpec& link) = 0;
    /// Creates (or replaces) the Internet shortcut `path` to `url`.
    virtual bool CreateInternetShortcut(const std::string& path, const std::string& url) = 0;
    /// Opens `path` with the shell's "open" verb (a folder shows in a window).
    virtual bool OpenWithShell(const std::string& path) = 0;
    /// Creates the service (not started) and lets it go.
    virtual CreateServiceResult InstallService(const ServiceSpec& service) = 0;
    /// The size in bytes of the file `path`; nullopt when it is no file (or the target cannot
    /// tell).
    virtual std::optional<std::uint64_t> FileSize(const std::string& path) {
        (void)path;
        return std::nullopt;
    }
};

} // namespace cv
