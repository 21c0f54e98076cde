#include "engine/step_uninstall_registration.h"

#include "engine/engine.h"
#include "engine/step_files.h"
#include "engine/step_live_update.h"
#include "engine/system_token.h"

#include <cctype>
#include <set>

namespace cv {

namespace {

// Where a program or icon named by [APPINFO] lies: a path with variables, or a file name in
// the source folder. The source folder is the work folder of a compressed build; disk-image
// and split-files builds leave the work folder empty and ship these files where the
// installed files come from.
std::string SupportFileSource(CCVEngine& engine, const std::string& setting) {
    if (setting.find('<') != std::string::npos)
        return engine.Expand(setting);
    return engine.source_folder() + std::string(FileNamePart(setting));
}

// Copies a support file into the install folder; the copy's path, or "" when the source is
// not a file (a folder is refused) or the copy failed.
std::string CopyIntoInstallFolder(CCVEngine& engine, const std::string& source) {
    if (!engine.target().FileExists(source))
        return {};
    const std::string copy = engine.Expand("<Install Dir>\\" + std::string(FileNamePart(source)));
    return engine.target().CopyFileReplacing(source, copy) ? copy : std::string();
}

bool IsHvWebConferencing(const CCVEngine& engine) {
    const PathValues& p = engine.context().paths;
    return p.product_name == "HV Web Conferencing" &&
           (p.install_dir == "C:\\HV Web Conferencing" || p.install_dir == "C:\\HV Web Conferencing\\");
}

// Kilobytes (rounded up) of the product's files as they lie installed: every record of the
// file list that this system and the chosen features let through, each destination once.
std::uint32_t InstalledSizeKb(CCVEngine& engine) {
    std::set<std::string> seen;
    std::uint64_t bytes = 0;
    for (const FileRecord& record : engine.files()) {
        if (!SystemMatches(record.system_mask, engine.token()) || !engine.FeatureLetsThrough(record.feature))
            continue;
        const std::string destination = engine.Expand(DestinationPathOf(record));
        std::string key = destination;
        for (char& c : key)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (!seen.insert(key).second)
            continue;
        if (std::optional<std::uint64_t> size = engine.target().FileSize(destination))
            bytes += *size;
    }
    const std::uint64_t kb = (bytes + 1023) / 1024;
    return kb > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(kb);
}

} // namespace

std::string UninstallKeyOf(const std::string& product_key) {
    return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product_key;
}

void RegisterUninstall(CCVEngine& engine) {
    IInstallTarget& target = engine.target();
    const std::string uninstaller = engine.source_folder() + "cvexec.exe";
    if (target.FileExists(uninstaller))
        target.CopyFileReplacing(uninstaller, engine.Expand("<WindowsFolder>\\cvexec.exe"));
    const std::string setup_folder = engine.context().paths.current_directory;
    target.CopyFileReplacing(setup_folder + "language.lan", engine.log_folder() + "language.lan");

    auto setting = [&](const char* key) { return engine.Setting("APPINFO", key); };
    const std::string a3 = setting("a3");
    const std::string key = UninstallKeyOf(a3);
    target.CreateRegistryKey(RegRoot::LocalMachine, key);
    auto write = [&](const char* name, const std::string& value) {
        target.WriteRegistryString(RegRoot::LocalMachine, key, name, value);
    };

    InstallLiveUpdate(engine, key);

    if (setting("a10") == "Yes") {
        if (!IsHvWebConferencing(engine))
            target.CopyTree(setup_folder + "theme", engine.log_folder());
        const std::string program = CopyIntoInstallFolder(engine, SupportFileSource(engine, setting("a11")));
        if (!program.empty()) {
            write("UninstallExecute", program);
            write("UninstallCmdLine", setting("a12"));
        }
        write("UninstallRemoveAll", setting("a13"));
    }

    if (setting("a14") == "No")
        return;
    write("DisplayName", setting("a1"));
    write("DisplayVersion", setting("a2"));
    static constexpr struct {
        const char* name;
        const char* key;
    } kIfGiven[] = {{"Publisher", "a19"},     {"Comments", "a20"}, {"URLInfoAbout", "a21"},
                    {"URLUpdateInfo", "a22"}, {"HelpLink", "a24"}, {"HelpTelephone", "a25"}};
    for (const auto& v : kIfGiven) {
        const std::string value = setting(v.key);
        if (!value.empty())
            write(v.name, value);
    }
    write("LastInstallationPath", engine.Expand("<InstallDir>"));
    write("ModifyPath", "cvexec.exe /M " + a3);
    write("UninstallString", "cvexec.exe /R " + a3);
    write("InstallSource", target.CurrentDirectory());
    static constexpr struct {
        const char* name;
        const char* key;
    } kSwitches[] = {{"NoModify", "a15"}, {"NoRemove", "a16"}, {"NoRepair", "a17"}};
    for (const auto& s : kSwitches) {
        if (setting(s.key) == "Yes")
            target.WriteRegistryDword(RegRoot::LocalMachine, key, s.name, 1);
    }
    const std::string icon = setting("a18");
    if (!icon.empty()) {
        const std::string copy = CopyIntoInstallFolder(engine, SupportFileSource(engine, icon));
        if (!copy.empty()) {
            engine.WriteLogEntry("FILE", copy);
            write("DisplayIcon", copy);
        }
    }

    // What deployment and inventory tools read besides the values above.
    write("QuietUninstallString", "cvexec.exe /S " + a3);
    write("InstallLocation", engine.Expand("<InstallDir>"));
    // A repair installs over the product again; the entry keeps the first installation's date.
    const std::string& today = engine.context().install_date;
    // A date that is there but cannot be read is kept as well.
    const bool dated = target.ReadRegistryValue(RegRoot::LocalMachine, key, "InstallDate", 64).status !=
                       RegistryRead::Status::Missing;
    if (!today.empty() && !dated)
        write("InstallDate", today);
    target.WriteRegistryDword(RegRoot::LocalMachine, key, "EstimatedSize", InstalledSizeKb(engine));
}

} // namespace cv
