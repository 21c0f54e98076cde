#include "app/run_program.h"

#include "framework/handle.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

namespace cv {

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

    // CreateProcess may write into the command line, so it gets a private copy.
    std::vector<char> command_line(arguments.begin(), arguments.end());
    command_line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(program.c_str(), arguments.empty() ? nullptr : command_line.data(),
                          nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS | DETACHED_PROCESS,
                          nullptr, nullptr, &startup, &info))
        return false;
    UniqueKernelHandle process(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    ::WaitForSingleObject(process.get(), INFINITE);
    return true;
}

} // namespace cv
