#include "engine/engine_context.h"

#include "common/setup_state.h"
#include "engine/variables.h"

namespace cv {

std::string SourceFolder(const EngineContext& context) {
    std::string folder = context.paths.temp_folder + context.work_folder_name + "\\";
    if (context.disk_image)
        folder = context.paths.current_directory + "DiskImage1\\";
    if (context.split_files)
        folder = context.paths.current_directory;
    return folder;
}

std::string UninstallLogPath(const PathValues& paths) {
    return ExpandVariables("<WindowsFolder>\\Installer\\<ProductCode>\\uninstall.log", paths);
}

std::string UninstallLogFolder(const PathValues& paths) {
    return ExpandVariables("<WindowsFolder>\\Installer\\<ProductCode>\\", paths);
}

EngineContext ContextFromSetupState(SetupState& state) {
    EngineContext c;
    c.data_inf_path = state.dataInfPath;
    c.preview = state.previewMode == kOn;
    c.disk_image = state.diskImageMode == kOn;
    c.split_files = state.splitBuild == kOn;
    c.work_folder_cleanup = state.workFolderCleanup == kOn;
    c.add_on_pending = state.addOnPending == kOn;
    c.install_aborted = &state.installAborted;
    c.feature_state = [&state](const std::string& name) -> std::optional<int> {
        int i = state.FindFeature(name);
        if (i < 0)
            return std::nullopt;
        return state.features[static_cast<std::size_t>(i)].state;
    };
    return c;
}

} // namespace cv
