#pragma once
/// The measurements behind the requirement check, read from Windows. Each is one call; the
/// comparisons are in requirements.h and os_version.h.

#include "sysinfo/os_version.h"

#include <cstdint>

namespace cv {

/// The process-wide version record, read once on first use (thread-safe). It is read with
/// the basic version structure; on the NT platform from version 5 on it is read again with
/// the extended one.
const OsVersionRecord& SystemVersion();

/// Reads the version record now (what `SystemVersion` holds after its first use).
OsVersionRecord ReadSystemVersion();

/// Total physical memory in bytes, as a 64-bit count (GlobalMemoryStatusEx). On a system
/// without that call (the 9x family) the 32-bit GlobalMemoryStatus is used.
std::uint64_t TotalPhysicalMemory();

/// Width and height of the primary screen in pixels.
struct ScreenSize {
    int width = 0;
    int height = 0;
};
ScreenSize PrimaryScreenSize();

/// The screen's current bits per pixel.
int ScreenBitsPerPixel();

} // namespace cv
