#pragma once
// A fake machine for removal tests: files, folders, registry values with their types, INI
// entries and services in memory, compared without regard to case as on Windows. Every
// change is recorded as a line; a test can make single calls fail.

#include "engine/removal_target.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace cv::test {

class FakeMachine : public IRemovalTarget {
  public:
    // Setting the machine up.
    void AddFile(const std::string& path, const std::string& content = "x", bool read_only = false);
    void AddFolder(const std::string& path);
    void AddKey(RegRoot root, const std::string& key);
    void AddValue(RegRoot root, const std::string& key, const std::string& name, const std::string& data,
                  std::uint32_t type = 1);
    void AddIni(const std::string& file, const std::string& section, const std::string& key,
                const std::string& value);
    void AddService(const std::string& name) { services_.insert(name); }
    /// Deletes of this path (file, folder or key) fail.
    void Lock(const std::string& path) { locked_.insert(Key(path)); }

    bool HasFile(const std::string& path) const { return files_.count(Key(path)) != 0; }
    bool HasFolder(const std::string& path) const { return folders_.count(Key(path)) != 0; }
    std::string Content(const std::string& path) const;
    bool HasKey(RegRoot root, const std::string& key) const { return keys_.count(RegKey(root, key)) != 0; }
    /// The value's data, or "<none>".
    std::string Value(RegRoot root, const std::string& key, const std::string& name) const;
    std::string Ini(const std::string& file, const std::string& section, const std::string& key) const;
    bool HasService(const std::string& name) const { return services_.count(name) != 0; }
    /// Every file, folder, key, value, INI entry and service, one line each, sorted: two
    /// snapshots compare whole machines.
    std::vector<std::string> Snapshot() const;

    std::vector<std::string> lines;
    std::vector<std::string> fonts_registered;

    bool RunAndWait(const std::string& command_line) override;
    bool OpenUrl(const std::string& url) override;
    bool StopAndDeleteService(const std::string& name) override;
    bool FileExists(const std::string& path) override { return HasFile(path); }
    bool FolderExists(const std::string& path) override { return HasFolder(path); }
    bool RemoveFile(const std::string& path) override;
    bool RestoreFile(const std::string& from, const std::string& to) override;
    bool RemoveFolderIfEmpty(const std::string& path) override;
    bool EmptyFolder(const std::string& path) override;
    bool DeleteTree(const std::string& path) override;
    bool UnregisterFont(const std::string& path) override;
    bool RemoveFileNowOrAtRestart(const std::string& path) override;
    std::optional<RegistryData> ReadRegistryValue(RegRoot root, const std::string& key,
                                                  const std::string& name) override;
    bool WriteRegistryValue(RegRoot root, const std::string& key, const std::string& name,
                            const RegistryData& value) override;
    bool DeleteRegistryValue(RegRoot root, const std::string& key, const std::string& name) override;
    bool RegistryKeyExists(RegRoot root, const std::string& key) override { return HasKey(root, key); }
    bool DeleteRegistryKeyIfEmpty(RegRoot root, const std::string& key) override;
    bool DeleteRegistryTree(RegRoot root, const std::string& key) override;
    void BroadcastEnvironmentChange() override { lines.push_back("BROADCAST Environment"); }
    std::optional<std::string> ReadIniEntry(const std::string& file, const std::string& section,
                                            const std::string& key) override;
    bool WriteIniEntry(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& value) override;
    bool DeleteIniEntry(const std::string& file, const std::string& section, const std::string& key) override;

  private:
    static std::string Key(const std::string& path);
    static std::string RegKey(RegRoot root, const std::string& key);
    bool Below(const std::string& key, const std::string& folder) const;

    std::map<std::string, std::pair<std::string, bool>> files_; ///< content, read-only
    std::set<std::string> folders_;
    std::set<std::string> keys_;
    std::map<std::string, RegistryData> values_; ///< RegKey + "\\" + upper name
    std::map<std::string, std::string> ini_;     ///< file|SECTION|KEY
    std::set<std::string> services_;
    std::set<std::string> locked_;
};

} // namespace cv::test
