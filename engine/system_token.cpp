#include "engine/system_token.h"

namespace cv {

std::string DetectSystemToken(const WindowsVersion& v) {
    std::string token;
    // Windows 98 (build 1998) and 98 SE (build 2222) differ only in the build; the 9x
    // platform keeps the version in the high word of the reported number.
    std::uint32_t build = v.nt_platform ? v.build : (v.build & 0xFFFF);
    if (v.major == 4 && v.minor == 10)
        token = build < 2183 ? "98" : "98SE";
    if (v.minor == 90)
        token = "ME";
    if (v.major == 4 && v.minor == 0)
        token = "NT4";
    if (v.major == 5 && v.minor == 0)
        token = "2000";
    if (v.nt_platform && v.major == 5 && v.minor == 1)
        token = "XP";
    if (v.nt_platform && v.major == 5 && v.minor == 2)
        token = "NET";
    // Windows 7 to 8.1 report 6.x; Windows 10 and 11 report 10.0 to a program that declares
    // them and 6.2 to one that does not. Every NT version from 6 on is "VIS", so items made
    // for Vista and later install there whichever number the system gives.
    if (v.nt_platform && v.major >= 6)
        token = "VIS";
    return token;
}

bool SystemMatches(std::int32_t mask, const std::string& token) {
    if (mask == 0 || mask == 255)
        return true;
    struct Bit {
        std::int32_t bit;
        const char* token;
    };
    // Highest bit first; bit 1 stands for any system.
    static constexpr Bit kBits[] = {{256, "VIS"}, {128, "NET"}, {64, "XP"},  {32, "2000"},
                                    {16, "NT4"},  {8, "ME"},    {4, "98SE"}, {2, "98"},
                                    {1, nullptr}};
    for (const Bit& b : kBits) {
        if (!(mask & b.bit))
            continue;
        if (!b.token || token == b.token)
            return true;
    }
    return false;
}

} // namespace cv
