#include "sysinfo/cpu_assembly.h"

#include <windows.h>

#include <cpuid.h>
#include <x86intrin.h>

namespace cv {

namespace {

constexpr std::uint32_t kTimeStampCounterBit = 1u << 4; // leaf 1, EDX

struct Registers {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
};

/// __get_cpuid_max toggles the ID flag first, so a processor without the instruction is
/// reported (0) instead of faulting.
unsigned HighestLeaf(unsigned range) {
    return __get_cpuid_max(range, nullptr);
}

Registers Query(unsigned leaf) {
    Registers r;
    __cpuid(leaf, r.eax, r.ebx, r.ecx, r.edx);
    return r;
}

bool HasTimeStampCounter() {
    if (HighestLeaf(0) < 1)
        return false;
    return (Query(1).edx & kTimeStampCounterBit) != 0;
}

std::int64_t PerformanceCounter() {
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

} // namespace

bool QueryCpuidLeaves(CpuidLeaves& out) {
    out = {};
    // 0 also stands for a processor whose highest leaf is 0; such a processor offers no
    // signature, so it is treated as one that cannot be queried.
    if (HighestLeaf(0) == 0)
        return false;
    const Registers vendor = Query(0);
    out.vendor_ebx = vendor.ebx;
    out.vendor_edx = vendor.edx;
    out.vendor_ecx = vendor.ecx;
    const Registers id = Query(1);
    out.signature = id.eax;
    out.features = id.edx;
    // Only a range that reaches 0x80000001 has that leaf; asking beyond the range returns
    // another leaf's registers on some processors, which would read as 3DNow!.
    const unsigned extended = HighestLeaf(0x80000000);
    if ((extended & 0x80000000u) && extended >= 0x80000001u)
        out.extended_features = Query(0x80000001).edx;
    return true;
}

bool CPUAssembly::Detect() {
    CpuidLeaves leaves;
    if (!QueryCpuidLeaves(leaves))
        return false;
    identity_ = {};
    cycles_per_second_ = 0;
    identity_ = DecodeCpuid(leaves);
    cycles_per_second_ = MeasureClock();
    return true;
}

std::uint64_t CPUAssembly::MeasureClock() {
    // A processor without a time-stamp counter faults on rdtsc; its clock reads as 0.
    if (!HasTimeStampCounter())
        return 0;
    LARGE_INTEGER frequency{};
    if (!::QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0)
        return 0;
    const std::uint64_t start = __rdtsc();
    const std::int64_t until = PerformanceCounter() + frequency.QuadPart;
    // The tick count bounds the wait should the performance counter ever stand still.
    const DWORD started = ::GetTickCount();
    while (PerformanceCounter() < until && ::GetTickCount() - started < 3000) {
    }
    return __rdtsc() - start;
}

} // namespace cv
