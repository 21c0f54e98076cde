#include "engine/registry_changes.h"

#include "engine/engine.h"
#include "registry/key_path.h"

#include <cctype>

namespace cv {

std::optional<RegRoot> RegRootFromName(std::string_view name) {
    // The helper's root names are listed in the order of RegRoot.
    const int index = RegistryRootIndex(name);
    if (index < 0)
        return std::nullopt;
    return static_cast<RegRoot>(index);
}

RegistryData StringData(const std::string& text, std::uint32_t type) {
    RegistryData data{type, text};
    data.bytes.push_back('\0');
    return data;
}

std::string RegistryChanges::Id(RegRoot root, const std::string& key) {
    std::string id = std::to_string(static_cast<int>(root)) + "\\";
    for (char c : key)
        id.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    while (!id.empty() && id.back() == '\\')
        id.pop_back();
    return id;
}

void RegistryChanges::NoteExistingKey(RegRoot root, const std::string& key) {
    const std::string id = Id(root, key);
    if (created_.count(id) || !reported_.insert(id).second)
        return;
    engine_.prior().RegistryKeyExisted(root, key);
}

bool RegistryChanges::CreateKey(RegRoot root, const std::string& key) {
    IInstallTarget& target = engine_.target();
    if (target.RegistryKeyExists(root, key)) {
        NoteExistingKey(root, key);
        return true;
    }
    // The key and every missing parent above it are this run's.
    std::string missing = key;
    while (!missing.empty() && missing.back() == '\\')
        missing.pop_back();
    while (!missing.empty() && !target.RegistryKeyExists(root, missing)) {
        created_.insert(Id(root, missing));
        engine_.prior().RegistryKeyCreated(root, missing);
        const std::size_t cut = missing.rfind('\\');
        missing = cut == std::string::npos ? std::string() : missing.substr(0, cut);
    }
    return target.CreateRegistryKey(root, key);
}

bool RegistryChanges::NoteValue(RegRoot root, const std::string& key, const std::string& name) {
    const RegistryRead before = engine_.target().ReadRegistryValue(root, key, name, kMaxPriorValueBytes);
    if (before.status == RegistryRead::Status::Failed) {
        engine_.Trace("registry value not changed, its present state cannot be read: " +
                      std::string(RegRootName(root)) + "\\" + key + "\\" + name);
        return false;
    }
    if (before.status == RegistryRead::Status::Found)
        engine_.prior().RegistryValueReplaced(root, key, name, before.value.type, before.value.bytes);
    return true;
}

bool RegistryChanges::SetValue(RegRoot root, const std::string& key, const std::string& name,
                               const RegistryData& value) {
    IInstallTarget& target = engine_.target();
    if (!target.RegistryKeyExists(root, key)) {
        engine_.Trace("registry value not written, its key is missing: " + std::string(RegRootName(root)) +
                      "\\" + key + "\\" + name);
        return false;
    }
    NoteExistingKey(root, key);
    if (!NoteValue(root, key, name))
        return false;
    return target.SetRegistryValue(root, key, name, value);
}

bool RegistryChanges::DeleteValue(RegRoot root, const std::string& key, const std::string& name) {
    const RegistryRead before = engine_.target().ReadRegistryValue(root, key, name, kMaxPriorValueBytes);
    if (before.status == RegistryRead::Status::Missing)
        return false;
    if (before.status == RegistryRead::Status::Failed) {
        engine_.Trace("registry value not deleted, its present state cannot be read: " +
                      std::string(RegRootName(root)) + "\\" + key + "\\" + name);
        return false;
    }
    engine_.prior().RegistryValueReplaced(root, key, name, before.value.type, before.value.bytes);
    return engine_.target().DeleteRegistryValue(root, key, name);
}

} // namespace cv
