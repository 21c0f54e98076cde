#include "engine/step_registry.h"

#include "common/profile_table.h"
#include "engine/engine.h"
#include "engine/registry_changes.h"
#include "engine/step_table.h"
#include "registry/key_path.h"

namespace cv {

namespace {

// REGISTRYKEYS: each row is a key path with its root name. A path naming several roots is
// created (and logged) under each of them, as the path text says.
void CreateKeys(CCVEngine& engine, RegistryChanges& changes) {
    const int rows = StepTableRows(engine, "REGISTRYKEYS");
    for (int i = 0; i < rows; ++i) {
        std::string path = engine.Setting("REGISTRYKEYS", std::to_string(i));
        if (!path.empty() && path.back() == '\\')
            path.pop_back();
        for (std::string_view root_name : kRegistryRootNames) {
            if (path.find(root_name) == std::string::npos)
                continue;
            const std::string expanded = engine.Expand(path);
            if (RefusedAsTooLong(engine, "REGISTRYKEYS key", expanded, kMaxRegistryRowText))
                continue;
            engine.WriteLogEntry("REGKEY", expanded);
            const std::string key = StripRegistryRootNames(expanded);
            if (!key.empty())
                changes.CreateKey(*RegRootFromName(root_name), key);
        }
    }
}

// REGISTRY: a value under a key that must already exist; logged whether or not it could
// be written, so that removal looks for it either way.
void WriteValues(CCVEngine& engine, RegistryChanges& changes) {
    const int rows = StepTableRows(engine, "REGISTRY");
    for (int i = 0; i < rows; ++i) {
        const std::string path = StepTableCell(engine, "REGISTRY", "A", i);
        const std::string name = StepTableCell(engine, "REGISTRY", "B", i);
        const std::string data = engine.Expand(StepTableCell(engine, "REGISTRY", "C", i));
        const std::string type = StepTableCell(engine, "REGISTRY", "D", i);
        if (RefusedAsTooLong(engine, "REGISTRY key", path, kMaxRegistryRowText) ||
            RefusedAsTooLong(engine, "REGISTRY value name", name, kMaxRegistryRowText) ||
            RefusedAsTooLong(engine, "REGISTRY data", data, kMaxRegistryRowText))
            continue;
        const std::size_t cut = path.find('\\');
        const std::string root_name = path.substr(0, cut);
        const std::string key = cut == std::string::npos ? std::string() : path.substr(cut + 1);
        std::string key_to_open = key; // the log line keeps the key as written
        while (!key_to_open.empty() && key_to_open.back() == '\\')
            key_to_open.pop_back();
        const std::optional<RegRoot> root = RegRootFromName(root_name);
        const std::optional<RegistryData> value = RegistryRowData(type, data);
        if (root && value)
            changes.SetValue(*root, key_to_open, name, *value);
        else
            engine.Trace("REGISTRY row " + std::to_string(i) + " not written: " +
                         (root ? "type \"" + type + "\"" : "root \"" + root_name + "\""));
        engine.WriteLogEntry("REGVAL", root_name + "\\" + key + name);
    }
}

} // namespace

std::optional<RegistryData> RegistryRowData(const std::string& type, const std::string& text) {
    if (type == "0" || type == "String")
        return StringData(text);
    if (type == "1" || type == "DWORD") {
        const auto number = static_cast<std::uint32_t>(ParseLeadingInt(text));
        std::string bytes;
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<char>((number >> shift) & 0xFF));
        return RegistryData{kRegDword, bytes};
    }
    if (type == "2" || type == "Binary") {
        RegistryData data{kRegBinary, text};
        data.bytes.push_back('\0');
        return data;
    }
    return std::nullopt;
}

void WriteRegistryEntries(CCVEngine& engine) {
    RegistryChanges changes(engine);
    CreateKeys(engine, changes);
    WriteValues(engine, changes);
}

} // namespace cv
