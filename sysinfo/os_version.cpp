#include "sysinfo/os_version.h"

#include <cstdio>

namespace cv {

namespace {

int Classify9x(const OsVersionRecord& v) {
    const std::uint32_t build = BuildNumber(v);
    if (v.major != 4)
        return 0;
    if (v.minor < 10) {
        if (build == 950)
            return 1;
        if (build >= 951 && build <= 1080)
            return 2;
        if (build > 1080)
            return 3;
        return 0;
    }
    if (v.minor == 10) {
        if (build == 1998)
            return 4;
        if (build >= 1999 && build <= 2182)
            return 5;
        if (build > 2182)
            return 6;
        return 0;
    }
    return v.minor == 90 ? 7 : 0;
}

int ClassifyNT(const OsVersionRecord& v) {
    if (v.major == 3 && v.minor == 51)
        return 101;
    if (v.major == 4 && v.minor == 0)
        return 102;
    if (v.major == 5 && v.minor <= 2)
        return 103 + static_cast<int>(v.minor);
    if (v.major == 6 && v.minor > 0)
        return 202;
    return 0;
}

} // namespace

int ClassifyOsVersion(const OsVersionRecord& v) {
    switch (v.platform) {
    case kPlatformWindows9x:
        return Classify9x(v);
    case kPlatformNT:
        return ClassifyNT(v);
    case kPlatformCE:
        return 201;
    default:
        return 0;
    }
}

bool SystemGroupCovers(std::uint32_t bit, const OsVersionRecord& v) {
    const std::uint32_t build = BuildNumber(v);
    const bool nt = v.platform == kPlatformNT;
    switch (bit) {
    case 1:
        return v.major == 4 && v.minor == 10 && build <= 2183;
    case 2:
        return v.major == 4 && v.minor == 10 && build >= 2183;
    case 4:
        return v.major == 4 && v.minor == 90;
    case 8: // 95 or NT 4.0
        return v.major == 4 && v.minor == 0 && (nt || v.platform == kPlatformWindows9x);
    case 16:
        return v.major == 5 && v.minor == 0;
    case 32:
        return ClassifyOsVersion(v) == 104; // NT 5.1
    case 64:
        return nt && v.major == 5 && v.minor == 2;
    case 128:
        return nt && v.major == 6;
    default:
        return false; // 256 and anything else stand for no system
    }
}

bool CheckAllowedSystems(std::uint32_t mask, const OsVersionRecord& v, const TraceSink& trace) {
    for (std::uint32_t bit = 256; bit >= 1; bit /= 2) {
        const bool set = (mask & bit) != 0;
        if (!set && SystemGroupCovers(bit, v))
            return false;
        if (trace) {
            char text[32];
            std::snprintf(text, sizeof text, "%u %d", bit, set ? 1 : 0);
            trace(text);
        }
    }
    return true;
}

} // namespace cv
