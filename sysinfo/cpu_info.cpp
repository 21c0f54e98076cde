#include "sysinfo/cpu_info.h"

namespace cv {

bool ProcessorNameMeets(std::string_view name, std::string_view required) {
    return name.find(required) != std::string_view::npos;
}

bool ProcessorMeets(ICPUInfo& cpu, std::string_view required) {
    if (!cpu.Detect())
        return true;
    return ProcessorNameMeets(cpu.GetName(), required);
}

} // namespace cv
