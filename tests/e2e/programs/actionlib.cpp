// Stands in for an author's library that a file action calls with (0, install folder).
// "NoteFolder" (stdcall) writes the folder it was given to "actionlib.log" in the current
// directory and lets setup go on; "AbortSetup" (cdecl) answers 1, which aborts the setup.
#include <windows.h>

#include <cstdio>

extern "C" __declspec(dllexport) int __stdcall NoteFolder(int zero, char* folder) {
    if (FILE* f = std::fopen("actionlib.log", "ab")) {
        std::fprintf(f, "%d|%s\n", zero, folder ? folder : "(null)");
        std::fclose(f);
    }
    return 0;
}

extern "C" __declspec(dllexport) int AbortSetup(int, char*) { return 1; }
