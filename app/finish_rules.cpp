#include "app/finish_rules.h"

namespace cv {

namespace {
constexpr int kOn = 255;
}

bool WorkFolderRemovable(const WorkFolderFlags& flags) { return flags.cleanup != kOn && flags.addOnPending != kOn; }

bool AddOnStepRemovesWorkFolder(WorkFolderFlags& flags) {
    flags.addOnPending = 0;
    return WorkFolderRemovable(flags);
}

bool FinishRemovesWorkFolder(WorkFolderFlags& flags) {
    if (flags.cleanup != kOn)
        return false;
    flags.cleanup = 0;
    return WorkFolderRemovable(flags);
}

bool AsksRestart(int install_aborted, bool restart_requested) { return restart_requested && install_aborted != kOn; }

std::string LaunchFolder(std::string_view file) {
    const std::size_t slash = file.find_last_of("\\/");
    if (slash == std::string_view::npos)
        return {};
    return std::string(file.substr(0, slash + 1));
}

} // namespace cv
