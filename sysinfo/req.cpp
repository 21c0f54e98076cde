#include "sysinfo/req.h"

#include "sysinfo/requirements.h"
#include "sysinfo/system_probes.h"

namespace cv {

int CReq::CheckOperatingSystem(int mask, const TraceSink& trace) const {
    return CheckAllowedSystems(static_cast<std::uint32_t>(mask), SystemVersion(), trace) ? 1 : 0;
}

int CReq::CheckMemory(int required_mb) const {
    return MemoryMeets(TotalPhysicalMemory(), required_mb) ? 1 : 0;
}

int CReq::CheckScreen(const char* resolution) const {
    const ScreenSize screen = PrimaryScreenSize();
    return ScreenMeets(resolution ? resolution : "", screen.width, screen.height) ? 1 : 0;
}

int CReq::CheckColours(const char* colours) const {
    return ColoursMeet(colours ? colours : "", ScreenBitsPerPixel()) ? 1 : 0;
}

} // namespace cv
