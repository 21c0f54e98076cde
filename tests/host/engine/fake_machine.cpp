#include "fake_machine.h"

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

} // namespace cv::test
