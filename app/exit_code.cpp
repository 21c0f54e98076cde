#include "app/exit_code.h"

namespace cv {

int ExitCodeFor(const RunOutcome& outcome, bool command_line_given) {
    if (!command_line_given)
        return kExitSuccess;
    if (outcome.badCommandLine)
        return kExitBadCommandLine;
    if (outcome.usageShown)
        return kExitSuccess;
    if (outcome.anotherSetupRunning)
        return kExitAnotherSetupRunning;
    if (outcome.cancelled)
        return kExitCancelled;
    if (outcome.failed || !outcome.finished)
        return kExitFailed;
    return outcome.restartNeeded ? kExitRestartNeeded : kExitSuccess;
}

const char* ExitCodeMeaning(int code) {
    switch (code) {
    case kExitSuccess:
        return "success";
    case kExitCancelled:
        return "cancelled by the user";
    case kExitFailed:
        return "installation failed";
    case kExitAnotherSetupRunning:
        return "another setup of this product is running";
    case kExitBadCommandLine:
        return "invalid command line";
    case kExitRestartNeeded:
        return "success, a restart is needed";
    default:
        return "unknown";
    }
}

} // namespace cv
