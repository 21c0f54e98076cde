#include "sysinfo/system_probes.h"

#include "framework/handle.h"

#include <windows.h>

namespace cv {

namespace {

OsVersionRecord FromInfo(const OSVERSIONINFOA& info) {
    OsVersionRecord v;
    v.major = info.dwMajorVersion;
    v.minor = info.dwMinorVersion;
    v.build = info.dwBuildNumber;
    v.platform = info.dwPlatformId;
    return v;
}

using GlobalMemoryStatusExFn = BOOL(WINAPI*)(LPMEMORYSTATUSEX);

} // namespace

OsVersionRecord ReadSystemVersion() {
    OSVERSIONINFOA basic{};
    basic.dwOSVersionInfoSize = sizeof basic;
    if (!::GetVersionExA(&basic))
        return {};
    OsVersionRecord v = FromInfo(basic);
    if (basic.dwPlatformId == VER_PLATFORM_WIN32_NT && basic.dwMajorVersion > 4) {
        OSVERSIONINFOEXA extended{};
        extended.dwOSVersionInfoSize = sizeof extended;
        if (::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&extended)))
            v = FromInfo(*reinterpret_cast<OSVERSIONINFOA*>(&extended));
    }
    return v;
}

const OsVersionRecord& SystemVersion() {
    static const OsVersionRecord record = ReadSystemVersion();
    return record;
}

std::uint64_t TotalPhysicalMemory() {
    // Looked up at run time: the 9x family has only the 32-bit call, whose count wraps (or
    // stops at 2 GB) on larger machines.
    const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    const auto extended = kernel ? reinterpret_cast<GlobalMemoryStatusExFn>(reinterpret_cast<void*>(
                                       ::GetProcAddress(kernel, "GlobalMemoryStatusEx")))
                                 : nullptr;
    if (extended) {
        MEMORYSTATUSEX status{};
        status.dwLength = sizeof status;
        if (extended(&status))
            return status.ullTotalPhys;
    }
    MEMORYSTATUS status{};
    status.dwLength = sizeof status;
    ::GlobalMemoryStatus(&status);
    return status.dwTotalPhys;
}

ScreenSize PrimaryScreenSize() {
    return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

int ScreenBitsPerPixel() {
    ClientDC screen(nullptr);
    if (!screen.dc())
        return 0;
    return ::GetDeviceCaps(screen.dc(), BITSPIXEL);
}

} // namespace cv
