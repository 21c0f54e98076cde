#pragma once
// A fake machine for removal tests: files, folders, registry values with their types, INI
// entries and services in memory, compared without regard to case as on Windows. Every
// change is recorded as a line; a test can make single calls fail.

#include "engine/removal_target.h"
#include "engine/uninstall_log_reader.h"

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

    // The removal target: each change is carried out in memory and recorded in `lines`.
    bool RunAndWait(const std::string& command_line) override {
        lines.push_back("RUN " + command_line);
        return true;
    }
    bool OpenUrl(const std::string& url) override {
        lines.push_back("OPEN " + url);
        return true;
    }
    bool StopAndDeleteService(const std::string& name) override {
        lines.push_back("SERVICE-DELETE " + name);
        if (locked_.count(Key(name)))
            return false;
        services_.erase(name);
        return true;
    }
    bool FileExists(const std::string& path) override { return HasFile(path); }
    bool FolderExists(const std::string& path) override { return HasFolder(path); }
    bool RemoveFile(const std::string& path) override {
        auto it = files_.find(Key(path));
        if (it == files_.end() || locked_.count(Key(path)))
            return false;
        lines.push_back("DELETE " + path);
        files_.erase(it);
        return true;
    }
    bool RestoreFile(const std::string& from, const std::string& to) override {
        auto it = files_.find(Key(from));
        if (it == files_.end() || locked_.count(Key(to)))
            return false;
        lines.push_back("RESTORE " + to + " <- " + from);
        files_[Key(to)] = it->second;
        return true;
    }
    bool RemoveFolderIfEmpty(const std::string& path) override {
        const std::string k = Key(path);
        for (const auto& f : files_)
            if (Below(f.first, k))
                return false;
        for (const std::string& f : folders_)
            if (Below(f, k))
                return false;
        if (locked_.count(k))
            return false;
        lines.push_back("RMDIR " + path);
        folders_.erase(k);
        return true;
    }
    bool EmptyFolder(const std::string& path) override {
        const std::string k = Key(path);
        lines.push_back("EMPTY " + path);
        std::erase_if(files_, [&](const auto& f) { return Below(f.first, k); });
        std::erase_if(folders_, [&](const std::string& f) { return Below(f, k); });
        return true;
    }
    bool DeleteTree(const std::string& path) override {
        EmptyFolder(path);
        folders_.erase(Key(path));
        return true;
    }
    bool UnregisterFont(const std::string& path) override {
        lines.push_back("FONT-OFF " + path);
        return true;
    }
    bool RemoveFileNowOrAtRestart(const std::string& path) override {
        if (locked_.count(Key(path))) {
            lines.push_back("DELETE-AT-RESTART " + path);
            return true;
        }
        return RemoveFile(path);
    }
    std::optional<RegistryData> ReadRegistryValue(RegRoot root, const std::string& key,
                                                  const std::string& name) override {
        auto it = values_.find(RegKey(root, key) + "|" + WindowsPathKey(name));
        if (it == values_.end())
            return std::nullopt;
        return it->second;
    }
    bool WriteRegistryValue(RegRoot root, const std::string& key, const std::string& name,
                            const RegistryData& value) override {
        lines.push_back("SET " + RegKey(root, key) + "\\" + name + "=" + value.data);
        AddValue(root, key, name, value.data, value.type);
        return true;
    }
    bool DeleteRegistryValue(RegRoot root, const std::string& key, const std::string& name) override {
        if (locked_.count(Key(RegKey(root, key))))
            return false;
        lines.push_back("UNSET " + RegKey(root, key) + "\\" + name);
        return values_.erase(RegKey(root, key) + "|" + WindowsPathKey(name)) != 0;
    }
    bool RegistryKeyExists(RegRoot root, const std::string& key) override { return HasKey(root, key); }
    bool DeleteRegistryKeyIfEmpty(RegRoot root, const std::string& key) override {
        const std::string k = RegKey(root, key);
        for (const auto& v : values_)
            if (v.first.compare(0, k.size() + 1, k + "|") == 0)
                return false;
        for (const std::string& sub : keys_)
            if (Below(sub, k))
                return false;
        lines.push_back("DELKEY " + k);
        keys_.erase(k);
        return true;
    }
    bool DeleteRegistryTree(RegRoot root, const std::string& key) override {
        const std::string k = RegKey(root, key);
        if (locked_.count(Key(k)))
            return false;
        lines.push_back("DELTREE " + k);
        std::erase_if(values_, [&](const auto& v) {
            return v.first.compare(0, k.size() + 1, k + "|") == 0 || Below(v.first.substr(0, v.first.find('|')), k);
        });
        std::erase_if(keys_, [&](const std::string& s) { return s == k || Below(s, k); });
        return true;
    }
    void BroadcastEnvironmentChange() override { lines.push_back("BROADCAST Environment"); }
    std::optional<std::string> ReadIniEntry(const std::string& file, const std::string& section,
                                            const std::string& key) override {
        auto it = ini_.find(Key(file) + "|" + WindowsPathKey(section) + "|" + WindowsPathKey(key));
        if (it == ini_.end())
            return std::nullopt;
        return it->second;
    }
    bool WriteIniEntry(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& value) override {
        lines.push_back("INI-SET " + file + " [" + section + "] " + key + "=" + value);
        AddIni(file, section, key, value);
        return true;
    }
    bool DeleteIniEntry(const std::string& file, const std::string& section, const std::string& key) override {
        lines.push_back("INI-DELETE " + file + " [" + section + "] " + key);
        return ini_.erase(Key(file) + "|" + WindowsPathKey(section) + "|" + WindowsPathKey(key)) != 0;
    }

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
