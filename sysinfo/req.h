#pragma once
/// `CReq`: the operating-system, memory, screen and colour checks of the requirement check.
/// It is a window object of the main frame that is never created on screen and keeps no
/// state; each check measures the machine now and answers 1 (pass) or 0 (fail). The caller
/// decides which checks a product asks for (the no-check values are the caller's).

#include "framework/wnd.h"
#include "sysinfo/os_version.h"

namespace cv {

class CReq : public CWnd {
  public:
    /// The operating-system check against the allowed-systems mask (bit 2^n for group n,
    /// see os_version.h). Each group passed is traced through `trace` as "%i %i".
    int CheckOperatingSystem(int mask, const TraceSink& trace = {}) const;

    /// The memory check: total physical memory in megabytes plus one against `required_mb`.
    int CheckMemory(int required_mb) const;

    /// The screen check against a requirement such as "1024x768", "768" or "Any resolution".
    int CheckScreen(const char* resolution) const;

    /// The colour check against "256 colors", "65.636 colors", "24bit colors" or
    /// "32bit colors"; any other text passes.
    int CheckColours(const char* colours) const;
};

} // namespace cv
