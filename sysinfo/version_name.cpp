#include "sysinfo/version_name.h"

namespace cv {

std::string WindowsVersionName(const OsVersionRecord& v) {
    const bool nt = v.platform == kPlatformNT;
    if (v.major == 4) {
        switch (v.minor) {
        case 10:
            return BuildNumber(v) < 2183 ? "98" : "98SE";
        case 90:
            return "ME";
        case 0:
            return "NT4";
        default:
            return {};
        }
    }
    if (v.major == 5) {
        if (v.minor == 0)
            return "2000";
        if (nt && v.minor == 1)
            return "XP";
        if (nt && v.minor == 2)
            return "NET";
        return {};
    }
    if (nt && v.major == 6)
        return "VIS";
    return {};
}

} // namespace cv
