// REGISTRYKEYS and REGISTRY: rows to log lines, registry calls and prior state.
#include "engine/prior_state_file.h"
#include "engine/removal_plan.h"
#include "engine/step_registry.h"
#include "system_steps_fixture.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

using test::Lines;
using test::ShowRegistryData;
using test::SystemStepRun;

TEST(RegistryRowData, TypesAndTheirBytes) {
    struct Case {
        const char* type;
        const char* text;
        std::uint32_t stored_type;
        const char* shown;
    } cases[] = {
        {"0", "hello", kRegSz, "hello"},
        {"String", "", kRegSz, ""},
        {"1", "42", kRegDword, "42"},
        {"DWORD", "0x10", kRegDword, "0"}, // atoi reads the decimal prefix only
        {"1", "  7 apples", kRegDword, "7"},
        {"1", "-1", kRegDword, "4294967295"},
        {"1", "", kRegDword, "0"},
        {"2", "AB", kRegBinary, "41 42 00"}, // the text's bytes and a zero, not decoded
        {"Binary", "", kRegBinary, "00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " " + c.text);
        std::optional<RegistryData> data = RegistryRowData(c.type, c.text);
        ASSERT_TRUE(data);
        EXPECT_EQ(data->type, c.stored_type);
        EXPECT_EQ(ShowRegistryData(*data), c.shown);
    }
    EXPECT_EQ(RegistryRowData("0", "hi")->bytes, std::string("hi\0", 3)); // terminator stored
    EXPECT_FALSE(RegistryRowData("3", "x"));
    EXPECT_FALSE(RegistryRowData("string", "x")); // case counts
    EXPECT_FALSE(RegistryRowData("", "x"));
}

// The log names only the key a row asks for; the parents that creating it made are recorded
// in the prior state, and removal deletes them (when empty) after it, but not a parent that
// was there.
TEST(RegistryKeys, TheParentsACreatedKeyMadeAreRecordedAndRemovedWhenEmpty) {
    SystemStepRun run;
    run.target.AddRegistryKey(RegRoot::LocalMachine, "Software");
    run.target.AddRegistryKey(RegRoot::LocalMachine, "Software\\Vendor");
    run.settings["REGISTRYKEYS/TOTAL"] = "2";
    run.settings["REGISTRYKEYS/0"] = "HKEY_LOCAL_MACHINE\\Software\\Vendor\\Acme\\Sub\\Deep\\";
    run.settings["REGISTRYKEYS/1"] = "HKEY_LOCAL_MACHINE\\Software\\Vendor\\Acme\\Other";
    test::MemoryLog file;
    PriorStateRecorder recorder(file);
    run.Engine().SetPriorState(&recorder);
    WriteRegistryEntries(*run.engine);

    RemovalInput in;
    in.log = ReadUninstallLog(run.log.text);
    in.prior = ReadPriorState(file.text).records;
    std::vector<std::string> steps;
    for (const RemovalStep& s : PlanRemoval(in).steps)
        steps.push_back(DescribeRemovalStep(s));
    EXPECT_EQ(steps, (Lines{"DELETE-KEY HKEY_LOCAL_MACHINE\\Software\\Vendor\\Acme\\Sub\\Deep",
                            "DELETE-KEY HKEY_LOCAL_MACHINE\\Software\\Vendor\\Acme\\Sub",
                            "DELETE-KEY HKEY_LOCAL_MACHINE\\Software\\Vendor\\Acme\\Other",
                            "DELETE-KEY HKEY_LOCAL_MACHINE\\Software\\Vendor\\Acme"}));
}

TEST(RegistryKeys, TrailingBackslashExpansionAndRoots) {
    SystemStepRun run;
    run.target.AddRegistryKey(RegRoot::LocalMachine, "Software\\Old");
    run.settings["REGISTRYKEYS/TOTAL"] = "4";
    run.settings["REGISTRYKEYS/0"] = "HKEY_LOCAL_MACHINE\\Software\\<ProductName>\\";
    run.settings["REGISTRYKEYS/1"] = "HKEY_CURRENT_USER\\Software\\<ProductName>\\Settings";
    run.settings["REGISTRYKEYS/2"] = "Software\\NoRoot"; // no root name: nothing at all
    run.settings["REGISTRYKEYS/3"] = "HKEY_LOCAL_MACHINE\\Software\\Old";
    WriteRegistryEntries(run.Engine());
    EXPECT_EQ(run.log.Lines(), (Lines{"REGKEY=HKEY_LOCAL_MACHINE\\Software\\Acme",
                                      "REGKEY=HKEY_CURRENT_USER\\Software\\Acme\\Settings",
                                      "REGKEY=HKEY_LOCAL_MACHINE\\Software\\Old"}));
    EXPECT_EQ(run.TargetLines({"REGKEY"}),
              (Lines{"REGKEY HKLM\\Software\\Acme", "REGKEY HKCU\\Software\\Acme\\Settings"}));
    // Only the key that was there before is reported; creating it again changes nothing.
    EXPECT_EQ(run.prior.lines, (Lines{"KEY HKLM\\Software\\Old"}));
    EXPECT_TRUE(run.target.HasRegistryKey(RegRoot::CurrentUser, "Software\\Acme"));
}

TEST(RegistryValues, WrittenUnderExistingKeysAndAlwaysLogged) {
    SystemStepRun run;
    run.settings["REGISTRYKEYS/TOTAL"] = "1";
    run.settings["REGISTRYKEYS/0"] = "HKEY_LOCAL_MACHINE\\Software\\Acme";
    run.target.AddRegistryKey(RegRoot::CurrentUser, "Software\\Shared");
    run.Table("REGISTRY", {
        {{"A", "HKEY_LOCAL_MACHINE\\Software\\Acme\\"}, {"B", "Path"}, {"C", "<InstallDir>"}, {"D", "0"}},
        {{"A", "HKEY_LOCAL_MACHINE\\Software\\Acme\\"}, {"B", "Count"}, {"C", "0x10"}, {"D", "1"}},
        {{"A", "HKEY_CURRENT_USER\\Software\\Shared\\"}, {"B", "Blob"}, {"C", "AB"}, {"D", "Binary"}},
        {{"A", "HKEY_CURRENT_USER\\Software\\Missing\\"}, {"B", "X"}, {"C", "1"}, {"D", "0"}},
        {{"A", "HKLM\\Software\\Acme\\"}, {"B", "Short"}, {"C", "1"}, {"D", "0"}},
        {{"A", "HKEY_LOCAL_MACHINE\\Software\\Acme\\"}, {"B", "Odd"}, {"C", "1"}, {"D", "9"}},
        {{"A", "HKEY_LOCAL_MACHINE\\Software\\Acme"}, {"B", "Glued"}, {"C", "g"}, {"D", "0"}},
    });
    WriteRegistryEntries(run.Engine());
    EXPECT_EQ(run.log.Lines(), (Lines{"REGKEY=HKEY_LOCAL_MACHINE\\Software\\Acme",
                                      "REGVAL=HKEY_LOCAL_MACHINE\\Software\\Acme\\Path",
                                      "REGVAL=HKEY_LOCAL_MACHINE\\Software\\Acme\\Count",
                                      "REGVAL=HKEY_CURRENT_USER\\Software\\Shared\\Blob",
                                      "REGVAL=HKEY_CURRENT_USER\\Software\\Missing\\X",
                                      "REGVAL=HKLM\\Software\\Acme\\Short",
                                      "REGVAL=HKEY_LOCAL_MACHINE\\Software\\Acme\\Odd",
                                      // "%s\\%s%s": no backslash is added before the name
                                      "REGVAL=HKEY_LOCAL_MACHINE\\Software\\AcmeGlued"}));
    EXPECT_EQ(run.TargetLines({"REGSET"}),
              (Lines{"REGSET HKLM\\Software\\Acme\\Path type=1 C:\\Program Files\\Acme\\",
                     "REGSET HKLM\\Software\\Acme\\Count type=4 0",
                     "REGSET HKCU\\Software\\Shared\\Blob type=3 41 42 00",
                     "REGSET HKLM\\Software\\Acme\\Glued type=1 g"}));
    EXPECT_FALSE(run.target.HasRegistryKey(RegRoot::CurrentUser, "Software\\Missing")); // never created
    // The key created by this run is not reported; the one that was there is, once.
    EXPECT_EQ(run.prior.lines, (Lines{"KEY HKCU\\Software\\Shared"}));
}

TEST(RegistryValues, OverwrittenValueReportedAndUnreadableOneKept) {
    SystemStepRun run;
    run.target.AddRegistryValue(RegRoot::LocalMachine, "Software\\Acme", "Version", RegistryData{kRegSz, std::string("1.0\0", 4)});
    run.target.AddRegistryValue(RegRoot::LocalMachine, "Software\\Acme", "Locked", RegistryData{kRegSz, std::string("keep\0", 5)});
    run.target.FailRegistryRead(RegRoot::LocalMachine, "Software\\Acme", "Locked");
    run.Table("REGISTRY", {
        {{"A", "HKEY_LOCAL_MACHINE\\Software\\Acme\\"}, {"B", "Version"}, {"C", "2.0"}, {"D", "0"}},
        {{"A", "HKEY_LOCAL_MACHINE\\Software\\Acme\\"}, {"B", "Locked"}, {"C", "new"}, {"D", "0"}},
    });
    WriteRegistryEntries(run.Engine());
    EXPECT_EQ(run.target.RegistryValue("HKLM\\Software\\Acme\\Version"), "2.0");
    EXPECT_EQ(run.target.RegistryValue("HKLM\\Software\\Acme\\Locked"), "keep");
    EXPECT_EQ(run.prior.lines, (Lines{"KEY HKLM\\Software\\Acme", "VALUE HKLM\\Software\\Acme\\Version type=1 1.0"}));
    EXPECT_EQ(run.log.Lines().size(), 2u); // both rows logged, written or not
}

TEST(RegistryValues, TextsOverTheirLimitAreRefused) {
    SystemStepRun run;
    run.target.AddRegistryKey(RegRoot::LocalMachine, "Software\\Acme");
    const std::string ok(499, 'v');
    run.Table("REGISTRY", {
        {{"A", "HKEY_LOCAL_MACHINE\\Software\\Acme\\"}, {"B", "Fits"}, {"C", ok}, {"D", "0"}},
        {{"A", "HKEY_LOCAL_MACHINE\\Software\\Acme\\"}, {"B", "Long"}, {"C", ok + "<ProductName>"}, {"D", "0"}},
        {{"A", "HKEY_LOCAL_MACHINE\\Software\\Acme\\"}, {"B", std::string(500, 'n')}, {"C", "1"}, {"D", "0"}},
    });
    WriteRegistryEntries(run.Engine());
    EXPECT_EQ(run.target.RegistryValue("HKLM\\Software\\Acme\\Fits"), ok);
    EXPECT_FALSE(run.target.HasRegistryValue("HKLM\\Software\\Acme\\Long"));
    EXPECT_EQ(run.log.Lines(), (Lines{"REGVAL=HKEY_LOCAL_MACHINE\\Software\\Acme\\Fits"}));
    EXPECT_EQ(run.progress.traces.size(), 2u);
}

} // namespace
} // namespace cv

namespace cv {
namespace {

TEST(StepTables, AGarbledCountIsCutToTheBound) {
    test::SystemStepRun run;
    run.settings["REGISTRYKEYS/TOTAL"] = "99999999999999999999";
    run.settings["REGISTRYKEYS/0"] = "HKEY_CURRENT_USER\\Software\\Acme";
    WriteRegistryEntries(run.Engine());
    EXPECT_EQ(run.log.Lines(), (test::Lines{"REGKEY=HKEY_CURRENT_USER\\Software\\Acme"}));
    ASSERT_FALSE(run.progress.traces.empty());
    const std::string& trace = run.progress.traces[0];
    EXPECT_EQ(trace.rfind("REGISTRYKEYS TOTAL ", 0), 0u) << trace;
    EXPECT_NE(trace.find(" cut to 10000"), std::string::npos) << trace;
}

} // namespace
} // namespace cv
