#pragma once
/// `ICPUInfo`: what the requirement check asks of the processor, and the processor check
/// itself. `CPUAssembly` (cpu_assembly.h) is the implementation that queries the processor.

#include <cstdint>
#include <string>
#include <string_view>

namespace cv {

class ICPUInfo {
  public:
    /// Fills the record: identification, features, clock and name. False when the processor
    /// cannot be queried (it has no identification instruction).
    virtual bool Detect() = 0;
    /// Processor clock cycles counted during one second (busy-waits for that second).
    virtual std::uint64_t MeasureClock() = 0;
    /// The measured cycles per second divided by 1048576.
    virtual std::uint64_t GetClockValue() const = 0;
    /// The name from the processor name table, "unknown" for an unlisted processor.
    virtual std::string GetName() const = 0;
    /// The twelve-character vendor text, such as "GenuineIntel".
    virtual std::string GetVendor() const = 0;
    virtual std::uint16_t GetFamily() const = 0;
    virtual std::uint16_t GetModel() const = 0;
    virtual std::uint16_t GetStepping() const = 0;
    virtual bool HasMMX() const = 0;
    virtual bool HasSSE() const = 0;
    virtual bool HasSSE2() const = 0;
    virtual bool Has3DNow() const = 0;
    virtual ~ICPUInfo() = default;
};

/// Whether `required` occurs in the processor name (exact, case-sensitive).
bool ProcessorNameMeets(std::string_view name, std::string_view required);

/// The processor check: runs `Detect` on `cpu`; passes when the processor cannot be
/// identified, else by `ProcessorNameMeets` on its name.
bool ProcessorMeets(ICPUInfo& cpu, std::string_view required);

} // namespace cv
