#pragma once
/// The short name the setup gives the running Windows version, used by the requirement check
/// and by file actions that run on some versions only.

#include "sysinfo/os_version.h"

#include <string>

namespace cv {

/// "98" (4.10 before build 2183), "98SE" (4.10 from build 2183), "ME" (4.90), "NT4" (4.0),
/// "2000" (5.0), and on the NT platform "XP" (5.1), "NET" (5.2), "VIS" (any 6.x); empty for
/// every other version. Only the low 16 bits of the build number count.
std::string WindowsVersionName(const OsVersionRecord& v);

} // namespace cv
