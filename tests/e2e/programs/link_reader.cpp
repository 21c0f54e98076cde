// Reads a shell link back through the system's IShellLinkA, as the shell would, and writes
// what it holds to a text file, one "name=value" line each: target, arguments, folder,
// description, show, icon, index; and "stored_show", the show command as the file's header
// holds it (Wine's loader answers GetShowCmd with 1 whatever the file says).
// Usage: link_reader <file.lnk> <output.txt>
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    if (FAILED(::CoInitialize(nullptr)))
        return 3;
    int status = 1;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                     reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t wide[MAX_PATH];
            ::MultiByteToWideChar(CP_ACP, 0, argv[1], -1, wide, MAX_PATH);
            if (SUCCEEDED(file->Load(wide, STGM_READ))) {
                char target[MAX_PATH] = "", args[1024] = "", folder[MAX_PATH] = "", description[1024] = "",
                     icon[MAX_PATH] = "";
                int show = 0, index = 0;
                link->GetPath(target, MAX_PATH, nullptr, 0);
                link->GetArguments(args, sizeof args);
                link->GetWorkingDirectory(folder, MAX_PATH);
                link->GetDescription(description, sizeof description);
                link->GetShowCmd(&show);
                link->GetIconLocation(icon, MAX_PATH, &index);
                // The header's show command: a little-endian DWORD at offset 0x3C.
                unsigned char header[0x40] = {};
                if (FILE* in = std::fopen(argv[1], "rb")) {
                    if (std::fread(header, 1, sizeof header, in) != sizeof header)
                        header[0x3C] = 0;
                    std::fclose(in);
                }
                const unsigned stored = header[0x3C] | header[0x3D] << 8 | header[0x3E] << 16 |
                                        static_cast<unsigned>(header[0x3F]) << 24;
                if (FILE* out = std::fopen(argv[2], "wb")) {
                    std::fprintf(out,
                                 "target=%s\nargs=%s\nfolder=%s\ndescription=%s\nshow=%d\nstored_show=%u\nicon=%s\n"
                                 "index=%d\n",
                                 target, args, folder, description, show, stored, icon, index);
                    std::fclose(out);
                    status = 0;
                }
            }
            file->Release();
        }
        link->Release();
    }
    ::CoUninitialize();
    return status;
}
