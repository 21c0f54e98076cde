#pragma once
/// The Windows-version token and the system mask test that decides whether an item of the
/// installation script applies on the running system.

#include <cstdint>
#include <string>

namespace cv {

/// What `GetVersionExA` reports, passed in so that the token logic stays a pure function.
struct WindowsVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    /// The build number as reported; on the 9x platform its high word repeats the version,
    /// and only the low word is the build.
    std::uint32_t build = 0;
    /// True on the NT platform (VER_PLATFORM_WIN32_NT).
    bool nt_platform = false;
};

/// One of "98", "98SE", "ME", "NT4", "2000", "XP", "NET", "VIS" (every NT version from 6.0 on,
/// Windows 10 and 11 included), or "" for any other version.
/// The tests run in that order and a later match replaces an earlier one.
std::string DetectSystemToken(const WindowsVersion& version);

/// Whether an item with system mask `mask` applies under `token`: 0 and 255 apply everywhere;
/// otherwise bit 1 matches any system, 2 "98", 4 "98SE", 8 "ME", 16 "NT4", 32 "2000", 64 "XP",
/// 128 "NET", 256 "VIS"; no matching bit means the item does not apply.
bool SystemMatches(std::int32_t mask, const std::string& token);

} // namespace cv
