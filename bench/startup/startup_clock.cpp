// The start-up benchmark's clock: starts a program and measures the time until it reports,
// through a trace line, that its first window is visible.
//
//   startup_clock.exe MARKER OUT_FILE WORK_FOLDER PROGRAM
//
// It is the trace monitor (a window of class "AmbrelEvent" taking WM_COPYDATA texts, as the
// setup sends them when such a window exists). It reads the clock, starts PROGRAM in
// WORK_FOLDER and waits for a line ending in "-MARKER*" (the setup's line format); then it
// writes the milliseconds between the program's start and that line to OUT_FILE, then every
// line received with its milliseconds (where the time went), ends the program and exits. Exit code 0 when measured, 1 when the program ended or 60 seconds passed
// without the marker, 2 for a wrong command line.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

LARGE_INTEGER g_start{}, g_frequency{};
std::string g_suffix;
double g_elapsed = -1;
std::string g_lines; // "<ms> <text>" per line received

double MillisecondsSinceStart() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - g_start.QuadPart) /
           static_cast<double>(g_frequency.QuadPart);
}

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

LRESULT CALLBACK MonitorProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COPYDATA) {
        const double at = MillisecondsSinceStart();
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        const std::string text(static_cast<const char*>(data->lpData), data->cbData);
        char at_text[32];
        std::snprintf(at_text, sizeof at_text, "%.3f ", at);
        g_lines += at_text + text + "\n";
        if (g_elapsed < 0 && EndsWith(text, g_suffix)) {
            g_elapsed = at;
            ::PostQuitMessage(0);
        }
        return TRUE;
    }
    return ::DefWindowProcA(w, msg, wp, lp);
}

// The command line's words; quotes group, as the bench passes paths with spaces in quotes.
std::vector<std::string> Words(const char* line) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, any = false;
    for (const char* p = line; *p; ++p) {
        if (*p == '"') {
            quoted = !quoted;
            any = true;
        } else if ((*p == ' ' || *p == '\t') && !quoted) {
            if (any)
                words.push_back(word);
            word.clear();
            any = false;
        } else {
            word += *p;
            any = true;
        }
    }
    if (any)
        words.push_back(word);
    return words;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
    const std::vector<std::string> args = Words(command_line ? command_line : "");
    if (args.size() != 4)
        return 2;
    g_suffix = "-" + args[0] + "*";
    ::QueryPerformanceFrequency(&g_frequency);

    WNDCLASSA wc{};
    wc.lpfnWndProc = MonitorProc;
    wc.hInstance = instance;
    wc.lpszClassName = "AmbrelEvent";
    if (!::RegisterClassA(&wc))
        return 1;
    HWND monitor = ::CreateWindowA("AmbrelEvent", "startup clock", 0, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!monitor)
        return 1;

    std::string command = "\"" + args[3] + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ::QueryPerformanceCounter(&g_start);
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, args[2].c_str(),
                          &startup, &process))
        return 1;
    ::CloseHandle(process.hThread);

    // Messages until the marker arrives; the program ending first or a minute passing ends
    // the wait unmeasured.
    const DWORD deadline = ::GetTickCount() + 60000;
    bool waiting = true;
    while (waiting && g_elapsed < 0) {
        const DWORD now = ::GetTickCount();
        if (static_cast<LONG>(deadline - now) <= 0)
            break;
        const DWORD wait = ::MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, deadline - now, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0)
            waiting = false; // ended; a last message may still carry the marker
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                break;
            ::DispatchMessageA(&msg);
        }
    }
    ::TerminateProcess(process.hProcess, 0);
    ::WaitForSingleObject(process.hProcess, 10000);
    ::CloseHandle(process.hProcess);
    ::DestroyWindow(monitor);
    if (g_elapsed < 0)
        return 1;
    FILE* out = std::fopen(args[1].c_str(), "w");
    if (!out)
        return 1;
    std::fprintf(out, "%.3f\n%s", g_elapsed, g_lines.c_str());
    std::fclose(out);
    return 0;
}
