// The version classification, the system groups, the allowed-systems check and the short
// version names.
#include "sysinfo/os_version.h"
#include "sysinfo/version_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cv {
namespace {

OsVersionRecord Nine(std::uint32_t major, std::uint32_t minor, std::uint32_t build) {
    // The 9x platform repeats the version in the high word of the build number.
    return {major, minor, (major << 24) | (minor << 16) | build, kPlatformWindows9x};
}
OsVersionRecord NT(std::uint32_t major, std::uint32_t minor, std::uint32_t build = 1000) {
    return {major, minor, build, kPlatformNT};
}

TEST(ClassifyOsVersion, NineXReleases) {
    EXPECT_EQ(ClassifyOsVersion(Nine(4, 0, 950)), 1);
    EXPECT_EQ(ClassifyOsVersion(Nine(4, 0, 951)), 2);
    EXPECT_EQ(ClassifyOsVersion(Nine(4, 0, 1080)), 2);
    EXPECT_EQ(ClassifyOsVersion(Nine(4, 3, 1081)), 3);
    EXPECT_EQ(ClassifyOsVersion(Nine(4, 0, 949)), 0);
    EXPECT_EQ(ClassifyOsVersion(Nine(4, 10, 1998)), 4);
    EXPECT_EQ(ClassifyOsVersion(Nine(4, 10, 1999)), 5);
    EXPECT_EQ(ClassifyOsVersion(Nine(4, 10, 2182)), 5);
    EXPECT_EQ(ClassifyOsVersion(Nine(4, 10, 2183)), 6);
    EXPECT_EQ(ClassifyOsVersion(Nine(4, 10, 1997)), 0);
    EXPECT_EQ(ClassifyOsVersion(Nine(4, 90, 3000)), 7);
    EXPECT_EQ(ClassifyOsVersion(Nine(4, 50, 3000)), 0);
}

TEST(ClassifyOsVersion, NtAndOthers) {
    EXPECT_EQ(ClassifyOsVersion(NT(3, 51)), 101);
    EXPECT_EQ(ClassifyOsVersion(NT(3, 50)), 0);
    EXPECT_EQ(ClassifyOsVersion(NT(4, 0)), 102);
    EXPECT_EQ(ClassifyOsVersion(NT(5, 0)), 103);
    EXPECT_EQ(ClassifyOsVersion(NT(5, 1)), 104);
    EXPECT_EQ(ClassifyOsVersion(NT(5, 2)), 105);
    EXPECT_EQ(ClassifyOsVersion(NT(5, 3)), 0);
    EXPECT_EQ(ClassifyOsVersion(NT(6, 0)), 0);
    EXPECT_EQ(ClassifyOsVersion(NT(6, 1)), 202);
    EXPECT_EQ(ClassifyOsVersion(NT(10, 0)), 0);
    EXPECT_EQ(ClassifyOsVersion({4, 0, 0, kPlatformCE}), 201);
    EXPECT_EQ(ClassifyOsVersion({3, 10, 0, kPlatformWin32s}), 0);
}

struct Covered {
    const char* what;
    OsVersionRecord version;
    std::uint32_t groups; // every bit that covers it
};

const std::vector<Covered>& CoveredSystems() {
    static const std::vector<Covered> systems = {
        {"98", Nine(4, 10, 1998), 1},
        {"98 build 2183", Nine(4, 10, 2183), 1 | 2},
        {"98SE", Nine(4, 10, 2222), 2},
        {"ME", Nine(4, 90, 3000), 4},
        {"95", Nine(4, 0, 950), 8},
        {"NT4", NT(4, 0, 1381), 8},
        {"2000", NT(5, 0, 2195), 16},
        {"XP", NT(5, 1, 2600), 32},
        {"2003", NT(5, 2, 3790), 64},
        {"Vista", NT(6, 0, 6002), 128},
        {"7", NT(6, 1, 7601), 128},
        {"8 (as Windows 10 reports itself without a manifest)", NT(6, 2, 9200), 128},
    };
    return systems;
}

TEST(SystemGroupCovers, EachSystemByItsGroups) {
    for (const Covered& c : CoveredSystems())
        for (std::uint32_t bit = 1; bit <= 256; bit *= 2)
            EXPECT_EQ(SystemGroupCovers(bit, c.version), (c.groups & bit) != 0)
                << c.what << ", bit " << bit;
}

TEST(SystemGroupCovers, BuildNumberIsTheLowWord) {
    // High word 0x040A repeats 4.10; only 2222 counts.
    EXPECT_FALSE(SystemGroupCovers(1, Nine(4, 10, 2222)));
    EXPECT_TRUE(SystemGroupCovers(2, Nine(4, 10, 2222)));
}

TEST(CheckAllowedSystems, ACoveredSystemPassesWithItsGroupsOnly) {
    for (const Covered& c : CoveredSystems()) {
        EXPECT_FALSE(CheckAllowedSystems(0, c.version)) << c.what;
        EXPECT_TRUE(CheckAllowedSystems(kAllSystemGroups, c.version)) << c.what;
        EXPECT_TRUE(CheckAllowedSystems(c.groups, c.version)) << c.what;
        EXPECT_FALSE(CheckAllowedSystems(kAllSystemGroups & ~c.groups, c.version)) << c.what;
    }
}

TEST(CheckAllowedSystems, Build2183NeedsBothGroups) {
    const OsVersionRecord v = Nine(4, 10, 2183);
    EXPECT_FALSE(CheckAllowedSystems(1, v));
    EXPECT_FALSE(CheckAllowedSystems(2, v));
    EXPECT_TRUE(CheckAllowedSystems(1 | 2, v));
}

TEST(CheckAllowedSystems, UncoveredSystemsAlwaysPass) {
    for (const OsVersionRecord& v :
         {NT(3, 51), NT(10, 0), NT(5, 3), Nine(4, 50, 1), OsVersionRecord{4, 0, 0, kPlatformCE}})
        EXPECT_TRUE(CheckAllowedSystems(0, v)) << v.major << "." << v.minor;
    // XP's group is decided by the platform too: 5.1 outside NT is no group's.
    EXPECT_TRUE(CheckAllowedSystems(0, Nine(5, 1, 2600)));
}

TEST(CheckAllowedSystems, TracesEachGroupPassedFromTheTop) {
    std::vector<std::string> lines;
    const TraceSink sink = [&](const std::string& s) { lines.push_back(s); };

    EXPECT_TRUE(CheckAllowedSystems(32 | 1, NT(5, 1), sink));
    EXPECT_EQ(lines, (std::vector<std::string>{"256 0", "128 0", "64 0", "32 1", "16 0", "8 0",
                                               "4 0", "2 0", "1 1"}));

    // The failing group ends the check before its line.
    lines.clear();
    EXPECT_FALSE(CheckAllowedSystems(255 & ~16, NT(5, 0), sink));
    EXPECT_EQ(lines, (std::vector<std::string>{"256 0", "128 1", "64 1", "32 1"}));
}

TEST(WindowsVersionName, NamesEachRelease) {
    EXPECT_EQ(WindowsVersionName(Nine(4, 10, 1998)), "98");
    EXPECT_EQ(WindowsVersionName(Nine(4, 10, 2182)), "98");
    EXPECT_EQ(WindowsVersionName(Nine(4, 10, 2183)), "98SE");
    EXPECT_EQ(WindowsVersionName(Nine(4, 10, 2222)), "98SE");
    EXPECT_EQ(WindowsVersionName(Nine(4, 90, 3000)), "ME");
    EXPECT_EQ(WindowsVersionName(NT(4, 0, 1381)), "NT4");
    EXPECT_EQ(WindowsVersionName(NT(5, 0, 2195)), "2000");
    EXPECT_EQ(WindowsVersionName(NT(5, 1)), "XP");
    EXPECT_EQ(WindowsVersionName(NT(5, 2, 3790)), "NET");
    EXPECT_EQ(WindowsVersionName(NT(6, 0, 6000)), "VIS");
    EXPECT_EQ(WindowsVersionName(NT(6, 1, 7601)), "VIS");
}

TEST(WindowsVersionName, EmptyOutsideTheTable) {
    EXPECT_EQ(WindowsVersionName(NT(10, 0, 19045)), "");
    EXPECT_EQ(WindowsVersionName(NT(3, 51, 1057)), "");
    EXPECT_EQ(WindowsVersionName(Nine(4, 3, 1111)), "");
    // XP, NET and VIS are names of the NT platform only.
    EXPECT_EQ(WindowsVersionName({5, 1, 2600, kPlatformWindows9x}), "");
    EXPECT_EQ(WindowsVersionName({6, 1, 7601, kPlatformCE}), "");
    // Only the low 16 bits of the build count: 0x10000 + 100 is build 100.
    EXPECT_EQ(WindowsVersionName({4, 10, 0x10000 + 2300, kPlatformWindows9x}), "98SE");
    EXPECT_EQ(WindowsVersionName({4, 10, 0x30000 + 100, kPlatformWindows9x}), "98");
}

} // namespace
} // namespace cv
