// Decoding the identification leaves, the processor name table and the processor check.
#include "sysinfo/cpu_identity.h"
#include "sysinfo/cpu_info.h"
#include "sysinfo/cpu_names.h"

#include <gtest/gtest.h>

#include <string>

namespace cv {
namespace {

/// Leaves for a vendor text and signature fields, packed the way the processor reports them.
CpuidLeaves Leaves(const char (&vendor)[13], std::uint32_t family, std::uint32_t model,
                   std::uint32_t stepping = 0, std::uint32_t high_bits = 0) {
    auto reg = [&](int at) {
        std::uint32_t r = 0;
        for (int i = 3; i >= 0; --i)
            r = (r << 8) | static_cast<unsigned char>(vendor[at + i]);
        return r;
    };
    CpuidLeaves l;
    l.vendor_ebx = reg(0);
    l.vendor_edx = reg(4);
    l.vendor_ecx = reg(8);
    l.signature = high_bits | (family << 8) | (model << 4) | stepping;
    return l;
}

TEST(DecodeCpuid, VendorFamilyModelStepping) {
    const CpuIdentity id = DecodeCpuid(Leaves("GenuineIntel", 6, 8, 3));
    EXPECT_STREQ(id.vendor, "GenuineIntel");
    EXPECT_EQ(id.family, 6);
    EXPECT_EQ(id.model, 8);
    EXPECT_EQ(id.stepping, 3);
    EXPECT_EQ(id.extended_family, 0);
    EXPECT_EQ(id.extended_model, 0);
    EXPECT_STREQ(id.name, "INTEL Pentium III Coppermine");
}

TEST(DecodeCpuid, ExtendedValuesOnlyForFamilyAndModel15) {
    // Bits 20-27 = 0x21 and bits 12-15 = 0x3 are ignored below family 15 / model 15.
    const std::uint32_t high = (0x21u << 20) | (0x3u << 12);
    const CpuIdentity plain = DecodeCpuid(Leaves("GenuineIntel", 6, 8, 0, high));
    EXPECT_EQ(plain.extended_family, 0);
    EXPECT_EQ(plain.extended_model, 0);

    const CpuIdentity both = DecodeCpuid(Leaves("GenuineIntel", 15, 15, 0, high));
    EXPECT_EQ(both.extended_family, 0x21 * 16);
    EXPECT_EQ(both.extended_model, 3);
    // A non-zero extended family takes the processor out of the family 15 rows.
    EXPECT_STREQ(both.name, "unknown");

    const CpuIdentity p4 = DecodeCpuid(Leaves("GenuineIntel", 15, 15, 0, 0x2u << 12));
    EXPECT_EQ(p4.extended_family, 0);
    EXPECT_STREQ(p4.name, "INTEL Pentium IV (0.13 \xB5m)");
}

TEST(DecodeCpuid, FeatureBits) {
    CpuidLeaves l = Leaves("AuthenticAMD", 6, 4);
    l.features = (1u << 23) | (1u << 26);
    l.extended_features = 1u << 31;
    const CpuIdentity id = DecodeCpuid(l);
    EXPECT_EQ(id.features, kCpuMMX | kCpuSSE2 | kCpu3DNow);
    EXPECT_STREQ(id.name, "AMD Athlon Thunderbird");

    l.features = 1u << 25;
    l.extended_features = 0x7FFFFFFF;
    EXPECT_EQ(DecodeCpuid(l).features, kCpuSSE);
}

TEST(CpuName, IntelTable) {
    EXPECT_EQ(CpuName("GenuineIntel", 6, 8, 0, 0), "INTEL Pentium III Coppermine");
    EXPECT_EQ(CpuName("GenuineIntel", 4, 0, 0, 0), "INTEL 486 DX-25/33");
    EXPECT_EQ(CpuName("GenuineIntel", 6, 11, 0, 0), "INTEL Pentium III (0.13um)");
    EXPECT_EQ(CpuName("GenuineIntel", 7, 12, 0, 0), "INTEL Itanium");
    // Gaps in the table.
    EXPECT_EQ(CpuName("GenuineIntel", 6, 13, 0, 0), "unknown");
    EXPECT_EQ(CpuName("GenuineIntel", 4, 6, 0, 0), "unknown");
    EXPECT_EQ(CpuName("GenuineIntel", 6, 4, 0, 0), "unknown");
    EXPECT_EQ(CpuName("GenuineIntel", 3, 0, 0, 0), "unknown");
}

TEST(CpuName, Family15IsKeyedOnTheExtendedModel) {
    // Model 2 has an extended model value of 0, so it is named as the first Pentium IV.
    const CpuIdentity id = DecodeCpuid(Leaves("GenuineIntel", 15, 2));
    EXPECT_STREQ(id.name, "INTEL Pentium IV (0.18 \xB5m)");
    EXPECT_EQ(CpuName("GenuineIntel", 15, 15, 0, 1), "INTEL Pentium IV (0.18 \xB5m)");
    EXPECT_EQ(CpuName("GenuineIntel", 15, 15, 0, 3), "INTEL Pentium IV (0.09 \xB5m)");
    EXPECT_EQ(CpuName("GenuineIntel", 15, 15, 0, 4), "unknown");
    EXPECT_EQ(CpuName("AuthenticAMD", 15, 15, 0, 4), "AMD Athlon 64");
    EXPECT_EQ(CpuName("AuthenticAMD", 15, 15, 0, 5), "AMD Athlon 64FX Operon");
    EXPECT_EQ(CpuName("AuthenticAMD", 15, 4, 0, 0), "unknown");
    // The micro sign is the single byte 0xB5.
    const std::string_view name = CpuName("GenuineIntel", 15, 0, 0, 0);
    ASSERT_EQ(name.size(), 26u);
    EXPECT_EQ(static_cast<unsigned char>(name[23]), 0xB5);
}

TEST(CpuName, AmdTable) {
    EXPECT_EQ(CpuName("AuthenticAMD", 5, 6, 0, 0), "AMD K6");
    EXPECT_EQ(CpuName("AuthenticAMD", 5, 7, 0, 0), "AMD K6");
    EXPECT_EQ(CpuName("AuthenticAMD", 6, 1, 0, 0), "AMD Athlon (25um)");
    EXPECT_EQ(CpuName("AuthenticAMD", 4, 15, 0, 0), "AMD Am5x86-WB");
    EXPECT_EQ(CpuName("AuthenticAMD", 6, 5, 0, 0), "unknown");
    EXPECT_EQ(CpuName("AuthenticAMD", 4, 0, 0, 0), "unknown");
}

TEST(CpuName, OtherVendors) {
    for (std::uint16_t family : {4, 5, 6, 15}) {
        EXPECT_EQ(CpuName("CyrixInstead", family, 2, 0, 0), "Cyrix");
        EXPECT_EQ(CpuName("CentaurHauls", family, 9, 0, 0), "Centaur");
    }
    EXPECT_EQ(CpuName("HygonGenuine", 6, 8, 0, 0), "unknown");
    EXPECT_EQ(CpuName("", 6, 8, 0, 0), "unknown");
    // Vendor texts are compared exactly.
    EXPECT_EQ(CpuName("genuineintel", 6, 8, 0, 0), "unknown");
    EXPECT_STREQ(DecodeCpuid(Leaves("CyrixInstead", 5, 2)).name, "Cyrix");
}

TEST(ProcessorNameMeets, CaseSensitiveSubstring) {
    const std::string name = DecodeCpuid(Leaves("GenuineIntel", 6, 8)).name;
    EXPECT_TRUE(ProcessorNameMeets(name, "Pentium"));
    EXPECT_TRUE(ProcessorNameMeets(name, "III Copper"));
    EXPECT_FALSE(ProcessorNameMeets(name, "pentium"));
    EXPECT_FALSE(ProcessorNameMeets(name, "Coppermine 2"));
}

} // namespace
} // namespace cv
