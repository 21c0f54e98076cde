// Stands in for a program that a file action starts: after a second's work it appends its
// whole command line as one line to "recorder.log" in its current directory (setup's folder,
// which started processes inherit), so a test can tell whether setup waited for it and how
// often it ran.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ::Sleep(1000);
    if (FILE* f = std::fopen("recorder.log", "ab")) {
        std::fprintf(f, "%s\n", ::GetCommandLineA());
        std::fclose(f);
    }
    return 0;
}
