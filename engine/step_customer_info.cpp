#include "engine/step_customer_info.h"

#include "engine/engine.h"
#include "engine/registry_changes.h"
#include "registry/key_path.h"

#include <array>
#include <string>
#include <utility>

namespace cv {

namespace {

void WriteUserInfoFile(CCVEngine& engine, const PathValues& paths) {
    IInstallTarget& target = engine.target();
    std::string ini = paths.windows_folder;
    if (!ini.empty() && ini.back() != '\\')
        ini += '\\';
    ini += "userinfo.ini";
    const std::array<std::pair<const char*, const std::string*>, 2> entries{
        {{"D1", &paths.user_name}, {"D2", &paths.company_name}}};
    if (target.FileExists(ini)) {
        // Another product's (or an earlier run's) file: removal takes back only our entries.
        engine.prior().IniFileExisted(ini);
        for (const auto& [key, value] : entries) {
            if (std::optional<std::string> before = target.ReadIniEntry(ini, "USERINFO", key))
                engine.prior().IniEntryReplaced(ini, "USERINFO", key, *before);
            else
                engine.prior().IniEntryAdded(ini, "USERINFO", key);
        }
    }
    engine.WriteLogEntry("FILE", ini);
    for (const auto& [key, value] : entries)
        if (!target.WriteIniEntry(ini, "USERINFO", key, *value))
            engine.Trace(std::string("customer name not written: ") + ini + " [USERINFO] " + key);
}

void WriteUserInfoKey(CCVEngine& engine, const PathValues& paths) {
    const std::string key_text = engine.Setting("DIALOGLIST", "CT18");
    if (key_text.empty())
        return;
    const std::string root_name = engine.Setting("DIALOGLIST", "CT17");
    const std::optional<RegRoot> root = RegRootFromName(root_name);
    if (!root) {
        engine.Trace("customer key not written: root \"" + root_name + "\"");
        return;
    }
    std::string key = StripRegistryRootNames(engine.Expand(key_text));
    while (!key.empty() && key.back() == '\\')
        key.pop_back();
    if (key.empty())
        return; // never values straight under a root
    RegistryChanges changes(engine);
    engine.WriteLogEntry("REGKEY", root_name + "\\" + key);
    if (!changes.CreateKey(*root, key)) {
        engine.Trace("customer key not created: " + root_name + "\\" + key);
        return;
    }
    const std::array<std::pair<const char*, const std::string*>, 2> values{
        {{"<UserName>", &paths.user_name}, {"<CompanyName>", &paths.company_name}}};
    for (const auto& [name, value] : values) {
        changes.SetValue(*root, key, name, StringData(*value));
        engine.WriteLogEntry("REGVAL", root_name + "\\" + key + "\\" + name);
    }
}

} // namespace

void WriteCustomerInfo(CCVEngine& engine) {
    if (!engine.context().customer_entered)
        return;
    const PathValues& paths = engine.context().paths;
    WriteUserInfoFile(engine, paths);
    WriteUserInfoKey(engine, paths);
}

} // namespace cv
