// INIINFO and INIDATA: the INI file list, the entries written and the prior state.
#include "engine/step_ini.h"
#include "system_steps_fixture.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

using test::Lines;
using test::SystemStepRun;

TEST(IniItemPath, SectionAndKey) {
    struct Case {
        const char* path;
        const char* section;
        const char* key;
    } cases[] = {
        {"INI Files\\app.ini\\Main\\Path", "Main", "Path"},
        {"INI Files\\app.ini\\Main\\Path\\", "Main", "Path"},
        {"INI Files\\app.ini\\Main\\Sub\\Key", "Main", "Sub\\Key"},
        {"INI Files\\app.ini\\Main", "Main", ""},
        {"INI Files\\app.ini", "", ""},
        {"app.ini", "", ""},
    };
    for (const Case& c : cases) {
        IniItem item = SplitIniItemPath(c.path);
        EXPECT_EQ(item.section, c.section) << c.path;
        EXPECT_EQ(item.key, c.key) << c.path;
    }
    EXPECT_EQ(IniFileKey("INI Files\\app.ini\\"), "app.ini");
    EXPECT_EQ(IniFileKey("app.ini"), "app.ini");
}

TEST(IniEntries, FilesLoggedOnceAndEntriesWritten) {
    SystemStepRun run;
    run.target.AddFolder("C:\\Program Files\\Acme");
    run.Table("INIINFO", {
        {{"A", "INI Files\\acme.ini\\"}, {"C", "<InstallDir>"}},
        {{"A", "acme.ini"}, {"C", "<WindowsFolder>"}}, // same name: not registered again
        {{"A", "INI Files\\tools.ini"}, {"C", "<InstallDir>"}},
    });
    run.Table("INIDATA", {
        {{"A", "INI Files\\acme.ini\\Main\\Folder"}, {"C", "<InstallDir>"}},
        {{"A", "INI Files\\other.ini\\Main\\X"}, {"C", "1"}}, // no such file registered
        {{"A", "INI Files\\tools.ini\\Main\\Key\\"}, {"C", "v"}},
        {{"A", "INI Files\\tools.ini\\NoKey"}, {"C", "v"}},
    });
    WriteIniEntries(run.Engine());
    EXPECT_EQ(run.log.Lines(), (Lines{"FILE=C:\\Program Files\\Acme\\acme.ini", "FILE=C:\\Program Files\\Acme\\tools.ini"}));
    EXPECT_EQ(run.TargetLines({"INI"}),
              (Lines{"INI C:\\Program Files\\Acme\\acme.ini [Main] Folder=C:\\Program Files\\Acme\\",
                     "INI C:\\Program Files\\Acme\\tools.ini [Main] Key=v"}));
    EXPECT_TRUE(run.prior.lines.empty()); // new files: nothing was there
}

TEST(IniEntries, FileNamedInThePathWinsOverALaterSubstringMatch) {
    SystemStepRun run;
    run.target.AddFolder("C:\\Program Files\\Acme");
    run.Table("INIINFO", {
        {{"A", "myapp.ini"}, {"C", "<InstallDir>"}},
        {{"A", "app.ini"}, {"C", "<InstallDir>"}},
    });
    run.Table("INIDATA", {
        {{"A", "INI Files\\myapp.ini\\S\\K"}, {"C", "mine"}},
        {{"A", "INI Files\\app.ini\\S\\K"}, {"C", "theirs"}},
        {{"A", "for app.ini\\x\\S\\L"}, {"C", "loose"}}, // only a substring match
    });
    WriteIniEntries(run.Engine());
    EXPECT_EQ(run.target.IniEntry("C:\\Program Files\\Acme\\myapp.ini", "S", "K"), "mine");
    EXPECT_EQ(run.target.IniEntry("C:\\Program Files\\Acme\\app.ini", "S", "K"), "theirs");
    EXPECT_EQ(run.target.IniEntry("C:\\Program Files\\Acme\\app.ini", "S", "L"), "loose");
}

TEST(IniEntries, TheListHoldsFiftyFiles) {
    SystemStepRun run;
    run.target.AddFolder("C:\\Program Files\\Acme");
    run.settings["INIINFO/TOTAL"] = "52";
    for (int i = 0; i < 52; ++i) {
        // Row 1 repeats row 0 and takes no place in the list.
        run.settings["INIINFO/A" + std::to_string(i)] = "f" + std::to_string(i == 1 ? 0 : i) + ".ini";
        run.settings["INIINFO/C" + std::to_string(i)] = "<InstallDir>";
    }
    run.Table("INIDATA", {{{"A", "INI Files\\f50.ini\\S\\K"}, {"C", "v"}}, {{"A", "INI Files\\f51.ini\\S\\K"}, {"C", "v"}}});
    WriteIniEntries(run.Engine());
    const Lines log = run.log.Lines();
    ASSERT_EQ(log.size(), 50u);
    EXPECT_EQ(log.back(), "FILE=C:\\Program Files\\Acme\\f50.ini");
    EXPECT_EQ(run.TargetLines({"INI"}), (Lines{"INI C:\\Program Files\\Acme\\f50.ini [S] K=v"}));
    ASSERT_EQ(run.progress.traces.size(), 1u);
    EXPECT_NE(run.progress.traces[0].find("f51.ini"), std::string::npos);
}

TEST(IniEntries, ExistingFileAndEntriesReportedOnce) {
    SystemStepRun run;
    run.target.AddIniEntry("C:\\Windows\\win.ini", "Acme", "Old", "1");
    run.target.AddIniEntry("C:\\Windows\\win.ini", "Acme", "Empty", "");
    // A file the file step of this run installed was not there before.
    run.target.AddIniEntry("C:\\Program Files\\Acme\\shipped.ini", "S", "K", "shipped");
    run.Engine().files().push_back(FileRecord{});
    run.Engine().files().back().destination_folder = "Destination Computer\\<InstallDir>";
    run.Engine().files().back().file_name = "Shipped.ini";
    run.Table("INIINFO", {{{"A", "win.ini"}, {"C", "<WindowsFolder>"}}, {{"A", "shipped.ini"}, {"C", "<InstallDir>"}}});
    run.Table("INIDATA", {
        {{"A", "INI Files\\win.ini\\Acme\\Old"}, {"C", "2"}},
        {{"A", "INI Files\\win.ini\\Acme\\Empty"}, {"C", "3"}},
        {{"A", "INI Files\\win.ini\\Acme\\New"}, {"C", "4"}},
        {{"A", "INI Files\\shipped.ini\\S\\K"}, {"C", "mine"}},
    });
    WriteIniEntries(run.Engine());
    EXPECT_EQ(run.prior.lines, (Lines{"INIFILE C:\\Windows\\win.ini", "INIENTRY C:\\Windows\\win.ini [Acme] Old=1",
                                      "INIENTRY C:\\Windows\\win.ini [Acme] Empty=",
                                      "INIADDED C:\\Windows\\win.ini [Acme] New"}));
    EXPECT_EQ(run.target.IniEntry("C:\\Windows\\win.ini", "Acme", "Old"), "2");
    EXPECT_EQ(run.target.IniEntry("C:\\Program Files\\Acme\\shipped.ini", "S", "K"), "mine");
}

} // namespace
} // namespace cv
