#!/usr/bin/env python3
"""Checks the source tree against its two structural rules and names every breach.

Layers: a file may include headers of its own layer and the layers below it, never above.
    0  common/ crypto/ registry/ sysinfo/ framework/ resources/   (portable cores, Win32 layer)
    1  engine/ download/ billboard/ archive/
    2  pages/
    3  app/
The same holds for CMake: a library may link only libraries of its layer and below.

Names: outside the Windows-only folders (framework/, resources/, app/) a source file that
uses Windows (a Windows system header, a framework/ header or another `_win` header) ends
its name in `_win`. app/'s portable files are the sources of cv_app_core, which the host
build compiles without Windows headers.

Usage: check_layers.py SOURCE_DIR    (exit status 1 when a rule is broken)
"""

import os
import re
import sys

LAYERS = {
    "common": 0, "crypto": 0, "registry": 0, "sysinfo": 0, "framework": 0, "resources": 0,
    "engine": 1, "download": 1, "billboard": 1, "archive": 1,
    "pages": 2,
    "app": 3,
}
LAYER_NAMES = {0: "the cores", 1: "the subsystems", 2: "the pages", 3: "the application"}

WINDOWS_ONLY = {"framework", "resources", "app"}

WINDOWS_HEADERS = {
    "windows.h", "windowsx.h", "winbase.h", "winuser.h", "wingdi.h", "winreg.h", "winnt.h",
    "commctrl.h", "commdlg.h", "richedit.h", "shellapi.h", "shlobj.h", "shlwapi.h", "objbase.h",
    "ole2.h", "olectl.h", "ocidl.h", "oleauto.h", "wininet.h", "winsock2.h", "ws2tcpip.h",
    "mmsystem.h", "tlhelp32.h", "psapi.h", "winsvc.h", "intrin.h", "process.h",
}

# Files that use Windows under a portable name, each waiting for its rename. An entry whose
# file is gone or no longer uses Windows is itself reported, so the list only shrinks.
NAMING_EXCEPTIONS = {
    "registry/registro.h", "registry/registro.cpp", "registry/reg_key.h",
    "sysinfo/cpu_assembly.cpp", "sysinfo/req.h", "sysinfo/req.cpp",
}

SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".c", ".inl")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
ADD_LIBRARY = re.compile(r"add_library\(\s*([A-Za-z0-9_]+)")
LINK = re.compile(r"target_link_libraries\(\s*([A-Za-z0-9_]+)([^)]*)\)", re.S)


def source_files(root, folder):
    for base, _dirs, files in os.walk(os.path.join(root, folder)):
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                path = os.path.join(base, name)
                yield os.path.relpath(path, root).replace(os.sep, "/")


def includes_of(root, rel):
    with open(os.path.join(root, rel), encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE.match(line)
            if m:
                yield number, m.group(1), m.group(2)


def stem(rel):
    return os.path.splitext(os.path.basename(rel))[0]


def uses_windows(kind, header):
    if kind == "<":
        return header.lower() in WINDOWS_HEADERS
    top = header.split("/", 1)[0]
    return top == "framework" or stem(header).endswith("_win")


def check_includes(root):
    problems = []
    windows_users = set()
    local_includes = {}
    for folder, rank in sorted(LAYERS.items()):
        for rel in source_files(root, folder):
            local_includes[rel] = set()
            for number, kind, header in includes_of(root, rel):
                if uses_windows(kind, header):
                    windows_users.add(rel)
                if kind != '"':
                    continue
                local_includes[rel].add(header)
                top = header.split("/", 1)[0]
                if top in LAYERS and LAYERS[top] > rank:
                    problems.append(
                        f'{rel}:{number}: includes "{header}": {folder}/ ({LAYER_NAMES[rank]}) may not '
                        f"include {top}/ ({LAYER_NAMES[LAYERS[top]]}, a layer above it)")
    # Including a header that uses Windows is using Windows.
    grown = True
    while grown:
        grown = False
        for rel, headers in local_includes.items():
            if rel not in windows_users and headers & windows_users:
                windows_users.add(rel)
                grown = True
    for rel in sorted(windows_users):
        folder = rel.split("/", 1)[0]
        if folder in WINDOWS_ONLY or stem(rel).endswith("_win") or rel in NAMING_EXCEPTIONS:
            continue
        problems.append(f"{rel}: uses Windows but its name does not end in _win "
                        f"and {folder}/ is not a Windows-only folder")
    for rel in sorted(NAMING_EXCEPTIONS):
        if not os.path.isdir(os.path.join(root, rel.split("/", 1)[0])) or rel in windows_users:
            continue
        problems.append(f"{rel}: listed as a Windows file awaiting its rename, but it is gone or "
                        f"no longer uses Windows: drop it from the list")
    return problems


def cmake_files(root, folder):
    base = os.path.join(root, folder)
    if not os.path.isdir(base):
        return
    for name in sorted(os.listdir(base)):
        if name == "CMakeLists.txt" or name.endswith(".cmake"):
            yield f"{folder}/{name}"


def strip_comments(text):
    return "\n".join(line.split("#", 1)[0] for line in text.splitlines())


def check_links(root):
    owner = {}
    texts = {}
    for folder in LAYERS:
        for rel in cmake_files(root, folder):
            with open(os.path.join(root, rel), encoding="utf-8") as f:
                texts[rel] = strip_comments(f.read())
            for library in ADD_LIBRARY.findall(texts[rel]):
                owner[library] = folder
    problems = []
    for rel, text in sorted(texts.items()):
        folder = rel.split("/", 1)[0]
        for target, rest in LINK.findall(text):
            for library in rest.split():
                if library in owner and LAYERS[owner[library]] > LAYERS[folder]:
                    problems.append(f"{rel}: {target} links {library} of {owner[library]}/: "
                                    f"{folder}/ may not depend on a layer above it")
    return problems


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    root = argv[1]
    problems = check_includes(root) + check_links(root)
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} breach(es) of the layering and naming rules", file=sys.stderr)
        return 1
    print("layers and names: no breach")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
