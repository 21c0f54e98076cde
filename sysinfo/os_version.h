#pragma once
/// The operating-system version record and the allowed-systems check of the requirements.
/// Everything here is a pure function of a record, so the rules can be tested for every
/// Windows version without running on it; the record itself is read by `SystemVersion()`
/// (system_probes.h).

#include <cstdint>
#include <functional>
#include <string>

namespace cv {

/// Platform identifiers as `GetVersionEx` reports them.
enum : std::uint32_t {
    kPlatformWin32s = 0,
    kPlatformWindows9x = 1,
    kPlatformNT = 2,
    kPlatformCE = 3,
};

/// The version information of the running system.
struct OsVersionRecord {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    /// The build number as reported; on the 9x platform its high word repeats the version,
    /// so every rule here looks at the low 16 bits only.
    std::uint32_t build = 0;
    std::uint32_t platform = 0;
};

/// The low 16 bits of the build number, the part every rule compares.
inline std::uint32_t BuildNumber(const OsVersionRecord& v) {
    return v.build & 0xFFFF;
}

/// The classification code of a version: 1 to 7 for the 9x releases (4.0 build 950, 951 to
/// 1080, above 1080; 4.10 build 1998, 1999 to 2182, above 2182; 4.90), 101 to 105 for NT 3.51,
/// 4.0, 5.0, 5.1, 5.2, 202 for NT 6.x with a minor version above 0, 201 for CE, 0 otherwise.
int ClassifyOsVersion(const OsVersionRecord& v);

/// The allowed-systems mask: bit 2^n set when requirement key "os" + n is "Yes".
/// 255 (all eight groups) means the check is not made at all.
inline constexpr std::uint32_t kAllSystemGroups = 255;

/// Whether group `bit` (1, 2, 4, ... 128; 256 stands for no system) covers the running
/// system: 1 = 4.10 up to build 2183, 2 = 4.10 from build 2183, 4 = 4.90, 8 = 4.0, 16 = 5.0,
/// 32 = NT 5.1, 64 = NT 5.2, 128 = NT 6.x. Build 2183 is covered by both 1 and 2.
bool SystemGroupCovers(std::uint32_t bit, const OsVersionRecord& v);

/// Receives one trace text; may be empty.
using TraceSink = std::function<void(const std::string&)>;

/// The operating-system check: fails as soon as a group that covers the running system is
/// missing from `mask`, going from bit 256 down to bit 1; every group passed is traced as
/// "%i %i" (the bit value, then 1 or 0 for set or not). A system that no group covers passes.
bool CheckAllowedSystems(std::uint32_t mask, const OsVersionRecord& v, const TraceSink& trace = {});

} // namespace cv
