#include "app/add_on_rules.h"
#include "tests/host/common/memory_section.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace cv {
namespace {

/// A machine that answers from tables and writes each call that changes something (a
/// condition checked, a program or command run) as a line.
struct RecordingMachine : IAddOnMachine {
    std::set<int> admittedMasks{255};
    std::map<std::string, int> features;
    std::set<std::string> failingConditions;
    std::set<std::string> files;
    std::vector<std::string> calls;

    bool SystemAdmitted(int mask) override { return admittedMasks.count(mask) > 0; }
    int FeatureState(const std::string& name) override {
        auto found = features.find(name);
        return found == features.end() ? -1 : found->second;
    }
    bool ConditionHolds(const std::string& name) override {
        calls.push_back("condition " + name);
        return failingConditions.count(name) == 0;
    }
    bool FileExists(const std::string& path) override { return files.count(path) > 0; }
    std::string Expand(const std::string& text) override {
        std::string out = text;
        const std::string marker = "<SystemFolder>";
        if (auto at = out.find(marker); at != std::string::npos)
            out.replace(at, marker.size(), "C:\\windows\\system32");
        return out;
    }
    void RunProgram(const std::string& program, const std::string& arguments) override {
        calls.push_back("run " + program + " | " + arguments);
    }
    void RunCommand(const std::string& command_line) override { calls.push_back("command " + command_line); }
};

constexpr const char* kSetup = "C:\\setup\\";

AddOnEntry Entry(std::string feature, std::string condition = "No Condition", int mask = 255) {
    return AddOnEntry{mask, std::move(feature), std::move(condition), "<ResourceDir>\\extra.exe", "/quiet"};
}

TEST(AddOnEntry, ProgramRunsWhenMaskFeatureAndConditionAdmit) {
    struct Case {
        const char* what;
        AddOnEntry entry;
        bool runs;
    };
    const std::vector<Case> cases = {
        {"no feature", Entry(""), true},
        {"feature of state 0", Entry("Core"), true},
        {"feature of state 255", Entry("Extras"), false},
        {"'|' removed before the lookup", Entry("Ex|tr|as"), false},
        {"only '|' counts as no feature", Entry("||"), true},
        {"feature the table lacks", Entry("Unknown"), true},
        {"mask shuts the version out", Entry("Core", "No Condition", 4), false},
        {"condition fails", Entry("Core", "never"), false},
    };
    for (const Case& c : cases) {
        RecordingMachine machine;
        machine.features = {{"Core", 0}, {"Extras", 255}};
        machine.failingConditions = {"never"};
        RunAddOnEntry(c.entry, kSetup, machine);
        bool ran = false;
        for (const std::string& call : machine.calls)
            ran = ran || call == "run C:\\setup\\SupportFiles\\extra.exe | /quiet";
        EXPECT_EQ(ran, c.runs) << c.what;
    }
}

TEST(AddOnEntry, ConditionIsCheckedOnlyForDueEntriesThenAgainForThePackage) {
    RecordingMachine machine;
    machine.features = {{"Extras", 255}};
    RunAddOnEntry(Entry("Extras", "cond"), kSetup, machine);
    // The skipped program does not check the condition; the package part checks it once.
    EXPECT_EQ(machine.calls, (std::vector<std::string>{"condition cond"}));

    RecordingMachine due;
    RunAddOnEntry(Entry("", "cond"), kSetup, due);
    EXPECT_EQ(due.calls, (std::vector<std::string>{"condition cond", "run C:\\setup\\SupportFiles\\extra.exe | /quiet",
                                                   "condition cond"}));
}

TEST(AddOnEntry, MergeModulePackageThroughWindowsInstaller) {
    struct Case {
        const char* what;
        std::set<std::string> files;
        AddOnEntry entry;
        std::string command; // empty: not run
    };
    const std::string support = "C:\\setup\\SupportFiles\\mergemod.msi";
    const std::string beside = "C:\\setup\\mergemod.msi";
    const std::vector<Case> cases = {
        {"none", {}, Entry(""), ""},
        {"in SupportFiles", {support}, Entry(""),
         "C:\\windows\\system32\\msiexec.exe /i \"" + support + "\" /q"},
        {"beside the setup wins", {support, beside}, Entry(""),
         "C:\\windows\\system32\\msiexec.exe /i \"" + beside + "\" /q"},
        {"feature left out", {beside}, Entry("Extras"), ""},
        {"mask shuts out", {beside}, Entry("", "No Condition", 8), ""},
        {"condition fails", {beside}, Entry("", "never"), ""},
    };
    for (const Case& c : cases) {
        RecordingMachine machine;
        machine.features = {{"Extras", 255}};
        machine.failingConditions = {"never"};
        machine.files = c.files;
        AddOnEntry entry = c.entry;
        entry.program = "readme.txt"; // no ".exe": nothing to run but the package
        RunAddOnEntry(entry, kSetup, machine);
        std::string command;
        for (const std::string& call : machine.calls)
            if (call.rfind("command ", 0) == 0)
                command = call.substr(8);
        EXPECT_EQ(command, c.command) << c.what;
        for (const std::string& call : machine.calls)
            EXPECT_NE(call.rfind("run ", 0), 0u) << c.what << ": " << call;
    }
}

TEST(AddOnProgramPath, ResourceDirIsTheSupportFilesFolder) {
    EXPECT_EQ(AddOnProgramPath("<ResourceDir>\\a.exe", "D:\\"), "D:\\SupportFiles\\a.exe");
    EXPECT_EQ(AddOnProgramPath("<ResourceDir>\\<ResourceDir>.exe", "D:\\"),
              "D:\\SupportFiles\\D:\\SupportFiles.exe");
    EXPECT_EQ(AddOnProgramPath("C:\\tools\\setup.exe", "D:\\"), "C:\\tools\\setup.exe");
    EXPECT_EQ(AddOnProgramPath("<ResourceDir>\\notes.txt", "D:\\"), "");
}

TEST(RunAddOnEntries, ReadsEveryRowInOrderAndBoundsTheCount) {
    MemorySection section{{{"TOTAL", "2"}, {"E0", "255"}, {"F0", "|Core|"}, {"G0", "No Condition"},
                           {"C0", "<ResourceDir>\\one.exe"}, {"D0", "/a"}, {"E1", "255abc"}, {"C1", "two.exe"},
                           {"D1", "/b"}}, {}};
    RecordingMachine machine;
    machine.features = {{"Core", 0}};
    TableCount count = RunAddOnEntries(section.lookup(), kSetup, machine);
    EXPECT_EQ(count.rows, 2);
    EXPECT_EQ(machine.calls, (std::vector<std::string>{"condition No Condition",
                                                       "run C:\\setup\\SupportFiles\\one.exe | /a",
                                                       "condition No Condition", "condition ",
                                                       "run two.exe | /b", "condition "}));

    MemorySection huge{{{"TOTAL", "99999999"}}, {}};
    RecordingMachine none;
    count = RunAddOnEntries(huge.lookup(), kSetup, none);
    EXPECT_TRUE(count.Cut());
    EXPECT_EQ(count.rows, static_cast<int>(kMaxAddOnEntries));

    MemorySection negative{{{"TOTAL", "-3"}}, {}};
    count = RunAddOnEntries(negative.lookup(), kSetup, none);
    EXPECT_EQ(count.rows, 0);
}

} // namespace
} // namespace cv
