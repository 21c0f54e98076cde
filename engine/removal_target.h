#pragma once
/// The machine as removal changes it: what the uninstaller and a rollback take away or put
/// back. `removal_target_win.cpp` carries each call out with the Win32 API; host tests use a
/// fake machine. Every call is safe on a thing that is already gone: it reports success when
/// nothing of it is left.

#include "engine/install_target.h"

#include <cstdint>
#include <optional>
#include <string>

namespace cv {

class IRemovalTarget {
  public:
    virtual ~IRemovalTarget() = default;

    /// Starts `command_line` and waits for it to end; false when it could not be started.
    virtual bool RunAndWait(const std::string& command_line) = 0;
    /// Opens a URL with the user's browser, without waiting.
    virtual bool OpenUrl(const std::string& url) = 0;
    /// Stops the service (waiting a little for it) and deletes it.
    virtual bool StopAndDeleteService(const std::string& name) = 0;

    virtual bool FileExists(const std::string& path) = 0;
    virtual bool FolderExists(const std::string& path) = 0;
    /// Deletes a file, clearing a read-only attribute first.
    virtual bool RemoveFile(const std::string& path) = 0;
    /// Copies `from` over `to`, replacing it (a read-only `to` included).
    virtual bool RestoreFile(const std::string& from, const std::string& to) = 0;
    /// Removes the folder when it is empty; true when it is gone.
    virtual bool RemoveFolderIfEmpty(const std::string& path) = 0;
    /// Deletes everything inside `path`, keeping the folder.
    virtual bool EmptyFolder(const std::string& path) = 0;
    /// Deletes the folder with everything in it.
    virtual bool DeleteTree(const std::string& path) = 0;
    /// Withdraws the font file from the session and tells the top-level windows.
    virtual bool UnregisterFont(const std::string& path) = 0;
    /// Deletes a file that may be the running program itself: when it cannot be deleted now,
    /// it is marked for deletion at the next start of Windows. True when it is gone or marked.
    virtual bool RemoveFileNowOrAtRestart(const std::string& path) = 0;

    /// The value's type and raw bytes; nullopt when it does not exist.
    struct RegistryData {
        std::uint32_t type = 0;
        std::string data;
    };
    virtual std::optional<RegistryData> ReadRegistryValue(RegRoot root, const std::string& key,
                                                          const std::string& name) = 0;
    virtual bool WriteRegistryValue(RegRoot root, const std::string& key, const std::string& name,
                                    const RegistryData& value) = 0;
    virtual bool DeleteRegistryValue(RegRoot root, const std::string& key, const std::string& name) = 0;
    virtual bool RegistryKeyExists(RegRoot root, const std::string& key) = 0;
    /// Deletes the key when it holds no value and no sub-key; true when it is gone.
    virtual bool DeleteRegistryKeyIfEmpty(RegRoot root, const std::string& key) = 0;
    /// Deletes the key with all its values and sub-keys.
    virtual bool DeleteRegistryTree(RegRoot root, const std::string& key) = 0;
    /// Tells the running programs that the environment changed.
    virtual void BroadcastEnvironmentChange() = 0;

    /// The value of an INI entry; nullopt when the entry does not exist.
    virtual std::optional<std::string> ReadIniEntry(const std::string& file, const std::string& section,
                                                     const std::string& key) = 0;
    virtual bool WriteIniEntry(const std::string& file, const std::string& section, const std::string& key,
                               const std::string& value) = 0;
    /// Deletes the entry, and its section when no entry is left in it.
    virtual bool DeleteIniEntry(const std::string& file, const std::string& section, const std::string& key) = 0;
};

} // namespace cv
