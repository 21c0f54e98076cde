#include "engine/step_live_update.h"

#include "engine/engine.h"

namespace cv {

namespace {

// The folder text is used as written for the log; a file inside it needs a separator.
std::string Inside(const std::string& folder, const char* name) {
    if (folder.empty() || folder.back() == '\\' || folder.back() == '/')
        return folder + name;
    return folder + "\\" + name;
}

void CopyClientFile(CCVEngine& engine, const char* name, const std::string& folder) {
    const std::string copy = Inside(folder, name);
    engine.target().CopyFileReplacing(engine.source_folder() + name, copy);
    engine.WriteLogEntry("FILE", copy);
    engine.WriteLogEntry("FILE", folder);
}

} // namespace

void InstallLiveUpdate(CCVEngine& engine, const std::string& uninstall_key) {
    if (engine.Setting("LIVEUPDATE", "1") == "Yes") {
        IInstallTarget& target = engine.target();
        target.WriteRegistryString(RegRoot::LocalMachine, uninstall_key, "LVmode",
                                   engine.Expand(engine.Setting("LIVEUPDATE", "2")));
        target.WriteRegistryString(RegRoot::LocalMachine, uninstall_key, "LVurl",
                                   engine.Expand(engine.Setting("LIVEUPDATE", "3")));
        target.WriteRegistryString(RegRoot::LocalMachine, uninstall_key, "LVsilent",
                                   engine.Expand(engine.Setting("LIVEUPDATE", "4")));
        const std::string configured = engine.Setting("LIVEUPDATE", "5");
        const std::string folder = engine.Expand(configured.empty() ? "<Install Dir>" : configured);
        CopyClientFile(engine, "liveupdate.exe", folder);
        CopyClientFile(engine, "liveupdate.inf", folder);
    }
    if (engine.Setting("LIVESUPPORT", "1") == "Yes") {
        // Key "2" names a folder too, but the support files always go beside the product.
        const std::string folder = engine.Expand("<Install Dir>");
        CopyClientFile(engine, "livesupport.exe", folder);
        CopyClientFile(engine, "livesupport.inf", folder);
    }
}

} // namespace cv
