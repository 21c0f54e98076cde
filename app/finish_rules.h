#pragma once
/// The decisions of the end of the run that need no window: whether the restart question is
/// asked, where a launched program starts, and which step removes the work folder.
///
/// The work folder holds what later steps still need (the file actions' support files, the
/// add-on installers), so the last step that needs it removes it: the engine at the end of
/// its run when nothing follows, the add-on step after its last entry, or the finish step
/// when file actions exist. A setup that ends on a failed check or a quit message removes
/// nothing.

#include <string>
#include <string_view>

namespace cv {

/// The question of the restart, before variable expansion.
inline constexpr std::string_view kRestartQuestion =
    "You must restart your system for the configuration changes made to <ProductName> to take effect. "
    "Click Yes to restart now or No if you plan to restart later.";
/// Shown when the system refuses to restart.
inline constexpr std::string_view kRestartRefused = "Can't restart! Please restart manually your computer!";

/// The two process-wide flags that keep the work folder (255 on).
struct WorkFolderFlags {
    int cleanup = 0;      ///< file actions exist: the finish removes it
    int addOnPending = 0; ///< the add-on step is still to run
};

/// Whether the work folder may go now: no later step needs it.
bool WorkFolderRemovable(const WorkFolderFlags& flags);

/// The add-on step after its last entry: it is no longer pending; true when it removes the
/// folder now.
bool AddOnStepRemovesWorkFolder(WorkFolderFlags& flags);

/// The finish step: when it was the one to clean up, it no longer waits for itself; true
/// when it removes the folder now.
bool FinishRemovesWorkFolder(WorkFolderFlags& flags);

/// Whether the finish asks the restart question: a restart is requested ("CT14" "Yes") and
/// the installation was not aborted.
bool AsksRestart(int install_aborted, bool restart_requested);

/// The folder a launched program starts in: the folder part of `file` (with its trailing
/// backslash), empty when `file` names no folder.
std::string LaunchFolder(std::string_view file);

} // namespace cv
