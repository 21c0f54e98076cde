#pragma once
/// The exit code of a run started with arguments, as deployment tools read it (the codes of
/// the Windows Installer). A run without arguments always ends with 0, as it always did.

namespace cv {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitCancelled = 1602;
inline constexpr int kExitFailed = 1603;
inline constexpr int kExitAnotherSetupRunning = 1618;
inline constexpr int kExitBadCommandLine = 1639;
inline constexpr int kExitRestartNeeded = 3010;

/// What happened in the run, noted as it happens.
struct RunOutcome {
    bool badCommandLine = false;
    bool usageShown = false; ///< "/?" alone: nothing to install, nothing failed
    bool anotherSetupRunning = false;
    bool cancelled = false;     ///< the user confirmed Cancel
    bool failed = false;        ///< settings, a check, the engine's error or an abort
    bool finished = false;      ///< the finish step was reached
    bool restartNeeded = false; ///< the product asks for a restart
};

/// The exit code for `outcome`: 0 for a run without arguments. Otherwise the first that
/// applies of 1639, 1618, 1602, 1603, then 3010 or 0 for a finished run; a run that ended
/// before its finish without saying why failed (1603), so that a quit on an unforeseen path
/// never reads as success.
int ExitCodeFor(const RunOutcome& outcome, bool command_line_given);

/// "success", "cancelled", ... for the log's last line.
const char* ExitCodeMeaning(int code);

} // namespace cv
