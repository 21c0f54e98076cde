#pragma once
/// `CPUAssembly`: the `ICPUInfo` that asks the processor itself, with its identification
/// instruction (cpuid) and its time-stamp counter, timed against the performance counter.

#include "sysinfo/cpu_identity.h"
#include "sysinfo/cpu_info.h"

namespace cv {

class CPUAssembly : public ICPUInfo {
  public:
    CPUAssembly() = default;

    bool Detect() override;
    std::uint64_t MeasureClock() override;
    std::uint64_t GetClockValue() const override { return cycles_per_second_ / 1048576; }
    std::string GetName() const override { return identity_.name; }
    std::string GetVendor() const override { return identity_.vendor; }
    std::uint16_t GetFamily() const override { return identity_.family; }
    std::uint16_t GetModel() const override { return identity_.model; }
    std::uint16_t GetStepping() const override { return identity_.stepping; }
    bool HasMMX() const override { return identity_.features & kCpuMMX; }
    bool HasSSE() const override { return identity_.features & kCpuSSE; }
    bool HasSSE2() const override { return identity_.features & kCpuSSE2; }
    bool Has3DNow() const override { return identity_.features & kCpu3DNow; }

    /// The decoded record of the last successful `Detect` (all zero before).
    const CpuIdentity& Identity() const { return identity_; }
    /// The cycles per second measured by the last successful `Detect`.
    std::uint64_t CyclesPerSecond() const { return cycles_per_second_; }

  private:
    CpuIdentity identity_{};
    std::uint64_t cycles_per_second_ = 0;
};

/// Reads the identification leaves; false when the processor has no identification
/// instruction. Leaves the processor does not offer read as zero.
bool QueryCpuidLeaves(CpuidLeaves& out);

} // namespace cv
