// Stands in for the maintenance program that removes an installed product: it appends its
// command line to a file beside itself (its own path with ".log" for ".exe"), tells the trace
// monitor when it begins and when it ends, and takes two seconds in between, so a test can
// see both what setup passed and that setup waited for it.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void Trace(const char* text) {
    HWND monitor = ::FindWindowA("AmbrelEvent", nullptr);
    if (!monitor)
        return;
    COPYDATASTRUCT data{};
    data.cbData = static_cast<DWORD>(std::strlen(text));
    data.lpData = const_cast<char*>(text);
    DWORD_PTR reply = 0;
    ::SendMessageTimeoutA(monitor, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_BLOCK, 2000,
                          &reply);
}

std::string LogPath() {
    char path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string log(path, n < MAX_PATH ? n : 0);
    std::size_t dot = log.rfind('.');
    return (dot == std::string::npos ? log : log.substr(0, dot)) + ".log";
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Trace("REMOVAL STUB BEGINS");
    // The whole command line as the process got it: setup passes no program name in it.
    if (FILE* f = std::fopen(LogPath().c_str(), "ab")) {
        std::fprintf(f, "[%s]\n", ::GetCommandLineA());
        std::fclose(f);
    }
    ::Sleep(2000);
    Trace("REMOVAL STUB ENDS");
    return 0;
}
