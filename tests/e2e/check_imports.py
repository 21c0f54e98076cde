#!/usr/bin/env python3
"""Reads the import table of a PE file (32-bit, or 64-bit PE32+) and fails when it names a DLL that is not part
of Windows itself (a compiler runtime such as libstdc++-6.dll or libwinpthread-1.dll)."""
import struct
import sys

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
    "oleaut32.dll", "comctl32.dll", "comdlg32.dll", "ws2_32.dll", "wininet.dll", "winmm.dll",
    "msvcrt.dll", "shlwapi.dll", "version.dll", "riched32.dll", "msimg32.dll", "rpcrt4.dll",
    "wsock32.dll", "mpr.dll", "imm32.dll", "uxtheme.dll", "userenv.dll", "netapi32.dll",
}


def imports(path):
    data = open(path, "rb").read()
    if data[:2] != b"MZ":
        raise ValueError(f"{path}: not a PE file (no MZ header)")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError(f"{path}: no PE signature at offset {pe:#x}")
    sections_count = struct.unpack_from("<H", data, pe + 6)[0]
    opt_size = struct.unpack_from("<H", data, pe + 20)[0]
    opt = pe + 24
    # The data directories follow the optional header's fixed part, which PE32+ widens by
    # 16 bytes (64-bit image base and stack and heap sizes, no base of data).
    magic = struct.unpack_from("<H", data, opt)[0]
    if magic == 0x10B:
        directories = opt + 96
    elif magic == 0x20B:
        directories = opt + 112
    else:
        raise ValueError(f"{path}: optional header magic {magic:#x} is neither PE32 nor PE32+")
    import_rva = struct.unpack_from("<I", data, directories + 8)[0]
    sections = []
    for i in range(sections_count):
        s = opt + opt_size + 40 * i
        vsize, va, rawsize, raw = struct.unpack_from("<IIII", data, s + 8)
        sections.append((va, max(vsize, rawsize), raw))

    def offset(rva):
        for va, size, raw in sections:
            if va <= rva < va + size:
                return rva - va + raw
        raise ValueError(f"{path}: RVA {rva:#x} is outside every section")

    names, pos = [], offset(import_rva)
    while True:
        name_rva = struct.unpack_from("<I", data, pos + 12)[0]
        if name_rva == 0:
            break
        start = offset(name_rva)
        names.append(data[start:data.index(b"\0", start)].decode("ascii"))
        pos += 20
    return names


def main():
    names = imports(sys.argv[1])
    print("imports:", ", ".join(names))
    foreign = [n for n in names if n.lower() not in SYSTEM_DLLS]
    if not names:
        print("no imports found; the reader is broken")
        return 1
    if foreign:
        print("not system DLLs:", ", ".join(foreign))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
