// FOLDERCV shortcuts, EXTCV associations, NTSERVICE services and the font's registry value.
#include "engine/step_associations.h"
#include "engine/step_files.h"
#include "engine/step_services.h"
#include "engine/step_shortcuts.h"
#include "system_steps_fixture.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

using test::Lines;
using test::SystemStepRun;

TEST(ShortcutFolder, LocationsAndWhetherTheFolderIsCreated) {
    SystemStepRun run;
    const PathValues& p = run.context.paths;
    struct Case {
        const char* location;
        std::string folder;
        bool created;
    } cases[] = {
        {"Start Menu\\Programs Menu\\Tools\\MyTool", p.programs_menu + "\\Tools\\", true},
        {"Start Menu\\Programs Menu\\MyTool", p.programs_menu + "\\", true},
        {"Start Menu\\Programs Menu\\Tools\\MyTool\\", p.programs_menu + "\\Tools\\", true},
        {"Start Menu\\StartUp\\MyTool", p.startup_folder + "\\", true},
        {"Start Menu\\MyTool", p.start_menu + "\\", true},
        {"Desktop\\MyTool", p.desktop_folder + "\\", true},
        {"Active Desktop\\MyTool", p.app_data_folder + "\\Microsoft\\Internet Explorer\\Quick Launch\\", true},
        {"Favorites\\Acme\\MyTool", p.favorites_folder + "\\Acme\\", false},
        {"<InstallDir>Docs\\Readme", "C:\\Program Files\\Acme\\Docs\\", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShortcutFolder(c.location, p), c.folder) << c.location;
        EXPECT_EQ(CreatesShortcutFolder(c.location), c.created) << c.location;
    }
    EXPECT_EQ(ShowCommandOf("Maximized"), 3);
    EXPECT_EQ(ShowCommandOf("Minimized"), 6);
    EXPECT_EQ(ShowCommandOf("maximized"), 0);
    EXPECT_TRUE(IsUrlTarget("HTTP://acme.example/"));
    EXPECT_FALSE(IsUrlTarget("Http://acme.example/"));
}

TEST(Shortcuts, LinksUrlsIconsAndTheirLogLines) {
    SystemStepRun run;
    run.target.AddFolder("C:\\Program Files\\Acme");
    run.target.AddFile(std::string(test::kWork) + "acme.ico", "icon");
    run.features["Docs"] = 1;
    run.Table("FOLDERCV", {
        {{"A", "Start Menu\\Programs Menu\\Acme\\Acme App"}, {"B", "<ProductName> App"}, {"C", "<InstallDir>acme.exe"},
         {"D", "Runs <ProductName>"}, {"E", "Maximized"}, {"F", "<InstallDir>"}, {"G", "/start"},
         {"H", "<InstallDir>acme.ico"}, {"I", "2"}},
        {{"A", "Desktop\\Acme Web"}, {"B", "Acme Web"}, {"C", "http://acme.example/"}, {"J", "Web"}},
        {{"A", "Active Desktop\\Acme"}, {"B", "Acme"}, {"C", "<InstallDir>acme.exe"}, {"E", "Normal"}},
        {{"A", "Desktop\\Manual"}, {"B", "Manual"}, {"C", "<InstallDir>manual.pdf"}, {"J", "Docs|"}},
    });
    CreateShortcuts(run.Engine());
    const std::string programs = "C:\\Users\\me\\Start Menu\\Programs\\Acme\\";
    const std::string quick = "C:\\Users\\me\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch\\";
    EXPECT_EQ(run.log.Lines(), (Lines{"DIR=" + programs, "FILE=C:\\Program Files\\Acme\\acme.ico",
                                      "SHORTCUT=" + programs + "Acme App.lnk", "DIR=C:\\Users\\me\\Desktop\\",
                                      "SHORTCUT=C:\\Users\\me\\Desktop\\Acme Web.url",
                                      "SHORTCUT=C:\\Users\\me\\Desktop\\Acme Web.lnk", "DIR=" + quick,
                                      "SHORTCUT=" + quick + "Acme.lnk"}));
    EXPECT_EQ(run.TargetLines({"LNK", "URL", "COPY", "MKDIR"}),
              (Lines{"MKDIR " + programs.substr(0, programs.size() - 1),
                     "COPY " + std::string(test::kWork) + "acme.ico -> C:\\Program Files\\Acme\\acme.ico",
                     "LNK " + programs + "Acme App.lnk -> C:\\Program Files\\Acme\\acme.exe args=/start "
                     "dir=C:\\Program Files\\Acme\\ desc=Runs Acme icon=C:\\Program Files\\Acme\\acme.ico,2 show=3",
                     "URL C:\\Users\\me\\Desktop\\Acme Web.url -> http://acme.example/",
                     "LNK C:\\Users\\me\\Desktop\\Acme Web.lnk -> http://acme.example/",
                     "MKDIR C:\\Users\\me\\AppData\\Roaming\\Microsoft",
                     "MKDIR C:\\Users\\me\\AppData\\Roaming\\Microsoft\\Internet Explorer",
                     "MKDIR " + quick.substr(0, quick.size() - 1),
                     "LNK " + quick + "Acme.lnk -> C:\\Program Files\\Acme\\acme.exe"}));
    EXPECT_EQ(run.TargetLines({"OPEN"}), Lines{}); // a9 not asked
}

TEST(Shortcuts, LinkThatCannotBeSavedIsNotLoggedAndDefaultFolderOpens) {
    SystemStepRun run;
    run.settings["APPINFO/a9"] = "Yes";
    run.settings["FOLDERCV/DEFAULTFOLDER"] = "Start Menu\\Programs Menu\\Acme";
    run.Table("FOLDERCV", {{{"A", "<InstallDir>Missing\\Tool"}, {"B", "Tool"}, {"C", "<InstallDir>tool.exe"}}});
    CreateShortcuts(run.Engine());
    EXPECT_EQ(run.log.Lines(), Lines{}); // not a Start menu place: no folder made, the save fails
    EXPECT_EQ(run.TargetLines({"OPEN"}), (Lines{"OPEN C:\\Users\\me\\Start Menu\\Programs\\Acme"}));
}

TEST(Associations, TwoRemkeyLinesClassFirstValuesAndIcon) {
    SystemStepRun run;
    run.target.AddFolder("C:\\Program Files\\Acme");
    run.target.AddFile(std::string(test::kWork) + "doc.ico", "icon");
    run.target.AddRegistryValue(RegRoot::ClassesRoot, ".acd", "", RegistryData{kRegSz, std::string("OldClass\0", 9)});
    run.Table("EXTCV", {
        {{"A", "ignored"}, {"B", "<InstallDir>acme.exe"}, {"C", ".acd"}, {"D", "Acme.Document"},
         {"E", "Acme document"}, {"G", "\"%1\""}, {"H", "<InstallDir>doc.ico"}},
        {{"B", "x.exe"}, {"C", ".none"}, {"D", ""}}, // no class: nothing, not HKEY_CLASSES_ROOT itself
    });
    CreateFileAssociations(run.Engine());
    EXPECT_EQ(run.log.Lines(), (Lines{"REMKEY=HKEY_CLASSES_ROOT\\Acme.Document", "REMKEY=HKEY_CLASSES_ROOT\\.acd",
                                      "FILE=C:\\Program Files\\Acme\\doc.ico"}));
    EXPECT_EQ(run.TargetLines({"REGSET", "COPY"}),
              (Lines{"REGSET HKCR\\.acd\\ type=1 Acme.Document", "REGSET HKCR\\Acme.Document\\ type=1 Acme document",
                     "REGSET HKCR\\Acme.Document\\DefaultIcon\\ type=1 C:\\Program Files\\Acme\\doc.ico",
                     "REGSET HKCR\\Acme.Document\\shell\\Open\\Command\\ type=1 \"C:\\Program Files\\Acme\\acme.exe\" \"%1\"",
                     "COPY C:\\Temp\\cv101010\\doc.ico -> C:\\Program Files\\Acme\\doc.ico"}));
    // The extension was there with another class: both reported for removal to put back.
    EXPECT_EQ(run.prior.lines, (Lines{"KEY HKCR\\.acd", "VALUE HKCR\\.acd\\ type=1 OldClass"}));
    EXPECT_EQ(OpenCommandOf("C:\\a b\\p.exe", ""), "\"C:\\a b\\p.exe\" ");
}

TEST(ServiceTokens, ConstantsAndDefaults) {
    EXPECT_EQ(ServiceTypeOf("SERVICE_WIN32_OWN_PROCESS"), 0x10u);
    EXPECT_EQ(ServiceTypeOf("SERVICE_WIN32_SHARE_PROCESS"), 0x20u);
    EXPECT_EQ(ServiceTypeOf("SERVICE_INTERACTIVE_PROCESS"), 0x110u);
    EXPECT_EQ(ServiceTypeOf("own"), 0x10u);
    EXPECT_EQ(StartTypeOf("SERVICE_AUTO_START"), 2u);
    EXPECT_EQ(StartTypeOf("SERVICE_DEMAND_START"), 3u);
    EXPECT_EQ(StartTypeOf("SERVICE_DISABLED"), 4u);
    EXPECT_EQ(StartTypeOf("SERVICE_BOOT_START"), 0u);
    EXPECT_EQ(StartTypeOf("SERVICE_SYSTEM_START"), 1u);
    EXPECT_EQ(StartTypeOf(""), 3u);
    EXPECT_EQ(ErrorControlOf("SERVICE_ERROR_IGNORE"), 0u);
    EXPECT_EQ(ErrorControlOf("SERVICE_ERROR_CRITICAL"), 3u);
    EXPECT_EQ(ErrorControlOf("SERVICE_ERROR_SEVERE"), 1u);
}

void ServiceTable(SystemStepRun& run) {
    run.Table("NTSERVICE", {
        {{"A", "AcmeSvc"}, {"B", "Acme Service"}, {"C", "SERVICE_WIN32_OWN_PROCESS"}, {"D", "SERVICE_DISABLED"},
         {"E", "SERVICE_ERROR_IGNORE"}, {"F", "<InstallDir>svc.exe"}},
        {{"A", "Flaky"}, {"B", "Flaky Service"}, {"F", "f.exe"}},
        {{"A", "Last"}, {"B", "Last Service"}, {"F", "l.exe"}},
    });
}

TEST(Services, CreatedLoggedAndFailuresAsked) {
    SystemStepRun run;
    ServiceTable(run);
    run.target.service_results = {CreateServiceResult::Created, CreateServiceResult::Failed,
                                  CreateServiceResult::Failed, CreateServiceResult::NoManager};
    run.progress.answers = {kAnswerRetry, kAnswerIgnore};
    InstallServices(run.Engine());
    EXPECT_EQ(run.TargetLines({"SERVICE"}),
              (Lines{"SERVICE AcmeSvc \"Acme Service\" type=0x10 start=4 error=0 C:\\Program Files\\Acme\\svc.exe",
                     "SERVICE Flaky \"Flaky Service\" type=0x10 start=3 error=1 f.exe FAILED",
                     "SERVICE Flaky \"Flaky Service\" type=0x10 start=3 error=1 f.exe FAILED",
                     "SERVICE Last \"Last Service\" type=0x10 start=3 error=1 l.exe NOMANAGER"}));
    EXPECT_EQ(run.progress.lines,
              (Lines{"STATUS Installing Service...",
                     "ASK Corvane can't install Flaky Service service. What do you want to do ?",
                     "ASK Corvane can't install Flaky Service service. What do you want to do ?"}));
    EXPECT_EQ(run.log.Lines(), (Lines{"NTSERVICE=AcmeSvc"}));
    EXPECT_FALSE(run.Engine().aborted());
}

TEST(Services, AbortMarksTheRunAndTheOtherRowsStillRun) {
    SystemStepRun run;
    ServiceTable(run);
    run.target.service_results = {CreateServiceResult::Failed};
    run.progress.answers = {kAnswerAbort};
    InstallServices(run.Engine());
    EXPECT_TRUE(run.Engine().aborted());
    EXPECT_EQ(run.log.Lines(), (Lines{"NTSERVICE=Flaky", "NTSERVICE=Last"}));
}

TEST(Services, NothingOnTheOlderSystemsButTheStatus) {
    for (WindowsVersion v : {WindowsVersion{4, 10, 1998, false}, WindowsVersion{4, 90, 3000, false}}) {
        SystemStepRun run;
        run.context.version = v;
        ServiceTable(run);
        InstallServices(run.Engine());
        EXPECT_EQ(run.TargetLines({"SERVICE"}), Lines{});
        EXPECT_EQ(run.progress.lines, (Lines{"STATUS Installing Service..."}));
        EXPECT_EQ(run.log.Lines(), Lines{});
    }
    SystemStepRun none;
    InstallServices(none.Engine());
    EXPECT_EQ(none.progress.lines, Lines{}); // no rows: not even the status
}

TEST(FontValue, AnEarlierFontOfTheSameNameIsReported) {
    SystemStepRun run;
    const std::string key = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
    run.target.AddFile(std::string(test::kWork) + "acme.ttf", "font");
    run.target.AddRegistryValue(RegRoot::LocalMachine, key, "acme.ttf", RegistryData{kRegSz, std::string("Acme (TrueType)\0", 16)});
    EXPECT_TRUE(CopyOneFile(run.Engine(), std::string(test::kWork) + "acme.ttf", "C:\\Windows\\Fonts\\acme.ttf", false));
    EXPECT_EQ(run.prior.lines, (Lines{"VALUE HKLM\\" + key + "\\acme.ttf type=1 Acme (TrueType)"}));
    EXPECT_EQ(run.target.RegistryValue("HKLM\\" + key + "\\acme.ttf"), "acme.ttf");
}

} // namespace
} // namespace cv

namespace cv {
namespace {

// The stage "Setting system" in its order: shortcuts before it, then INI files, registry,
// associations, environment, and the services with their own status.
TEST(SystemStage, StepsRunInTheirOrderWithTheirStatus) {
    test::SystemStepRun run;
    run.DataInf({});
    run.target.AddRegistryKey(RegRoot::CurrentUser, "Environment");
    run.Table("FOLDERCV", {{{"A", "Desktop\\Tool"}, {"B", "Tool"}, {"C", "<InstallDir>tool.exe"}}});
    run.Table("INIINFO", {{{"A", "acme.ini"}, {"C", "<InstallDir>"}}});
    run.settings["REGISTRYKEYS/TOTAL"] = "1";
    run.settings["REGISTRYKEYS/0"] = "HKEY_CURRENT_USER\\Software\\Acme";
    run.Table("EXTCV", {{{"B", "<InstallDir>tool.exe"}, {"C", ".acd"}, {"D", "Acme.Doc"}}});
    run.Table("ENVIRCV", {{{"A", "ACME"}, {"C", "1"}, {"D", "Install"}, {"F", "Remove"}, {"G", "User"}}});
    run.Table("NTSERVICE", {{{"A", "AcmeSvc"}, {"B", "Acme"}, {"F", "svc.exe"}}});
    run.WholeRun();
    Lines system;
    for (const std::string& l : run.log.Lines())
        if (l.rfind("TOTALFILE", 0) != 0 && l.rfind("DIR=C:\\Program Files", 0) != 0)
            system.push_back(l);
    EXPECT_EQ(system, (Lines{"DIR=C:\\Users\\me\\Desktop\\", "SHORTCUT=C:\\Users\\me\\Desktop\\Tool.lnk",
                             "FILE=C:\\Program Files\\Acme\\acme.ini", "REGKEY=HKEY_CURRENT_USER\\Software\\Acme",
                             "REMKEY=HKEY_CLASSES_ROOT\\Acme.Doc", "REMKEY=HKEY_CLASSES_ROOT\\.acd",
                             "REGVAL=HKEY_CURRENT_USER\\Environment\\ACME", "NTSERVICE=AcmeSvc"}));
    const Lines status = run.progress.StatusLines();
    const auto at = [&](const std::string& s) { return std::find(status.begin(), status.end(), s) - status.begin(); };
    EXPECT_LT(at("STATUS Please Wait, Creating Shortcuts..."), at("STATUS Please Wait, Setting system..."));
    EXPECT_LT(at("STATUS Please Wait, Setting system..."), at("STATUS Installing Service..."));
    EXPECT_LT(at("STATUS Installing Service..."), at("STATUS Finishing settings..."));
    EXPECT_LT(at("STATUS Finishing settings..."), static_cast<long>(status.size()));
}

} // namespace
} // namespace cv
