#pragma once
/// What the processor's identification instruction reports, and the processor record decoded
/// from it. The decoding is a pure function, so it is tested with the values of processors
/// we do not have.

#include <cstdint>

namespace cv {

/// The registers of the identification leaves that the record is built from.
struct CpuidLeaves {
    /// Leaf 0: EBX, EDX, ECX hold the vendor text in that order.
    std::uint32_t vendor_ebx = 0, vendor_edx = 0, vendor_ecx = 0;
    /// Leaf 1: EAX (signature) and EDX (feature bits).
    std::uint32_t signature = 0;
    std::uint32_t features = 0;
    /// Leaf 0x80000001 EDX, 0 when the extended leaves are not available.
    std::uint32_t extended_features = 0;
};

/// Feature bits of the record.
enum : std::uint32_t {
    kCpuMMX = 1,
    kCpu3DNow = 2,
    kCpuSSE = 4,
    kCpuSSE2 = 8,
};

/// The processor record (everything but the clock).
struct CpuIdentity {
    /// Twelve characters and a terminator.
    char vendor[13] = {};
    /// Up to 34 characters and a terminator.
    char name[35] = {};
    std::uint16_t family = 0;
    std::uint16_t model = 0;
    std::uint16_t stepping = 0;
    /// Signature bits 20-27 times 16 when the family is 15, else 0.
    std::uint16_t extended_family = 0;
    /// Signature bits 12-15 when the model is 15, else 0.
    std::uint16_t extended_model = 0;
    /// kCpuMMX | kCpu3DNow | kCpuSSE | kCpuSSE2.
    std::uint32_t features = 0;
};

/// Decodes the leaves into a record and names the processor from the name table.
CpuIdentity DecodeCpuid(const CpuidLeaves& leaves);

} // namespace cv
