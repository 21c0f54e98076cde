#include "app/run_program.h"

#include "framework/handle.h"
#include "framework/thread.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

namespace cv {

namespace {

/// Starts a process as the run starts every program: handles inherited, normal priority,
/// detached. `program` may be null (the command line's first word names it). The process
/// handle, or none when it could not be started.
UniqueKernelHandle StartProcess(const char* program, const std::string& command_line) {
    // CreateProcess may write into the command line, so it gets a private copy.
    std::vector<char> command(command_line.begin(), command_line.end());
    command.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(program, command_line.empty() ? nullptr : command.data(), nullptr, nullptr, TRUE,
                          NORMAL_PRIORITY_CLASS | DETACHED_PROCESS, nullptr, nullptr, &startup, &info))
        return {};
    UniqueKernelHandle thread(info.hThread);
    return UniqueKernelHandle(info.hProcess);
}

} // namespace

bool OpenWithShell(const std::string& file, const std::string& parameters) {
    auto result = reinterpret_cast<INT_PTR>(::ShellExecuteA(
        nullptr, "open", file.c_str(), parameters.empty() ? nullptr : parameters.c_str(), nullptr,
        SW_SHOWNORMAL));
    // ShellExecute reports success with any value above 32.
    return result > 32;
}

bool StartProgramAndWait(const std::string& program, const std::string& arguments) {
    if (program.rfind("http", 0) == 0)
        return OpenWithShell(program);
    UniqueKernelHandle process = StartProcess(program.c_str(), arguments);
    if (!process)
        return false;
    ::WaitForSingleObject(process.get(), INFINITE);
    return true;
}

bool RunCommandAndWait(const std::string& command_line) {
    if (command_line.empty())
        return false;
    UniqueKernelHandle process = StartProcess(nullptr, command_line);
    if (!process)
        return false;
    WaitDispatchingMessages(process.get());
    return true;
}

} // namespace cv
