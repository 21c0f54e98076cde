// Holds a file open with no sharing, as a running program holds its own files: opens (or
// creates) argv[1], then writes argv[2] to say so, and keeps the file until argv[3] exists.
// Usage: holder <file> <ready-marker> <release-marker>
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    HANDLE held = ::CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE)
        return 1;
    if (FILE* f = std::fopen(argv[2], "wb"))
        std::fclose(f);
    // Ten minutes at most, so that a test that fails half-way leaves no program behind.
    for (int i = 0; i < 6000 && ::GetFileAttributesA(argv[3]) == INVALID_FILE_ATTRIBUTES; ++i)
        ::Sleep(100);
    ::CloseHandle(held);
    return 0;
}
