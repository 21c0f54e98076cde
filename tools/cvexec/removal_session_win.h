#pragma once
/// One product's removal as the uninstaller does it: what it is given (the uninstall log and
/// the prior-state file in the log folder, the Add/Remove entry, the language file), the plan
/// made from it, and the plan carried out on this machine.

#include "common/profile.h"
#include "engine/removal_plan.h"
#include "engine/removal_run.h"

#include <optional>
#include <string>

namespace cv::uninstall {

struct Session {
    std::string code;
    std::string windows_folder; ///< without a trailing backslash
    std::string log_folder;     ///< with a trailing backslash
    std::string uninstall_key;  ///< under HKEY_LOCAL_MACHINE
    bool entry_found = false;
    std::string display_name;   ///< "DisplayName", else the code
    std::string display_version; ///< "DisplayVersion"
    std::string publisher;      ///< "Publisher"
    std::string install_folder; ///< "LastInstallationPath", else the log's first folder
    std::string install_source; ///< "InstallSource"
    std::string uninstall_execute;
    UninstallLogContent log;
    std::vector<PriorRecord> prior;
    std::optional<ProfileFile> language;
};

/// Reads what the product left for its removal; nullopt when its uninstall log is missing
/// (nothing is then touched).
std::optional<Session> OpenSession(const std::string& code);

/// The plan: everything of the log, the Add/Remove entry, the log folder, and the shared
/// cvexec.exe in the Windows folder unless another product's entry still names it.
RemovalPlan PlanFor(const Session& session);

/// The folders removal never takes: the Windows, system, fonts, program-files, temp and
/// profile folders of this machine.
std::vector<std::string> ProtectedFolders();

/// True when an Add/Remove entry other than `code`'s starts cvexec.exe.
bool OtherProductNeedsUninstaller(const std::string& code);

} // namespace cv::uninstall
