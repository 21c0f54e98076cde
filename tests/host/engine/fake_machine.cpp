#include "fake_machine.h"

#include "engine/uninstall_log_reader.h"

namespace cv::test {

std::string FakeMachine::Key(const std::string& path) { return WindowsPathKey(path); }

std::string FakeMachine::RegKey(RegRoot root, const std::string& key) {
    return std::string(RegRootName(root)) + "\\" + WindowsPathKey(key);
}

bool FakeMachine::Below(const std::string& key, const std::string& folder) const {
    return key.size() > folder.size() && key.compare(0, folder.size(), folder) == 0 && key[folder.size()] == '\\';
}

void FakeMachine::AddFile(const std::string& path, const std::string& content, bool read_only) {
    files_[Key(path)] = {content, read_only};
}
void FakeMachine::AddFolder(const std::string& path) { folders_.insert(Key(path)); }

void FakeMachine::AddKey(RegRoot root, const std::string& key) {
    std::string k = WindowsPathKey(key);
    while (!k.empty()) {
        keys_.insert(RegKey(root, k));
        const std::size_t cut = k.rfind('\\');
        k = cut == std::string::npos ? std::string() : k.substr(0, cut);
    }
}

void FakeMachine::AddValue(RegRoot root, const std::string& key, const std::string& name, const std::string& data,
                           std::uint32_t type) {
    AddKey(root, key);
    values_[RegKey(root, key) + "|" + WindowsPathKey(name)] = {type, data};
}

void FakeMachine::AddIni(const std::string& file, const std::string& section, const std::string& key,
                         const std::string& value) {
    if (!HasFile(file))
        AddFile(file, "ini");
    ini_[Key(file) + "|" + WindowsPathKey(section) + "|" + WindowsPathKey(key)] = value;
}

std::string FakeMachine::Content(const std::string& path) const {
    auto it = files_.find(Key(path));
    return it == files_.end() ? "<none>" : it->second.first;
}

std::string FakeMachine::Value(RegRoot root, const std::string& key, const std::string& name) const {
    auto it = values_.find(RegKey(root, key) + "|" + WindowsPathKey(name));
    return it == values_.end() ? "<none>" : it->second.data;
}

std::string FakeMachine::Ini(const std::string& file, const std::string& section, const std::string& key) const {
    auto it = ini_.find(Key(file) + "|" + WindowsPathKey(section) + "|" + WindowsPathKey(key));
    return it == ini_.end() ? "<none>" : it->second;
}

std::vector<std::string> FakeMachine::Snapshot() const {
    std::vector<std::string> all;
    for (const auto& [k, f] : files_)
        all.push_back("file " + k + " = " + f.first + (f.second ? " (ro)" : ""));
    for (const std::string& k : folders_)
        all.push_back("folder " + k);
    for (const std::string& k : keys_)
        all.push_back("key " + k);
    for (const auto& [k, v] : values_)
        all.push_back("value " + k + " = " + std::to_string(v.type) + ":" + v.data);
    for (const auto& [k, v] : ini_)
        all.push_back("ini " + k + " = " + v);
    for (const std::string& s : services_)
        all.push_back("service " + s);
    return all;
}

bool FakeMachine::RunAndWait(const std::string& command_line) {
    lines.push_back("RUN " + command_line);
    return true;
}

bool FakeMachine::OpenUrl(const std::string& url) {
    lines.push_back("OPEN " + url);
    return true;
}

bool FakeMachine::StopAndDeleteService(const std::string& name) {
    lines.push_back("SERVICE-DELETE " + name);
    if (locked_.count(Key(name)))
        return false;
    services_.erase(name);
    return true;
}

bool FakeMachine::RemoveFile(const std::string& path) {
    auto it = files_.find(Key(path));
    if (it == files_.end() || locked_.count(Key(path)))
        return false;
    lines.push_back("DELETE " + path);
    files_.erase(it);
    return true;
}

bool FakeMachine::RestoreFile(const std::string& from, const std::string& to) {
    auto it = files_.find(Key(from));
    if (it == files_.end() || locked_.count(Key(to)))
        return false;
    lines.push_back("RESTORE " + to + " <- " + from);
    files_[Key(to)] = it->second;
    return true;
}

bool FakeMachine::RemoveFolderIfEmpty(const std::string& path) {
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

bool FakeMachine::EmptyFolder(const std::string& path) {
    const std::string k = Key(path);
    lines.push_back("EMPTY " + path);
    std::erase_if(files_, [&](const auto& f) { return Below(f.first, k); });
    std::erase_if(folders_, [&](const std::string& f) { return Below(f, k); });
    return true;
}

bool FakeMachine::DeleteTree(const std::string& path) {
    EmptyFolder(path);
    folders_.erase(Key(path));
    return true;
}

bool FakeMachine::UnregisterFont(const std::string& path) {
    lines.push_back("FONT-OFF " + path);
    return true;
}

bool FakeMachine::RemoveFileNowOrAtRestart(const std::string& path) {
    if (locked_.count(Key(path))) {
        lines.push_back("DELETE-AT-RESTART " + path);
        return true;
    }
    return RemoveFile(path);
}

std::optional<IRemovalTarget::RegistryData> FakeMachine::ReadRegistryValue(RegRoot root, const std::string& key,
                                                                          const std::string& name) {
    auto it = values_.find(RegKey(root, key) + "|" + WindowsPathKey(name));
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

bool FakeMachine::WriteRegistryValue(RegRoot root, const std::string& key, const std::string& name,
                                     const RegistryData& value) {
    lines.push_back("SET " + RegKey(root, key) + "\\" + name + "=" + value.data);
    AddValue(root, key, name, value.data, value.type);
    return true;
}

bool FakeMachine::DeleteRegistryValue(RegRoot root, const std::string& key, const std::string& name) {
    if (locked_.count(Key(RegKey(root, key))))
        return false;
    lines.push_back("UNSET " + RegKey(root, key) + "\\" + name);
    return values_.erase(RegKey(root, key) + "|" + WindowsPathKey(name)) != 0;
}

bool FakeMachine::DeleteRegistryKeyIfEmpty(RegRoot root, const std::string& key) {
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

bool FakeMachine::DeleteRegistryTree(RegRoot root, const std::string& key) {
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

std::optional<std::string> FakeMachine::ReadIniEntry(const std::string& file, const std::string& section,
                                                     const std::string& key) {
    auto it = ini_.find(Key(file) + "|" + WindowsPathKey(section) + "|" + WindowsPathKey(key));
    if (it == ini_.end())
        return std::nullopt;
    return it->second;
}

bool FakeMachine::WriteIniEntry(const std::string& file, const std::string& section, const std::string& key,
                                const std::string& value) {
    lines.push_back("INI-SET " + file + " [" + section + "] " + key + "=" + value);
    AddIni(file, section, key, value);
    return true;
}

bool FakeMachine::DeleteIniEntry(const std::string& file, const std::string& section, const std::string& key) {
    lines.push_back("INI-DELETE " + file + " [" + section + "] " + key);
    return ini_.erase(Key(file) + "|" + WindowsPathKey(section) + "|" + WindowsPathKey(key)) != 0;
}

} // namespace cv::test
