// Stands in for the product's program and for a readme viewer that setup opens at the finish:
// it writes one line "<current folder>|<command line>" to "launched-<process id>.log" beside
// itself, so a test sees where it was started and with what. Each run has a file of its own:
// two runs started together would overwrite each other's line in one shared file.
#include <windows.h>

#include <cstdio>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char here[MAX_PATH + 1] = {};
    char log[MAX_PATH + 32] = {};
    char current[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, here, MAX_PATH);
    if (char* slash = std::strrchr(here, '\\'))
        slash[1] = '\0';
    std::snprintf(log, sizeof log, "%slaunched-%lu.log", here, ::GetCurrentProcessId());
    ::GetCurrentDirectoryA(MAX_PATH, current);
    if (FILE* f = std::fopen(log, "wb")) {
        std::fprintf(f, "%s|%s\n", current, ::GetCommandLineA());
        std::fclose(f);
    }
    return 0;
}
