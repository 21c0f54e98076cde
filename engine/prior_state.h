#pragma once
/// IPriorState: what an installation found already on the machine where it changed something
/// that was there before. The uninstall log names everything the product touched, in a format
/// other tools read line by line, but not whether an INI file, a key, a value or a variable
/// existed before; removal needs that to take away only the product's part (the entries, not
/// win.ini; the appended entry, not PATH) and a rollback needs it to put back what a run
/// overwrote. The steps report here at the moment they change such a thing; the recorder keeps
/// it in a second file of the log folder.

#include "engine/install_target.h"

#include <cstdint>
#include <string>

namespace cv {

class IPriorState {
  public:
    virtual ~IPriorState() = default;

    /// The file `path` existed and was overwritten; `backup` is a copy of its old bytes taken
    /// before (in the work folder), "" when no copy was taken.
    virtual void FileReplaced(const std::string& path, const std::string& backup) = 0;
    /// The INI file `file` existed before its first entry was written.
    virtual void IniFileExisted(const std::string& file) = 0;
    /// The entry existed with the value `before` when the run wrote it.
    virtual void IniEntryReplaced(const std::string& file, const std::string& section,
                                  const std::string& key, const std::string& before) = 0;
    /// The key existed before the run created or wrote into it.
    virtual void RegistryKeyExisted(RegRoot root, const std::string& key) = 0;
    /// The value existed with type `type` (REG_SZ 1, REG_EXPAND_SZ 2, REG_BINARY 3,
    /// REG_DWORD 4, ...) and the raw bytes `data` when the run overwrote it.
    virtual void RegistryValueReplaced(RegRoot root, const std::string& key,
                                       const std::string& name, std::uint32_t type,
                                       const std::string& data) = 0;
    /// The run appended `entry` to the existing variable `name` (a registry value under
    /// `key`); removal takes out that entry alone and keeps the rest of the value as it is then.
    virtual void EnvironmentAppended(RegRoot root, const std::string& key, const std::string& name,
                                     const std::string& entry) = 0;
    /// The entry did not exist when the run wrote it into the INI file `file`, which existed
    /// before: the log names only the file, so removal learns the entry from here. (Not pure:
    /// callers written before it stay valid.)
    virtual void IniEntryAdded(const std::string& /*file*/, const std::string& /*section*/,
                               const std::string& /*key*/) {}
    /// The run started the self-registration of the library `file` (regsvr32): the log does
    /// not say so, and removal must undo the registration before it deletes the file.
    virtual void SelfRegistered(const std::string& /*file*/) {}
    /// The run created `key`, which was missing: the log names only the key a row asked for,
    /// not the parents that creating it made, and removal takes those too when empty.
    virtual void RegistryKeyCreated(RegRoot /*root*/, const std::string& /*key*/) {}
};

/// Records nothing: preview runs and callers that keep no prior state.
class NullPriorState final : public IPriorState {
  public:
    void FileReplaced(const std::string&, const std::string&) override {}
    void IniFileExisted(const std::string&) override {}
    void IniEntryReplaced(const std::string&, const std::string&, const std::string&,
                          const std::string&) override {}
    void RegistryKeyExisted(RegRoot, const std::string&) override {}
    void RegistryValueReplaced(RegRoot, const std::string&, const std::string&, std::uint32_t,
                               const std::string&) override {}
    void EnvironmentAppended(RegRoot, const std::string&, const std::string&,
                             const std::string&) override {}
};

} // namespace cv
