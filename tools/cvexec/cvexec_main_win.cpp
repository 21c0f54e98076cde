// cvexec.exe: removes ("/R", silently "/S") or repairs ("/M") an installed product from the
// uninstall log its installation left, on the product's skinned page where its theme copy has
// one, else in plain dialogs. A repair runs the product's setup again and waits for it. Exit codes: 0 done, 1 a bad command line, 2 the
// product is not installed (nothing touched), 3 some items could not be removed (named on
// standard error), 4 the user declined.
#include "engine/removal_target_win.h"
#include "tools/cvexec/command_line.h"
#include "tools/cvexec/removal_session_win.h"
#include "tools/cvexec/removal_window_win.h"
#include "tools/cvexec/uninstall_page.h"
#include "tools/cvexec/uninstall_page_win.h"

#include "framework/handle.h"

#include <shellapi.h>
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

TextValues NameOnly(const std::string& name) {
    TextValues v;
    v.display_name = name;
    return v;
}

TextValues ValuesOf(const Session& session) {
    TextValues v;
    v.display_name = session.display_name;
    v.code = session.code;
    v.version = session.display_version;
    v.publisher = session.publisher;
    v.install_folder = session.install_folder;
    v.windows_folder = session.windows_folder;
    return v;
}

bool IsFile(const std::string& path) {
    const DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

int Repair(const Session& session, const UninstallTexts& texts) {
    std::string folder = session.install_source;
    while (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    const std::string setup = folder + "\\setup.exe";
    if (folder.empty() || !IsFile(setup)) {
        ::MessageBoxA(nullptr, ExpandText(texts.no_setup, ValuesOf(session), folder).c_str(),
                      ExpandText(texts.title, ValuesOf(session)).c_str(), MB_OK | MB_ICONEXCLAMATION);
        return kNotInstalled;
    }
    // The setup runs from its own folder, as when it was first started; the uninstaller ends
    // with it, so that whoever started the repair knows when it is over.
    SHELLEXECUTEINFOA run{};
    run.cbSize = sizeof run;
    run.fMask = SEE_MASK_NOCLOSEPROCESS;
    run.lpVerb = "open";
    run.lpFile = setup.c_str();
    run.lpDirectory = folder.c_str();
    run.nShow = SW_SHOWNORMAL;
    if (!::ShellExecuteExA(&run))
        return kNotInstalled;
    if (run.hProcess) {
        UniqueKernelHandle process(run.hProcess);
        ::WaitForSingleObject(process.get(), INFINITE);
    }
    return kDone;
}

int ExitCodeOf(const RemovalReport& report) { return report.failures.empty() ? kDone : kNotAllRemoved; }

/// The removal on the product's skinned page: its question unless `ask` is false, its bar,
/// its result. nullopt when the page could not be made (the plain dialogs take over).
std::optional<int> RemoveOnPage(const Session& session, const UninstallTexts& texts, const RemovalPlan& plan,
                                bool ask) {
    UninstallPage page(PageFolder(session.log_folder), session.log_folder, texts, ValuesOf(session));
    if (!page.Open(ask ? PageStage::Question : PageStage::Removing))
        return std::nullopt;
    if (ask && !page.Ask())
        return kDeclined;
    RemovalTargetWin target;
    const RemovalReport report = CarryOutRemoval(
        plan, target, [&page](int position, int count, const RemovalStep&) { page.Step(position, count); });
    const int count = static_cast<int>(plan.steps.size());
    page.Step(count, count);
    page.ShowResult(report.failures);
    return ExitCodeOf(report);
}

int Remove(const Session& session, const UninstallTexts& texts, Windows windows, bool ask) {
    const RemovalPlan plan = PlanFor(session);
    const TextValues values = ValuesOf(session);
    const bool silent = windows == Windows::None;
    if (windows == Windows::Page)
        if (const std::optional<int> code = RemoveOnPage(session, texts, plan, ask))
            return *code;
    const std::string title = ExpandText(texts.title, values);
    if (!silent && ask &&
        ::MessageBoxA(nullptr, ExpandText(texts.confirm, values).c_str(), title.c_str(),
                      MB_YESNO | MB_ICONQUESTION) != IDYES)
        return kDeclined;
    RemovalTargetWin target;
    RemovalReport report;
    if (silent) {
        report = CarryOutRemoval(plan, target);
    } else {
        ProgressWindow window(texts, values);
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
        const PageState result = StateOf(report.failures.empty() ? PageStage::Done : PageStage::Failed, texts, values,
                                         report.failures);
        ::MessageBoxA(nullptr, result.text.c_str(), title.c_str(),
                      MB_OK | (report.failures.empty() ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
    }
    return ExitCodeOf(report);
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
        const std::string text = ExpandText(defaults.not_installed, NameOnly(line.code));
        if (silent)
            ToStandardError("cvexec: " + text + "\n");
        else
            ::MessageBoxA(nullptr, text.c_str(), defaults.title.c_str(), MB_OK | MB_ICONSTOP);
        return kNotInstalled;
    }
    const UninstallTexts texts = LoadTexts(session->language ? &*session->language : nullptr);
    const Windows windows =
        ChooseWindows(line.mode, IsFile(PageFolder(session->log_folder) + std::string(kPageLayoutFile)));
    if (line.mode == Mode::Modify) {
        switch (AskModify(texts, ValuesOf(*session))) {
        case ModifyChoice::Repair:
            return Repair(*session, texts);
        case ModifyChoice::Cancel:
            return kDeclined;
        case ModifyChoice::Remove:
            // Remove was the answer: no second question.
            return Remove(*session, texts, windows, false);
        }
    }
    return Remove(*session, texts, windows, true);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return RunUninstaller();
}
