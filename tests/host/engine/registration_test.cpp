// The uninstall registration, the uninstall-time program and live update / live support.
#include "engine/step_live_update.h"
#include "engine/step_uninstall_program.h"
#include "engine/step_uninstall_registration.h"
#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace cv {
namespace {

using test::EngineRun;
using test::kLogFolder;
using test::kWork;
using Lines = std::vector<std::string>;

const std::string kKey = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The registration of one product, its settings given as "key=value" of APPINFO.
EngineRun& Register(EngineRun& run, const std::map<std::string, std::string>& appinfo) {
    for (const auto& [k, v] : appinfo)
        run.settings["APPINFO/" + k] = v;
    run.target.AddFolder(kLogFolder);
    run.target.AddFolder("C:\\Program Files\\Acme");
    RegisterUninstall(run.Engine());
    return run;
}

TEST(RegisterUninstall, ProductKeyAndItsValues) {
    EngineRun run;
    Register(run, {{"a1", "Acme"}, {"a2", "2.5"}, {"a3", "ABC"}, {"a19", ""}, {"a20", "Tools"},
                   {"a24", "http://help"}, {"a16", "Yes"}, {"a17", "yes"}});
    const std::string k = kKey + "ABC\\";
    const std::pair<const char*, const char*> values[] = {
        {"ModifyPath", "cvexec.exe /M ABC"}, {"UninstallString", "cvexec.exe /R ABC"}, {"DisplayName", "Acme"},
        {"DisplayVersion", "2.5"}, {"Comments", "Tools"}, {"HelpLink", "http://help"},
        {"LastInstallationPath", "C:\\Program Files\\Acme\\"}, {"InstallSource", "C:\\Setup"}, {"NoRemove", "1"},
    };
    for (const auto& [name, value] : values)
        EXPECT_EQ(run.target.RegistryValue(k + name), value) << name;
    // An empty a19 writes no value at all, "yes" is not "Yes", and a10 is not "Yes".
    for (const char* absent : {"Publisher", "URLInfoAbout", "NoModify", "NoRepair", "UninstallRemoveAll"})
        EXPECT_FALSE(run.target.HasRegistryValue(k + absent)) << absent;
    EXPECT_EQ(run.target.lines[1], "REGKEY " + kKey + "ABC");
}

TEST(RegisterUninstall, NoAddRemoveValuesWhenA14IsNo) {
    EngineRun run;
    run.target.AddFile(std::string(kWork) + "undo.exe", "undo");
    Register(run, {{"a1", "Acme"}, {"a3", "ABC"}, {"a14", "No"}, {"a10", "Yes"}, {"a11", "undo.exe"},
                   {"a12", "/quiet"}, {"a13", "No"}, {"a19", "Pub"}});
    const std::string k = kKey + "ABC\\";
    Lines registry;
    for (const std::string& l : run.target.lines)
        if (l.rfind("REG", 0) == 0)
            registry.push_back(l);
    EXPECT_EQ(registry, (Lines{"REGKEY " + kKey + "ABC",
                               "REGSZ " + k + "UninstallExecute=C:\\Program Files\\Acme\\undo.exe",
                               "REGSZ " + k + "UninstallCmdLine=/quiet", "REGSZ " + k + "UninstallRemoveAll=No"}));
    EXPECT_EQ(run.target.Content("C:\\Program Files\\Acme\\undo.exe"), "undo");
}

TEST(RegisterUninstall, SupportFilesBesideTheLogAndTheIcon) {
    EngineRun run;
    run.LogOnDisk();
    run.target.AddFile(std::string(kWork) + "cvexec.exe", "uninstaller");
    run.target.AddFile("C:\\Setup\\language.lan", "lang");
    run.target.AddFolder("C:\\Setup\\theme");
    run.target.AddFile(std::string(kWork) + "acme.ico", "icon");
    Register(run, {{"a3", "ABC"}, {"a10", "Yes"}, {"a18", "acme.ico"}});
    EXPECT_EQ(run.target.Content("C:\\Windows\\cvexec.exe"), "uninstaller");
    EXPECT_EQ(run.target.Content(std::string(kLogFolder) + "language.lan"), "lang");
    EXPECT_NE(std::find(run.target.lines.begin(), run.target.lines.end(),
                        "COPYTREE C:\\Setup\\theme -> " + std::string(kLogFolder)),
              run.target.lines.end());
    EXPECT_EQ(run.target.RegistryValue(kKey + "ABC\\DisplayIcon"), "C:\\Program Files\\Acme\\acme.ico");
    EXPECT_EQ(run.log.Lines(), (Lines{"FILE=C:\\Program Files\\Acme\\acme.ico"}));
    // An a11 that is not there: no UninstallExecute, but the remove-all value.
    EXPECT_FALSE(run.target.HasRegistryValue(kKey + "ABC\\UninstallExecute"));
    EXPECT_TRUE(run.target.HasRegistryValue(kKey + "ABC\\UninstallRemoveAll"));
}

TEST(RegisterUninstall, ADiskImageBuildFindsItsSupportFilesInDiskImage1) {
    EngineRun run;
    run.context.disk_image = true;
    const std::string image = "C:\\Setup\\DiskImage1\\";
    run.target.AddFile(image + "cvexec.exe", "uninstaller");
    run.target.AddFile(image + "undo.exe", "undo");
    run.target.AddFile(image + "acme.ico", "icon");
    Register(run, {{"a3", "ABC"}, {"a10", "Yes"}, {"a11", "undo.exe"}, {"a18", "acme.ico"}});
    EXPECT_EQ(run.target.Content("C:\\Windows\\cvexec.exe"), "uninstaller");
    EXPECT_EQ(run.target.RegistryValue(kKey + "ABC\\UninstallExecute"), "C:\\Program Files\\Acme\\undo.exe");
    EXPECT_EQ(run.target.RegistryValue(kKey + "ABC\\DisplayIcon"), "C:\\Program Files\\Acme\\acme.ico");
}

TEST(RegisterUninstall, AMissingIconOrUninstallerIsLeftOut) {
    EngineRun run;
    Register(run, {{"a3", "ABC"}, {"a18", "missing.ico"}});
    EXPECT_FALSE(run.target.HasRegistryValue(kKey + "ABC\\DisplayIcon"));
    EXPECT_FALSE(run.target.HasFile("C:\\Windows\\cvexec.exe"));
    EXPECT_TRUE(run.log.Lines().empty());
}

TEST(InstallUninstallProgram, TheA11Cases) {
    struct Case {
        const char* name;
        std::string a11;
        std::string a13;
        bool program_present;
        Lines log;
    };
    const Case cases[] = {
        {"empty a11, a13 No", "", "No", false, {"REMOVEALL=Yes"}},
        {"empty a11", "", "Yes", false, {}},
        {"a program that is not in the source folder", "undo.exe", "", false, {}},
        {"a program in the source folder", "C:\\build\\undo.exe", "No", true,
         {"RUN3RD=undo.exe", "RUN3RDCMD=/u C:\\Program Files\\Acme\\", "REMOVEALL=Yes"}},
        {"a URL", "http://example.com/undo.exe", "", false, {"RUN3RD=http://example.com/undo.exe", "RUN3RDCMD="}},
    };
    for (const Case& c : cases) {
        EngineRun run;
        run.settings["APPINFO/a11"] = c.a11;
        run.settings["APPINFO/a12"] = "/u <InstallDir>";
        run.settings["APPINFO/a13"] = c.a13;
        run.target.AddFolder(kLogFolder);
        if (c.program_present)
            run.target.AddFile(std::string(kWork) + "undo.exe", "undo");
        InstallUninstallProgram(run.Engine());
        EXPECT_EQ(run.log.Lines(), c.log) << c.name;
        EXPECT_EQ(run.target.HasFile(std::string(kLogFolder) + "undo.exe"), c.program_present) << c.name;
    }
}

TEST(InstallLiveUpdate, SettingsAndClientFilesEvenWithMissingSources) {
    EngineRun run;
    run.settings = {{"LIVEUPDATE/1", "Yes"},  {"LIVEUPDATE/2", "auto"},   {"LIVEUPDATE/3", "http://<ProductName>/up"},
                    {"LIVEUPDATE/4", "/s"},   {"LIVEUPDATE/5", ""},       {"LIVESUPPORT/1", "Yes"}};
    run.target.AddFolder("C:\\Program Files\\Acme");
    run.target.AddFile(std::string(kWork) + "liveupdate.exe", "lu");
    InstallLiveUpdate(run.Engine(), "K");
    const std::string d = "C:\\Program Files\\Acme\\";
    EXPECT_EQ(run.log.Lines(), (Lines{"FILE=" + d + "liveupdate.exe", "FILE=" + d, "FILE=" + d + "liveupdate.inf",
                                      "FILE=" + d, "FILE=" + d + "livesupport.exe", "FILE=" + d,
                                      "FILE=" + d + "livesupport.inf", "FILE=" + d}));
    EXPECT_EQ(run.target.RegistryValue("HKLM\\K\\LVurl"), "http://Acme/up");
    EXPECT_EQ(run.target.RegistryValue("HKLM\\K\\LVmode"), "auto");
    EXPECT_EQ(run.target.RegistryValue("HKLM\\K\\LVsilent"), "/s");
    EXPECT_EQ(run.target.Content(d + "liveupdate.exe"), "lu");
    EXPECT_FALSE(run.target.HasFile(d + "livesupport.exe"));
}

TEST(InstallLiveUpdate, AFolderWithoutTrailingBackslashStillHoldsTheFiles) {
    EngineRun run;
    run.settings = {{"LIVEUPDATE/1", "Yes"}, {"LIVEUPDATE/5", "C:\\Updates"}};
    InstallLiveUpdate(run.Engine(), "K");
    EXPECT_EQ(run.log.Lines(), (Lines{"FILE=C:\\Updates\\liveupdate.exe", "FILE=C:\\Updates",
                                      "FILE=C:\\Updates\\liveupdate.inf", "FILE=C:\\Updates"}));
}

TEST(InstallLiveUpdate, OnlyAnExactYesSwitchesThemOn) {
    EngineRun run;
    run.settings = {{"LIVEUPDATE/1", "yes"}, {"LIVESUPPORT/1", "No"}};
    InstallLiveUpdate(run.Engine(), "K");
    EXPECT_TRUE(run.log.Lines().empty());
    EXPECT_TRUE(run.target.lines.empty());
}

} // namespace
} // namespace cv

namespace cv {
namespace {

// The values deployment and inventory tools read, beside the ones above.
TEST(RegisterUninstall, QuietUninstallLocationDateAndSize) {
    EngineRun run;
    run.context.install_date = "20261208";
    run.target.AddFile("C:\\Program Files\\Acme\\a.exe", std::string(3000, 'a'));
    run.target.AddFile("C:\\Program Files\\Acme\\b.dll", std::string(1000, 'b'));
    run.target.AddFile("C:\\Program Files\\Acme\\docs.txt", std::string(5000, 'd'));
    run.features["Docs"] = 255; // not chosen: a docs.txt that is there is not the product's
    auto record = [](const std::string& name, const std::string& feature = "") {
        FileRecord r;
        r.file_name = name;
        r.destination_folder = "Destination Computer\\<InstallDir>";
        r.feature = feature;
        return r;
    };
    run.Engine().files() = {record("a.exe"), record("b.dll"), record("A.EXE"), record("docs.txt", "Docs"),
                            record("missing.txt")};
    Register(run, {{"a1", "Acme"}, {"a3", "ABC"}});
    const std::string k = kKey + "ABC\\";
    EXPECT_EQ(run.target.RegistryValue(k + "QuietUninstallString"), "cvexec.exe /S ABC");
    EXPECT_EQ(run.target.RegistryValue(k + "InstallLocation"), "C:\\Program Files\\Acme\\");
    EXPECT_EQ(run.target.RegistryValue(k + "InstallDate"), "20261208");
    // 4000 bytes of installed files (a.exe counted once) are 4 KB, rounded up.
    EXPECT_EQ(run.target.RegistryValue(k + "EstimatedSize"), "4");
    EXPECT_NE(std::find(run.target.lines.begin(), run.target.lines.end(), "REGDWORD " + k + "EstimatedSize=4"),
              run.target.lines.end());
    // The values of before keep their place: the new ones come last.
    EXPECT_EQ(run.target.lines.back(), "REGDWORD " + k + "EstimatedSize=4");
}

TEST(RegisterUninstall, ARepairKeepsTheFirstInstallDate) {
    EngineRun run;
    run.context.install_date = "20261208";
    run.target.WriteRegistryString(RegRoot::LocalMachine, UninstallKeyOf("ABC"), "InstallDate", "20250101");
    Register(run, {{"a3", "ABC"}});
    EXPECT_EQ(run.target.RegistryValue(kKey + "ABC\\InstallDate"), "20250101");
    // Nothing installed, nothing estimated, but the value is there.
    EXPECT_EQ(run.target.RegistryValue(kKey + "ABC\\EstimatedSize"), "0");
}

TEST(RegisterUninstall, ExtraValuesFollowA14) {
    EngineRun run;
    run.context.install_date = "20261208";
    Register(run, {{"a3", "ABC"}, {"a14", "No"}});
    for (const char* name : {"QuietUninstallString", "InstallLocation", "InstallDate", "EstimatedSize"})
        EXPECT_FALSE(run.target.HasRegistryValue(kKey + "ABC\\" + name)) << name;
}

} // namespace
} // namespace cv
