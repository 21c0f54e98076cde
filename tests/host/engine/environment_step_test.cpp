// ENVIRCV: set, append (the PATH kept whole), remove, scopes, the log and the notification.
#include "engine/step_environment.h"
#include "system_steps_fixture.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

using test::Lines;
using test::SystemStepRun;

const char* kSystemKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

TEST(AppendedPathValue, SeparatorAndEntriesAlreadyThere) {
    struct Case {
        const char* present;
        const char* entry;
        std::optional<std::string> expected;
    } cases[] = {
        {"C:\\Windows", "C:\\Tools", "C:\\Windows;C:\\Tools"},
        {"", "C:\\Tools", ";C:\\Tools"}, // a missing variable
        {"C:\\Windows;", "C:\\Tools", "C:\\Windows;C:\\Tools"},
        {"C:\\A;c:\\tools\\;C:\\B", "C:\\Tools", std::nullopt}, // case and a trailing backslash
        {"C:\\Tools", "C:\\Tools\\", std::nullopt},
        {"C:\\Toolset;C:\\Tool", "C:\\Tools", "C:\\Toolset;C:\\Tool;C:\\Tools"}, // whole entries only
        {"%SystemRoot%\\bin", "%SYSTEMROOT%\\bin", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AppendedPathValue(c.present, c.entry), c.expected) << c.present << " + " << c.entry;
}

struct EnvRun : SystemStepRun {
    EnvRun() {
        target.AddRegistryKey(RegRoot::CurrentUser, "Environment");
        target.AddRegistryKey(RegRoot::LocalMachine, kSystemKey);
    }
};

TEST(Environment, SetAppendRemoveAndTheirLogLines) {
    EnvRun run;
    run.target.AddRegistryValue(RegRoot::LocalMachine, kSystemKey, "Path", RegistryData{kRegSz, std::string("C:\\Windows\0", 11)});
    run.target.AddRegistryValue(RegRoot::CurrentUser, "Environment", "OLD", RegistryData{kRegSz, std::string("x\0", 2)});
    run.target.AddRegistryValue(RegRoot::CurrentUser, "Environment", "GONE", RegistryData{kRegSz, std::string("g\0", 2)});
    run.features["Extras"] = 1; // not chosen
    run.Table("ENVIRCV", {
        {{"A", "Path"}, {"C", "C:\\Tools"}, {"D", "Install"}, {"E", "Append"}, {"F", "Remove"}, {"G", "System"}},
        {{"A", "ACME_HOME"}, {"C", "<InstallDir>"}, {"D", "Install"}, {"F", "Remove"}, {"G", "User"}},
        {{"A", "NEWLIST"}, {"C", "C:\\One"}, {"D", "Install"}, {"E", "Append"}, {"G", "User"}},
        {{"A", "OLD"}, {"C", "y"}, {"D", "Install"}, {"G", "User"}},
        {{"A", "GONE"}, {"D", "Remove"}, {"F", "Remove"}, {"G", "User"}},
        {{"A", "OTHER"}, {"C", "1"}, {"D", "Install"}, {"F", "Remove"}, {"G", "Machine"}}, // no such scope
        {{"A", "SKIPPED"}, {"B", "Extras|"}, {"C", "1"}, {"D", "Install"}, {"G", "User"}},
    });
    SetEnvironmentVariables(run.Engine());
    EXPECT_EQ(run.TargetLines({"REGSET", "REGDEL", "SETTINGCHANGE"}),
              (Lines{"REGSET HKLM\\" + std::string(kSystemKey) + "\\Path type=1 C:\\Windows;C:\\Tools",
                     "REGSET HKCU\\Environment\\ACME_HOME type=1 C:\\Program Files\\Acme\\",
                     "REGSET HKCU\\Environment\\NEWLIST type=1 ;C:\\One", "REGSET HKCU\\Environment\\OLD type=1 y",
                     "REGDEL HKCU\\Environment\\GONE", "SETTINGCHANGE Environment"}));
    EXPECT_EQ(run.log.Lines(), (Lines{"REGVAL=HKEY_LOCAL_MACHINE\\" + std::string(kSystemKey) + "\\Path",
                                      "REGVAL=HKEY_CURRENT_USER\\Environment\\ACME_HOME",
                                      "REGVAL=HKEY_CURRENT_USER\\Environment\\GONE"}));
    EXPECT_EQ(run.prior.lines, (Lines{"APPENDED HKLM\\" + std::string(kSystemKey) + "\\Path C:\\Tools",
                                      "KEY HKLM\\" + std::string(kSystemKey), "KEY HKCU\\Environment",
                                      "VALUE HKCU\\Environment\\OLD type=1 x", "VALUE HKCU\\Environment\\GONE type=1 g"}));
}

TEST(Environment, LongExpandablePathKeptWholeAndAppendedOnce) {
    EnvRun run;
    std::string path = "%SystemRoot%\\system32;%SystemRoot%";
    for (int i = 0; path.size() < 5000; ++i)
        path += ";C:\\Some Long Folder Name\\Tool " + std::to_string(i);
    run.target.AddRegistryValue(RegRoot::CurrentUser, "Environment", "PATH", RegistryData{kRegExpandSz, path + '\0'});
    run.Table("ENVIRCV", {{{"A", "PATH"}, {"C", "<InstallDir>bin"}, {"D", "Install"}, {"E", "Append"}, {"G", "User"}}});
    SetEnvironmentVariables(run.Engine());
    std::optional<RegistryData> after = run.target.StoredValue(RegRoot::CurrentUser, "Environment", "PATH");
    ASSERT_TRUE(after);
    EXPECT_EQ(after->type, kRegExpandSz);
    EXPECT_EQ(after->bytes, path + ";C:\\Program Files\\Acme\\bin" + '\0');

    // The second installation finds the entry and writes nothing, nor notifies anyone.
    SystemStepRun& first = run;
    const std::size_t lines_before = first.target.lines.size();
    test::RecordingPriorState second_prior;
    run.Engine().SetPriorState(&second_prior);
    SetEnvironmentVariables(run.Engine());
    EXPECT_EQ(run.target.lines.size(), lines_before);
    EXPECT_EQ(run.target.StoredValue(RegRoot::CurrentUser, "Environment", "PATH")->bytes, after->bytes);
    EXPECT_TRUE(second_prior.lines.empty());
}

TEST(Environment, ValuesThatCannotBeReadAsTextAreNeverWritten) {
    EnvRun run;
    run.target.AddRegistryValue(RegRoot::CurrentUser, "Environment", "LOCKED", RegistryData{kRegSz, std::string("a\0", 2)});
    run.target.FailRegistryRead(RegRoot::CurrentUser, "Environment", "LOCKED");
    run.target.AddRegistryValue(RegRoot::CurrentUser, "Environment", "NUMBER", RegistryData{kRegDword, std::string(4, '\1')});
    run.Table("ENVIRCV", {
        {{"A", "LOCKED"}, {"C", "C:\\x"}, {"D", "Install"}, {"E", "Append"}, {"G", "User"}},
        {{"A", "LOCKED"}, {"C", "C:\\x"}, {"D", "Install"}, {"G", "User"}},
        {{"A", "NUMBER"}, {"C", "C:\\x"}, {"D", "Install"}, {"E", "Append"}, {"G", "User"}},
        {{"A", "LONG"}, {"C", std::string(255, 'v')}, {"D", "Install"}, {"G", "User"}},
        {{"A", std::string(255, 'N')}, {"C", "v"}, {"D", "Install"}, {"G", "User"}},
        {{"A", "FITS"}, {"C", std::string(254, 'v')}, {"D", "Install"}, {"G", "System"}},
    });
    SetEnvironmentVariables(run.Engine());
    EXPECT_EQ(run.TargetLines({"REGSET", "REGDEL", "SETTINGCHANGE"}),
              (Lines{"REGSET HKLM\\" + std::string(kSystemKey) + "\\FITS type=1 " + std::string(254, 'v'),
                     "SETTINGCHANGE Environment"}));
    EXPECT_EQ(run.target.RegistryValue("HKCU\\Environment\\LOCKED"), "a");
    EXPECT_EQ(run.progress.traces.size(), 5u);
}

TEST(Environment, AppendThatWouldPassTheSystemLimitIsRefused) {
    EnvRun run;
    const std::string full = "C:\\" + std::string(32767 - 3 - 8, 'p');
    run.target.AddRegistryValue(RegRoot::CurrentUser, "Environment", "PATH", RegistryData{kRegSz, full + '\0'});
    run.target.AddRegistryValue(RegRoot::CurrentUser, "Environment", "SHORT", RegistryData{kRegSz, full + '\0'});
    run.Table("ENVIRCV", {
        {{"A", "PATH"}, {"C", "C:\\Tools"}, {"D", "Install"}, {"E", "Append"}, {"G", "User"}}, // 32768
        {{"A", "SHORT"}, {"C", "C:\\Tool"}, {"D", "Install"}, {"E", "Append"}, {"G", "User"}},  // 32767
    });
    SetEnvironmentVariables(run.Engine());
    EXPECT_EQ(run.target.RegistryValue("HKCU\\Environment\\PATH"), full);
    EXPECT_EQ(run.target.RegistryValue("HKCU\\Environment\\SHORT"), full + ";C:\\Tool");
}

TEST(Environment, NothingChangedNoNotification) {
    EnvRun run;
    run.Table("ENVIRCV", {{{"A", "GONE"}, {"D", "Remove"}, {"G", "User"}}}); // not there to remove
    SetEnvironmentVariables(run.Engine());
    EXPECT_EQ(run.TargetLines({"REGSET", "REGDEL", "SETTINGCHANGE"}), Lines{});
}

} // namespace
} // namespace cv
