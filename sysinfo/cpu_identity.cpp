#include "sysinfo/cpu_identity.h"

#include "sysinfo/cpu_names.h"

#include <cstring>

namespace cv {

namespace {

void PutRegister(char* out, std::uint32_t reg) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<char>((reg >> (8 * i)) & 0xFF);
}

std::uint16_t Bits(std::uint32_t value, int low, int count) {
    return static_cast<std::uint16_t>((value >> low) & ((1u << count) - 1));
}

} // namespace

CpuIdentity DecodeCpuid(const CpuidLeaves& leaves) {
    CpuIdentity id;
    PutRegister(id.vendor, leaves.vendor_ebx);
    PutRegister(id.vendor + 4, leaves.vendor_edx);
    PutRegister(id.vendor + 8, leaves.vendor_ecx);
    id.vendor[12] = '\0';

    if (leaves.features & (1u << 23))
        id.features |= kCpuMMX;
    if (leaves.extended_features & (1u << 31))
        id.features |= kCpu3DNow;
    if (leaves.features & (1u << 25))
        id.features |= kCpuSSE;
    if (leaves.features & (1u << 26))
        id.features |= kCpuSSE2;

    const std::uint32_t sig = leaves.signature;
    id.family = Bits(sig, 8, 4);
    id.extended_family = id.family == 15 ? static_cast<std::uint16_t>(Bits(sig, 20, 8) * 16) : 0;
    id.model = Bits(sig, 4, 4);
    // Bits 12-15, not the 16-19 of later processor manuals: the name table below is keyed on
    // this value, and requirement texts were written against the names it gives.
    id.extended_model = id.model == 15 ? Bits(sig, 12, 4) : 0;
    id.stepping = Bits(sig, 0, 4);

    const std::string_view name =
        CpuName(id.vendor, id.family, id.model, id.extended_family, id.extended_model);
    const std::size_t n = name.size() < sizeof id.name - 1 ? name.size() : sizeof id.name - 1;
    std::memcpy(id.name, name.data(), n);
    id.name[n] = '\0';
    return id;
}

} // namespace cv
