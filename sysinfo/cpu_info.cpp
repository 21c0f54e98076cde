#include "sysinfo/cpu_info.h"

namespace cv {

bool ProcessorMeets(ICPUInfo& cpu, std::string_view required) {
    if (!cpu.Detect())
        return true;
    return cpu.GetName().find(required) != std::string::npos;
}

} // namespace cv
