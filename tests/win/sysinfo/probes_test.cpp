// The requirement probes against the running system (Wine's under the harness, whose display
// is 1024x768).
#include "sysinfo/cpu_assembly.h"
#include "sysinfo/req.h"
#include "sysinfo/system_probes.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace cv {
namespace {

TEST(SystemVersion, MatchesGetVersionEx) {
    // The basic structure first: the 9x family refuses the extended one.
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    const OsVersionRecord& v = SystemVersion();
    EXPECT_EQ(v.major, info.dwMajorVersion);
    EXPECT_EQ(v.minor, info.dwMinorVersion);
    EXPECT_EQ(v.build, info.dwBuildNumber);
    EXPECT_EQ(v.platform, info.dwPlatformId);
    EXPECT_GE(v.major, 4u);
    // Filled once: the same record on every call.
    EXPECT_EQ(&SystemVersion(), &v);
    std::printf("running system: %lu.%lu build %lu platform %lu, class %d\n", info.dwMajorVersion,
                info.dwMinorVersion, info.dwBuildNumber & 0xFFFF, info.dwPlatformId,
                ClassifyOsVersion(v));

    // The version the harness set for this run, as "major.minor.platform", when it set one.
    if (const char* expected = std::getenv("CV_EXPECT_VERSION")) {
        char seen[64];
        std::snprintf(seen, sizeof seen, "%lu.%lu.%lu", info.dwMajorVersion, info.dwMinorVersion,
                      info.dwPlatformId);
        EXPECT_STREQ(seen, expected);
    }
}

TEST(CReq, OperatingSystemCheckUsesTheRunningVersion) {
    const OsVersionRecord& v = SystemVersion();
    std::uint32_t covering = 0;
    for (std::uint32_t bit = 1; bit <= 128; bit *= 2)
        if (SystemGroupCovers(bit, v))
            covering |= bit;
    CReq req;
    std::vector<std::string> lines;
    EXPECT_EQ(req.CheckOperatingSystem(static_cast<int>(covering),
                                       [&](const std::string& s) { lines.push_back(s); }),
              1);
    EXPECT_EQ(lines.size(), 9u);
    EXPECT_EQ(req.CheckOperatingSystem(255), 1);
    if (covering == 0) {
        std::printf("no group covers this version; every mask passes\n");
        EXPECT_EQ(req.CheckOperatingSystem(0), 1);
    } else {
        EXPECT_EQ(req.CheckOperatingSystem(0), 0);
        EXPECT_EQ(req.CheckOperatingSystem(static_cast<int>(255 & ~covering)), 0);
    }
}

/// MemTotal of the Linux host through Wine's Z: drive, in bytes; 0 when it cannot be read
/// (not under Wine).
std::uint64_t HostMemTotal() {
    FILE* f = std::fopen("Z:\\proc\\meminfo", "r");
    if (!f)
        return 0;
    char line[256];
    unsigned long long kb = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "MemTotal: %llu kB", &kb) == 1)
            break;
    std::fclose(f);
    return kb * 1024;
}

TEST(Memory, ReadAsA64BitCount) {
    const std::uint64_t total = TotalPhysicalMemory();
    ASSERT_GT(total, 0u);
    MEMORYSTATUSEX ex{};
    ex.dwLength = sizeof ex;
    ASSERT_TRUE(GlobalMemoryStatusEx(&ex));
    EXPECT_EQ(total, ex.ullTotalPhys);
    MEMORYSTATUS narrow{};
    narrow.dwLength = sizeof narrow;
    GlobalMemoryStatus(&narrow);
    // The older call counts in a SIZE_T: a 32-bit process sees at most what its address
    // space can hold, a 64-bit one the whole count.
    if (sizeof(SIZE_T) >= sizeof(std::uint64_t))
        EXPECT_EQ(total, narrow.dwTotalPhys);
    else
        EXPECT_GE(total, narrow.dwTotalPhys);
    std::printf("physical memory: %llu bytes (GlobalMemoryStatus, %u-bit process: %llu)\n",
                static_cast<unsigned long long>(total), static_cast<unsigned>(sizeof(SIZE_T) * 8),
                static_cast<unsigned long long>(narrow.dwTotalPhys));

    const std::uint64_t host = HostMemTotal();
    std::printf("host MemTotal: %llu bytes\n", static_cast<unsigned long long>(host));
    if (host) {
        // Wine reports the host's memory; allow for rounding to pages.
        EXPECT_GE(total + 1048576, host);
        EXPECT_LE(total, host + 1048576);
    }
}

TEST(CReq, MemoryCheckAroundTheMachinesSize) {
    const std::int64_t megabytes = static_cast<std::int64_t>(TotalPhysicalMemory() / 1048576);
    ASSERT_LT(megabytes, 0x7FFFFFFF);
    CReq req;
    EXPECT_EQ(req.CheckMemory(64), 1);
    EXPECT_EQ(req.CheckMemory(static_cast<int>(megabytes + 1)), 1);
    EXPECT_EQ(req.CheckMemory(static_cast<int>(megabytes + 2)), 0);
}

TEST(Screen, HarnessDisplayIs1024x768) {
    const ScreenSize screen = PrimaryScreenSize();
    EXPECT_EQ(screen.width, 1024);
    EXPECT_EQ(screen.height, 768);
    CReq req;
    EXPECT_EQ(req.CheckScreen("1024x768"), 1);
    EXPECT_EQ(req.CheckScreen("800x600"), 1);
    EXPECT_EQ(req.CheckScreen("1280x720"), 0);
    EXPECT_EQ(req.CheckScreen("1024x769"), 0);
    EXPECT_EQ(req.CheckScreen("768"), 1);
    EXPECT_EQ(req.CheckScreen("769"), 0);
    EXPECT_EQ(req.CheckScreen("Any resolution"), 1);
}

TEST(Screen, ColourDepth) {
    const int bits = ScreenBitsPerPixel();
    std::printf("screen colour depth: %d bits per pixel\n", bits);
    // The harness display is 24 bits deep, which Windows reports as 24 or 32.
    EXPECT_TRUE(bits == 24 || bits == 32) << bits;
    CReq req;
    EXPECT_EQ(req.CheckColours("24bit colors"), 1);
    EXPECT_EQ(req.CheckColours("256 colors"), 1);
    EXPECT_EQ(req.CheckColours("32bit colors"), bits >= 32 ? 1 : 0);
    EXPECT_EQ(req.CheckColours("16 colors"), 1);
}

TEST(CPUAssembly, DetectsTheRunningProcessor) {
    CPUAssembly cpu;
    EXPECT_EQ(cpu.GetVendor(), "");
    EXPECT_EQ(cpu.GetClockValue(), 0u);
    ASSERT_TRUE(cpu.Detect());

    const std::string vendor = cpu.GetVendor();
    ASSERT_EQ(vendor.size(), 12u) << vendor;
    for (char c : vendor)
        EXPECT_TRUE(std::isprint(static_cast<unsigned char>(c))) << vendor;
    EXPECT_FALSE(cpu.GetName().empty());
    EXPECT_GE(cpu.GetFamily(), 4);
    EXPECT_LE(cpu.GetFamily(), 15);
    // Every processor that runs this build on a 64-bit host has these.
    EXPECT_TRUE(cpu.HasMMX());
    EXPECT_TRUE(cpu.HasSSE());
    EXPECT_TRUE(cpu.HasSSE2());

    // One second of cycles: between 200 MHz and 10 GHz.
    const std::uint64_t cycles = cpu.CyclesPerSecond();
    EXPECT_GT(cycles, 200'000'000u);
    EXPECT_LT(cycles, 10'000'000'000u);
    EXPECT_EQ(cpu.GetClockValue(), cycles / 1048576);
    // The processor check detects again and finds its own name.
    const std::string name = cpu.GetName();
    EXPECT_TRUE(ProcessorMeets(cpu, name.substr(0, 3)));
    EXPECT_FALSE(ProcessorMeets(cpu, name + " and more"));
    std::printf("processor: %s, family %u model %u stepping %u, \"%s\", %llu MHz (x 1048576)\n",
                vendor.c_str(), cpu.GetFamily(), cpu.GetModel(), cpu.GetStepping(),
                cpu.GetName().c_str(), static_cast<unsigned long long>(cpu.GetClockValue()));
}

} // namespace
} // namespace cv
