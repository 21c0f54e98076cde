// Reading the product's requirements, the order of the checks and
// the message chosen for the first unmet one.
#include "sysinfo/requirement_check.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace cv {
namespace {

Requirements Read(const std::map<std::string, std::string>& keys) {
    return ReadRequirements([&](const char* key) {
        auto it = keys.find(key);
        return it == keys.end() ? std::string() : it->second;
    });
}

TEST(ReadRequirements, SystemMaskFromTheOsKeys) {
    std::map<std::string, std::string> all;
    for (int n = 0; n < 8; ++n)
        all["os" + std::to_string(n)] = "Yes";
    EXPECT_EQ(Read(all).systemMask, 255u);

    auto some = all;
    some["os0"] = "No";
    some["os7"] = "yes"; // compared exactly
    EXPECT_EQ(Read(some).systemMask, 0x7Eu);

    EXPECT_EQ(Read({{"os5", "Yes"}, {"os7", "No"}}).systemMask, 32u);
    EXPECT_EQ(Read({{"os3", "No"}}).systemMask, 0u);
    // No os key at all: no operating system named, so none is shut out.
    EXPECT_EQ(Read({{"1", "INTEL"}}).systemMask, 255u);
}

TEST(ReadRequirements, KeepsTheOtherValuesAsWritten) {
    Requirements r = Read({{"1", "Pentium"}, {"2", "64 MB"}, {"3", "800x600"}, {"4", "256 colors"}});
    EXPECT_EQ(r.processor, "Pentium");
    EXPECT_EQ(r.memory, "64 MB");
    EXPECT_EQ(r.screen, "800x600");
    EXPECT_EQ(r.colours, "256 colors");
}

TEST(RequiredMegabytes, SuffixRemovedRestReadAsNumber) {
    EXPECT_EQ(RequiredMegabytes("Any"), std::nullopt);
    EXPECT_EQ(RequiredMegabytes("64 MB"), 64);
    EXPECT_EQ(RequiredMegabytes("1024"), 1024);
    EXPECT_EQ(RequiredMegabytes("32MB"), 32);
    EXPECT_EQ(RequiredMegabytes("lots"), 0);
    EXPECT_EQ(RequiredMegabytes(""), 0);
    EXPECT_EQ(RequiredMegabytes("any"), 0); // only "Any" means no requirement
}

/// Records each probe asked and answers from a table of failures.
struct FakeProbes : IRequirementProbes {
    std::vector<std::string> asked;
    bool failOs = false, failMemory = false, failScreen = false, failColours = false, failCpu = false;
    bool OperatingSystem(std::uint32_t mask) override {
        asked.push_back("os " + std::to_string(mask));
        return !failOs;
    }
    bool Memory(std::int64_t mb) override {
        asked.push_back("memory " + std::to_string(mb));
        return !failMemory;
    }
    bool Screen(const std::string& s) override {
        asked.push_back("screen " + s);
        return !failScreen;
    }
    bool Colours(const std::string& c) override {
        asked.push_back("colours " + c);
        return !failColours;
    }
    bool Processor(const std::string& p) override {
        asked.push_back("cpu " + p);
        return !failCpu;
    }
};

Requirements AllChecked() {
    return {"Pentium", "64 MB", "800x600", "256 colors", 32};
}

TEST(FirstUnmetRequirement, AllMetAsksEveryProbeInOrder) {
    FakeProbes probes;
    EXPECT_EQ(FirstUnmetRequirement(AllChecked(), probes), std::nullopt);
    EXPECT_EQ(probes.asked, (std::vector<std::string>{"os 32", "memory 64", "screen 800x600",
                                                      "colours 256 colors", "cpu Pentium"}));
}

TEST(FirstUnmetRequirement, StopsAtTheFirstFailure) {
    struct Case {
        bool FakeProbes::*fail;
        Requirement expected;
        std::size_t asked;
    };
    for (const Case& c : {Case{&FakeProbes::failOs, Requirement::OperatingSystem, 1},
                          Case{&FakeProbes::failMemory, Requirement::Memory, 2},
                          Case{&FakeProbes::failScreen, Requirement::Screen, 3},
                          Case{&FakeProbes::failColours, Requirement::Colours, 4},
                          Case{&FakeProbes::failCpu, Requirement::Processor, 5}}) {
        FakeProbes probes;
        probes.*c.fail = true;
        EXPECT_EQ(FirstUnmetRequirement(AllChecked(), probes), c.expected);
        EXPECT_EQ(probes.asked.size(), c.asked);
    }
}

TEST(FirstUnmetRequirement, NoCheckValuesAskNothing) {
    FakeProbes probes;
    probes.failOs = probes.failMemory = probes.failScreen = probes.failColours = probes.failCpu = true;
    const Requirements none{"All Processors", "Any", "checkSCREEN", "Any colors", 255};
    EXPECT_EQ(FirstUnmetRequirement(none, probes), std::nullopt);
    EXPECT_TRUE(probes.asked.empty());

    // An empty processor text is in every name.
    Requirements empty_cpu = none;
    empty_cpu.processor = "";
    EXPECT_EQ(FirstUnmetRequirement(empty_cpu, probes), std::nullopt);
    EXPECT_TRUE(probes.asked.empty());

    // "Any resolution" is not the skip value: the screen check itself passes it.
    Requirements any_resolution = none;
    any_resolution.screen = "Any resolution";
    EXPECT_EQ(FirstUnmetRequirement(any_resolution, probes), Requirement::Screen);
    EXPECT_EQ(probes.asked, std::vector<std::string>{"screen Any resolution"});
}

TEST(FirstUnmetRequirement, MaskZeroStillAsksTheProbe) {
    FakeProbes probes;
    Requirements r{"All Processors", "Any", "checkSCREEN", "Any colors", 0};
    probes.failOs = true;
    EXPECT_EQ(FirstUnmetRequirement(r, probes), Requirement::OperatingSystem);
    EXPECT_EQ(probes.asked, std::vector<std::string>{"os 0"});
}

TEST(RequirementMessage, LanguageTextOrDefault) {
    EXPECT_EQ(RequirementMessageKey(Requirement::OperatingSystem), "0");
    EXPECT_EQ(RequirementMessageKey(Requirement::Colours), "1");
    EXPECT_EQ(RequirementMessageKey(Requirement::Screen), "2");
    EXPECT_EQ(RequirementMessageKey(Requirement::Memory), "3");
    EXPECT_EQ(RequirementMessageKey(Requirement::Processor), "4");

    EXPECT_EQ(RequirementMessage(Requirement::OperatingSystem, ""),
              "The operating system is not adequate for running <ProductName>.");
    EXPECT_EQ(RequirementMessage(Requirement::Processor, ""),
              "The processor is not adequate for running <ProductName>.");
    EXPECT_EQ(RequirementMessage(Requirement::Memory, "Zu wenig Speicher"), "Zu wenig Speicher");
}

} // namespace
} // namespace cv
