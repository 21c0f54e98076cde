#pragma once
/// `CRegistro`: the four small registry operations that the main frame, the page actions and
/// the installation engine share. It holds no state; none of its operations reports failure
/// (a key that cannot be opened or created, or a value that cannot be written or deleted, is
/// skipped). Key paths, value names and value texts longer than 255 characters are cut.

#include <windows.h>

#include <cstdint>

namespace cv {

class CRegistro {
  public:
    /// Writes `text` as the string value `name` of the existing key `path` under `root`; a
    /// missing key is not created.
    void SetStringValue(HKEY root, const char* path, const char* name, const char* text) const;

    /// Makes sure `path` exists under HKEY_LOCAL_MACHINE (opened with full access, else
    /// created). The path is used as it stands.
    void EnsureMachineKey(const char* path) const;

    /// Deletes the value `name` of `path`. `root_code` 1 means HKEY_LOCAL_MACHINE, 0
    /// HKEY_CURRENT_USER; any other value is a root key handle itself.
    void DeleteValue(const char* path, const char* name, std::uintptr_t root_code) const;

    /// Makes sure `path` exists under the root named `root_name` ("HKEY_CLASSES_ROOT",
    /// "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS" or "HKEY_CURRENT_CONFIG",
    /// exactly); root names followed by a backslash are first removed from `path`. Any other
    /// root name does nothing.
    void EnsureKeyPath(const char* root_name, const char* path) const;
};

} // namespace cv
