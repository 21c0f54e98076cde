#include "app/unattended.h"

#include <windows.h>

namespace cv {

UnattendedRun& unattendedRun() {
    static UnattendedRun run;
    return run;
}

void UnattendedRun::Start(std::string_view command_line) {
    line_ = ParseCommandLine(command_line);
    if (!line_.logFile.empty())
        log_.Open(line_.logFile);
    if (!line_.given)
        return;
    Log("Setup started: setup.exe " + std::string(command_line));
    if (line_.silent)
        Log("Silent mode: no window is shown, every question is answered for the run");
    if (line_.installFolder)
        Log("Install folder from the command line: " + *line_.installFolder);
    if (!line_.Valid()) {
        outcome_.badCommandLine = true;
        Log("Unknown switch: " + line_.unknown);
    } else if (line_.usage) {
        outcome_.usageShown = true;
    }
}

bool UnattendedRun::Message(std::string_view text) {
    Log(MessageLogText(Silent(), text));
    return !Silent();
}

bool UnattendedRun::Failure(std::string_view text) {
    outcome_.failed = true;
    return Message(text);
}

bool UnattendedRun::ClaimProduct(const std::string& product_code) {
    // A mutex name may hold no backslash beyond its namespace prefix.
    std::string name = "CorvaneSetup_" + product_code;
    for (char& c : name)
        if (c == '\\')
            c = '_';
    // Global: a deployment tool's run in another session counts too. Systems without
    // namespaces refuse the prefix; the plain name serves there.
    std::string global = "Global\\" + name;
    productMutex_.reset(::CreateMutexA(nullptr, FALSE, global.c_str()));
    if (!productMutex_)
        productMutex_.reset(::CreateMutexA(nullptr, FALSE, name.c_str()));
    if (!productMutex_ || ::GetLastError() != ERROR_ALREADY_EXISTS)
        return true;
    productMutex_.reset();
    outcome_.anotherSetupRunning = true;
    Log("Another setup of product " + product_code + " is running");
    return false;
}

std::function<bool(const std::string&)> DiskPromptForRun() {
    if (!unattendedRun().CommandLineMode())
        return {};
    return [](const std::string& text) {
        UnattendedRun& run = unattendedRun();
        if (!run.Message(text)) {
            run.outcome().failed = true;
            return false;
        }
        if (::MessageBoxA(nullptr, text.c_str(), nullptr,
                          MB_RETRYCANCEL | MB_ICONEXCLAMATION | MB_SYSTEMMODAL) == IDRETRY)
            return true;
        run.outcome().cancelled = true;
        run.Log("Setup cancelled by the user");
        return false;
    };
}

int UnattendedRun::End(int quit_code) {
    if (!line_.given)
        return quit_code;
    const int code = ExitCodeFor(outcome_, true);
    if (!ended_) {
        ended_ = true;
        Log("Setup ended: exit code " + std::to_string(code) + " (" + ExitCodeMeaning(code) + ")");
        log_.Close();
    }
    return code;
}

} // namespace cv
