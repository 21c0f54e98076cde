// cvexec.exe: removes ("/R", silently "/S") or repairs ("/M") an installed product from the
// uninstall log its installation left. Exit codes: 0 done, 1 a bad command line, 2 the
// product is not installed (nothing touched), 3 some items could not be removed (named on
// standard error), 4 the user declined.
#include "engine/removal_target_win.h"
#include "tools/cvexec/command_line.h"
#include "tools/cvexec/removal_session_win.h"
#include "tools/cvexec/removal_window_win.h"

#include <windows.h>

namespace {

using namespace cv;
using namespace cv::uninstall;

constexpr int kDone = 0, kBadCommand = 1, kNotInstalled = 2, kNotAllRemoved = 3, kDeclined = 4;

// A program of the windows subsystem has no console; its standard error is whatever the
// caller gave it (a pipe or a file), or nothing.
void ToStandardError(const std::string& text) {
    HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
    if (err == nullptr || err == INVALID_HANDLE_VALUE)
        return;
    DWORD wrote = 0;
    ::WriteFile(err, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr);
}

bool AnySilentSwitch(const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (a == "/S" || a == "/s" || a == "-S" || a == "-s")
            return true;
    return false;
}

int Repair(const Session& session, const UninstallTexts& texts) {
    std::string folder = session.install_source;
    while (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    const std::string setup = folder + "\\setup.exe";
    const DWORD a = folder.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesA(setup.c_str());
    if (a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_DIRECTORY)) {
        ::MessageBoxA(nullptr, FormatText(texts.no_setup, session.display_name, folder).c_str(), texts.title.c_str(),
                      MB_OK | MB_ICONEXCLAMATION);
        return kNotInstalled;
    }
    // The setup runs from its own folder, as when it was first started.
    const auto started = reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(nullptr, "open", setup.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL));
    return started > 32 ? kDone : kNotInstalled;
}

int Remove(const Session& session, const UninstallTexts& texts, bool silent) {
    const RemovalPlan plan = PlanFor(session);
    RemovalTargetWin target;
    RemovalReport report;
    if (silent) {
        report = CarryOutRemoval(plan, target);
    } else {
        ProgressWindow window(texts, session.display_name);
        report = CarryOutRemoval(plan, target, [&window](int position, int count, const RemovalStep&) {
            window.Step(position, count);
        });
        window.Step(static_cast<int>(plan.steps.size()), static_cast<int>(plan.steps.size()));
    }
    const bool delayed = !plan.steps.empty() && plan.steps.back().action == RemovalAction::RemoveSharedUninstaller &&
                         target.FileExists(plan.steps.back().path);
    if (silent) {
        for (const std::string& refused : plan.refused)
            ToStandardError("cvexec: kept (not removed by rule): " + refused + "\n");
        for (const std::string& kept : report.kept)
            ToStandardError("cvexec: kept (not empty): " + kept + "\n");
        for (const std::string& failure : report.failures)
            ToStandardError("cvexec: could not remove: " + failure + "\n");
        if (delayed)
            ToStandardError("cvexec: " + texts.restart_note + "\n");
    } else {
        std::string text;
        UINT icon = MB_ICONINFORMATION;
        if (report.failures.empty()) {
            text = FormatText(texts.done, session.display_name);
        } else {
            text = FormatText(texts.failed, session.display_name);
            for (std::size_t i = 0; i < report.failures.size() && i < 20; ++i)
                text += "\r\n" + report.failures[i];
            icon = MB_ICONEXCLAMATION;
        }
        ::MessageBoxA(nullptr, text.c_str(), texts.title.c_str(), MB_OK | icon);
    }
    return report.failures.empty() ? kDone : kNotAllRemoved;
}

int RunUninstaller() {
    std::vector<std::string> args = SplitCommandLine(::GetCommandLineA());
    if (!args.empty())
        args.erase(args.begin()); // the program itself
    const CommandLine line = ParseCommandLine(args);
    const UninstallTexts defaults;
    if (!line.error.empty()) {
        if (AnySilentSwitch(args))
            ToStandardError("cvexec: " + line.error + "\n" + defaults.bad_command + "\n");
        else
            ::MessageBoxA(nullptr, (line.error + "\r\n\r\n" + defaults.bad_command).c_str(), defaults.title.c_str(),
                          MB_OK | MB_ICONSTOP);
        return kBadCommand;
    }
    const bool silent = line.mode == Mode::Silent;
    const std::optional<Session> session = OpenSession(line.code);
    if (!session) {
        const std::string text = FormatText(defaults.not_installed, line.code);
        if (silent)
            ToStandardError("cvexec: " + text + "\n");
        else
            ::MessageBoxA(nullptr, text.c_str(), defaults.title.c_str(), MB_OK | MB_ICONSTOP);
        return kNotInstalled;
    }
    const UninstallTexts texts = LoadTexts(session->language ? &*session->language : nullptr);
    if (line.mode == Mode::Modify) {
        switch (AskModify(texts, session->display_name)) {
        case ModifyChoice::Repair:
            return Repair(*session, texts);
        case ModifyChoice::Cancel:
            return kDeclined;
        case ModifyChoice::Remove:
            break;
        }
    } else if (!silent &&
               ::MessageBoxA(nullptr, FormatText(texts.confirm, session->display_name).c_str(), texts.title.c_str(),
                             MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return kDeclined;
    }
    return Remove(*session, texts, silent);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return RunUninstaller();
}
