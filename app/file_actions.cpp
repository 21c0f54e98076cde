// File actions of the wizard: reading the FILEACTION section and running an action when its
// page is entered or Finish is pressed (a program, a web address or a library function).

#include "app/action_rules.h"
#include "app/main_frame.h"
#include "app/run_program.h"
#include "common/setup_state.h"
#include "app/trace.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace cv {

namespace {

/// The buffer a library function gets with the install folder in it.
constexpr std::size_t kLibraryBuffer = 255;

/// What a library function returns to abort the installation.
constexpr int kLibraryAborts = 1;

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

/// Calls `function` with (0, buffer). Authors' libraries use either calling convention, so
/// the stack pointer is saved around the call instead of trusting either to clean up.
int CallLibraryFunction(FARPROC function, char* buffer) {
#if defined(__i386__)
    int result;
    int zero = 0;
    __asm__ volatile("movl %%esp, %%esi\n\t"
                     "pushl %2\n\t"
                     "pushl %3\n\t"
                     "call *%1\n\t"
                     "movl %%esi, %%esp\n\t"
                     : "=a"(result)
                     : "r"(function), "r"(buffer), "r"(zero)
                     : "esi", "ecx", "edx", "memory", "cc");
    return result;
#else
    return reinterpret_cast<int (*)(int, char*)>(reinterpret_cast<void*>(function))(0, buffer);
#endif
}

/// Runs `function` of the library `path`; -1 when the library or the function is missing.
int RunLibraryFunction(const std::string& path, const std::string& function) {
    HMODULE library = ::LoadLibraryA(path.c_str());
    if (!library)
        return -1;
    int result = -1;
    if (FARPROC entry = ::GetProcAddress(library, function.c_str())) {
        char buffer[kLibraryBuffer] = {};
        const std::string& folder = setupState().installFolder;
        std::memcpy(buffer, folder.data(), std::min(folder.size(), kLibraryBuffer - 1));
        result = CallLibraryFunction(entry, buffer);
    }
    ::FreeLibrary(library);
    return result;
}

} // namespace

void CMainFrame::ReadFileActions() {
    SectionLookup lookup = [this](const std::string& key, std::size_t buffer) {
        return Setting("FILEACTION", key.c_str(), buffer);
    };
    auto expand = [this](const std::string& text) { return ExpandText(text); };
    auto resolve_file = [this](const std::string& text) {
        std::string file = ExpandText(text);
        if (!Contains(file, kResourceDirMarker.data()))
            return file;
        for (std::size_t at = file.find(kResourceDirMarker); at != std::string::npos;
             at = file.find(kResourceDirMarker))
            file.erase(at, kResourceDirMarker.size());
        return SupportFilePath(file, supportFilesInWorkFolder == kOn, paths.temp_folder, strings.workFolderName,
                               setupState().setupFolder);
    };
    TableCount read = ReadFileActionRows(lookup, resolve_file, expand, fileActions, fileActionCount);
    if (read.Cut())
        SendTrace("FILEACTION TOTAL " + std::to_string(read.total) + " cut to " + std::to_string(read.rows));
    if (read.rows > 0)
        setupState().workFolderCleanup = kOn;
}

void CMainFrame::RunFileAction(int index) {
    if (index < 0 || index >= fileActionCount || index >= static_cast<int>(fileActions.size()))
        return;
    FileAction& entry = fileActions[static_cast<std::size_t>(index)];
    if (entry.done == 255)
        return;
    if (entry.g == "Yes")
        entry.done = 255;
    if (!OperatingSystemAdmitted(entry.systems, windowsVersionName))
        return;
    // Copied: the condition's actions may open other pages while this one goes on.
    const FileAction action = entry;
    // A web address is opened before the condition is looked at.
    const bool web_address = Contains(action.file, "http://");
    if (web_address)
        OpenWithShell(action.file);
    if (!CheckConditionByName(action.condition))
        return;
    // An address that names a program or library ("http://host/tool.exe") has been opened
    // already; starting it again would open it a second time.
    if (web_address)
        return;
    if (Contains(action.file, ".exe")) {
        if (action.h == "Yes")
            StartProgramAndWait(action.file, action.argument);
        else
            OpenWithShell(action.file, action.argument);
    }
    if (Contains(action.file, ".dll") && RunLibraryFunction(action.file, action.argument) == kLibraryAborts)
        AbortToCompletionPage();
}

} // namespace cv
