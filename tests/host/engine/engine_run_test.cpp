// Whole runs over the recording doubles: the log, the changes and the status texts of a
// normal, preview, disk-image and split-files build, and the refusals of the file list.
#include "engine_fixture.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

using test::EngineRun;
using test::kLogFolder;
using test::kLogPath;
using test::kWork;
using Lines = std::vector<std::string>;

const Lines kDataInf = {
    "C:\\build\\app.exe",   "Destination Computer\\<InstallDir>*0*0*0|",
    "C:\\build\\readme.txt", "Destination Computer\\<InstallDir>\\docs\\*1*0*0|Docs",
    "C:\\build\\lib.dll",   "Destination Computer\\<InstallDir>\\bin*64*0*0|",
    "C:\\build\\docs2.txt", "Destination Computer\\<InstallDir>\\docs*0*0*0|",
};

void Product(EngineRun& run, const std::string& source_folder) {
    run.LogOnDisk();
    run.DataInf(kDataInf);
    run.settings["APPINFO/a1"] = "Acme Tools";
    run.settings["APPINFO/a2"] = "1.0";
    run.settings["APPINFO/a3"] = "ACME1";
    run.target.AddFile(source_folder + "F0_app.exe", "exe");
    run.target.AddFile(source_folder + "F1_readme.txt", "readme");
    run.target.AddFile(source_folder + "F2_lib.dll", "dll");
    run.target.AddFile(source_folder + "F3_docs2.txt", "docs2");
}

const Lines kFolderLog = {
    "TOTALFILE=4",
    "DIR=C:\\Program Files\\Acme\\",
    "DIR=C:\\Program Files\\Acme\\",
    "DIR=C:\\Program Files\\Acme\\docs",
    "DIR=C:\\Program Files\\Acme\\bin",
};

Lines Join(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Lines kRegistration = {
    "REGKEY HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ACME1",
    "REGSZ HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ACME1\\DisplayName=Acme Tools",
    "REGSZ HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ACME1\\DisplayVersion=1.0",
    "REGSZ HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ACME1\\LastInstallationPath=C:\\Program Files\\Acme\\",
    "REGSZ HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ACME1\\ModifyPath=cvexec.exe /M ACME1",
    "REGSZ HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ACME1\\UninstallString=cvexec.exe /R ACME1",
    "REGSZ HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ACME1\\InstallSource=C:\\Setup",
    "REGSZ HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ACME1\\QuietUninstallString=cvexec.exe /S ACME1",
    "REGSZ HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ACME1\\InstallLocation=C:\\Program Files\\Acme\\",
    "REGDWORD HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ACME1\\EstimatedSize=1",
};

const Lines kAllStatus = {
    "STATUS Loading data information...", "STATUS Creating directories...",
    "STATUS Please Wait, Copying Files...", "STATUS Please Wait, Creating Shortcuts...",
    "STATUS Please Wait, Setting system...", "STATUS Finishing settings...",
};

TEST(EngineRun, NormalBuild) {
    EngineRun run;
    Product(run, kWork);
    run.WholeRun();
    EXPECT_EQ(run.log.Lines(), Join(kFolderLog, {"FILE=C:\\Program Files\\Acme\\app.exe",
                                                 "FILE=C:\\Program Files\\Acme\\docs\\readme.txt",
                                                 "FILE=C:\\Program Files\\Acme\\docs\\docs2.txt"}));
    const std::string w = kWork;
    Lines expected = {
        // The log folder comes first, so "TOTALFILE" reaches a first installation's log.
        "MKDIR C:\\Windows\\Installer",
        "MKDIR C:\\Windows\\Installer\\ACME1",
        "MKDIR C:\\Program Files\\Acme",
        "MKDIR C:\\Program Files\\Acme\\docs",
        "MKDIR C:\\Program Files\\Acme\\bin",
        "COPY " + w + "F0_app.exe -> C:\\Program Files\\Acme\\app.exe",
        "COPY " + w + "F1_readme.txt -> C:\\Program Files\\Acme\\docs\\readme.txt",
        "ATTR C:\\Program Files\\Acme\\docs\\readme.txt=0x21",
        "COPY " + w + "F2_lib.dll -> C:\\Program Files\\Acme\\bin\\lib.dll",
        "COPY " + w + "F3_docs2.txt -> C:\\Program Files\\Acme\\docs\\docs2.txt",
        "COPY C:\\Setup\\language.lan -> C:\\Windows\\Installer\\ACME1\\language.lan FAILED",
    };
    expected = Join(expected, kRegistration);
    expected.push_back("DELTREE C:\\Temp\\cv101010");
    EXPECT_EQ(run.target.lines, expected);
    EXPECT_EQ(run.progress.lines, Join(Join({kAllStatus[0], kAllStatus[1], "RANGE 4"},
                                            Lines(kAllStatus.begin() + 2, kAllStatus.end())),
                                       {"STATUS Removing temporary files..."}));
    EXPECT_EQ(run.progress.positions, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(run.progress.traces, (Lines{"ATL BACK 1", "ATL BACK 2", "ATL BACK 5", "m1", "DEL TREE OK!", "m2"}));
    EXPECT_FALSE(run.Engine().aborted());
    EXPECT_EQ(run.log.text.substr(run.log.text.size() - 2), "\r\n");
}

TEST(EngineRun, PreviewShowsTheStatusTextsAndChangesNothing) {
    EngineRun run;
    Product(run, kWork);
    run.target.AddFile(kLogPath, "FILE=C:\\old\\stale.txt\r\n");
    run.context.preview = true;
    run.WholeRun();
    EXPECT_TRUE(run.target.lines.empty());
    EXPECT_TRUE(run.log.text.empty());
    EXPECT_EQ(run.progress.StatusLines(), kAllStatus);
    EXPECT_TRUE(run.target.HasFile(kLogPath)); // not even the old log goes
    EXPECT_TRUE(run.target.HasFolder(kWork));
}

TEST(EngineRun, AStaleLogIsDeletedBeforeTheNewRunWrites) {
    EngineRun run;
    Product(run, kWork);
    run.target.AddFile(kLogPath, "FILE=C:\\old\\stale.txt\r\n");
    run.Engine().BeginRun();
    EXPECT_EQ(run.target.lines, (Lines{"DEL " + std::string(kLogPath)}));
    EXPECT_FALSE(run.target.HasFile(kLogPath));
}

TEST(EngineRun, DiskImageBuildCopiesFromDiskImage1) {
    EngineRun run;
    run.context.disk_image = true;
    Product(run, "C:\\Setup\\DiskImage1\\");
    run.WholeRun();
    EXPECT_EQ(run.log.Lines(), Join(kFolderLog, {"FILE=C:\\Program Files\\Acme\\app.exe",
                                                 "FILE=C:\\Program Files\\Acme\\docs\\readme.txt",
                                                 "FILE=C:\\Program Files\\Acme\\docs\\docs2.txt"}));
    EXPECT_EQ(run.target.Content("C:\\Program Files\\Acme\\app.exe"), "exe");
    int copies_from_image = 0;
    for (const std::string& l : run.target.lines)
        copies_from_image += l.rfind("COPY C:\\Setup\\DiskImage1\\F", 0) == 0;
    EXPECT_EQ(copies_from_image, 4);
}

// The archive's side of a split-files build: each file extracted into the install folder and
// logged before it is written.
class FakeSplitInstaller : public ISplitInstaller {
  public:
    explicit FakeSplitInstaller(test::RecordingTarget& t, bool ok = true) : target_(t), ok_(ok) {}
    bool InstallFiles(const std::string& folder, UninstallLogWriter& log) override {
        folder_ = folder;
        for (const char* name : {"app.exe", "readme.txt"}) {
            log.WriteLogEntry("FILE", folder + name);
            target_.WriteWholeFile(folder + name, "x");
        }
        return ok_;
    }
    std::string folder_;

  private:
    test::RecordingTarget& target_;
    bool ok_;
};

TEST(EngineRun, SplitFilesBuildLetsTheArchiveInstall) {
    EngineRun run;
    run.context.split_files = true;
    run.context.disk_image = true;
    Product(run, "C:\\Setup\\");
    FakeSplitInstaller split(run.target);
    run.Engine().SetSplitInstaller(&split);
    run.WholeRun();
    EXPECT_EQ(run.Engine().source_folder(), "C:\\Setup\\");
    EXPECT_EQ(split.folder_, "C:\\Program Files\\Acme\\");
    EXPECT_EQ(run.log.Lines(), Join(kFolderLog, {"FILE=C:\\Program Files\\Acme\\app.exe",
                                                 "FILE=C:\\Program Files\\Acme\\readme.txt"}));
    for (const std::string& l : run.target.lines)
        EXPECT_NE(l.rfind("COPY C:\\Setup\\F", 0), 0u) << l; // CopyFiles did not run
    EXPECT_EQ(run.progress.StatusLines().back(), "STATUS Removing temporary files...");
}

TEST(EngineRun, AFailedSplitExtractionEndsTheRun) {
    EngineRun run;
    run.context.split_files = true;
    Product(run, "C:\\Setup\\");
    FakeSplitInstaller split(run.target, false);
    run.Engine().SetSplitInstaller(&split);
    run.Engine().BeginRun();
    run.Engine().InstallAll();
    EXPECT_EQ(run.progress.StatusLines().back(), "STATUS Please Wait, Copying Files...");
}

TEST(EngineRun, CancelDuringTheCopySkipsEveryLaterStep) {
    EngineRun run;
    Product(run, kWork);
    run.progress.cancel_at_position = 2;
    run.WholeRun();
    EXPECT_EQ(run.log.Lines(), Join(kFolderLog, {"FILE=C:\\Program Files\\Acme\\app.exe",
                                                 "FILE=C:\\Program Files\\Acme\\docs\\readme.txt"}));
    for (const std::string& l : run.target.lines)
        EXPECT_EQ(l.find("REG"), std::string::npos) << l;
    EXPECT_EQ(run.progress.StatusLines()[3], "STATUS Removing temporary files...");
}

TEST(EngineRun, TheFileListIsRefusedBeforeAnythingChanges) {
    struct Case {
        const char* name;
        Lines data_inf;
        std::string message;
    };
    Lines many_folders;
    for (int i = 0; i < 1601; ++i) {
        many_folders.push_back("C:\\b\\f" + std::to_string(i));
        many_folders.push_back("Destination Computer\\<InstallDir>\\d" + std::to_string(i) + "*0*0*0|");
    }
    const Case cases[] = {
        {"over-long record line",
         {"a.txt", "D\\x*0*0*0|", "b.txt", std::string(500, 'x') + "*0*0*0|"},
         "Error Number: 1\r\nMessage: LoadFileData() - Error\r\ndata.inf line 4: the destination folder is 500 "
         "characters long; at most 454 are allowed."},
        {"1601 folders",
         many_folders,
         "Error Number: 1\r\nMessage: LoadFileData() - Error\r\ndata.inf line 3201: the file list names more than "
         "1600 destination folders; the installation cannot go on."},
    };
    for (const Case& c : cases) {
        EngineRun run;
        run.LogOnDisk();
        run.DataInf(c.data_inf);
        run.target.lines.clear();
        run.Engine().BeginRun();
        run.Engine().InstallAll();
        EXPECT_EQ(run.progress.lines, (Lines{"STATUS Loading data information...", "MSG " + c.message})) << c.name;
        EXPECT_TRUE(run.target.lines.empty()) << c.name;
        EXPECT_TRUE(run.log.text.empty()) << c.name;
    }
}

TEST(EngineRun, AMissingOrEmptyFileList) {
    {
        EngineRun run;
        run.Engine().InstallAll();
        EXPECT_EQ(run.progress.lines.back(), "MSG Error Number: 1\r\nMessage: LoadFileData() - Error\r\n"
                                             "data.inf cannot be read: C:\\Temp\\cv101010\\data.inf");
    }
    {
        EngineRun run;
        run.LogOnDisk();
        run.DataInf({});
        run.WholeRun();
        EXPECT_EQ(run.log.Lines(), (Lines{"TOTALFILE=0", "DIR=C:\\Program Files\\Acme\\"}));
        EXPECT_EQ(run.progress.StatusLines().size(), 7u);
    }
}

// Folders the run made above a logged folder are logged before it, so that removal takes
// them; those inside the install folder are not (removal walks up to the install folder).
TEST(EngineRun, FoldersMadeAboveTheLoggedFoldersAreLogged) {
    EngineRun run;
    run.LogOnDisk();
    run.context.paths.install_dir = "C:\\Vendor\\Product\\";
    run.target.AddFolder("C:\\Shared");
    run.DataInf({"C:\\build\\a.txt", "Destination Computer\\<InstallDir>\\x\\y*0*0*0|",
                 "C:\\build\\b.txt", "Destination Computer\\C:\\Shared\\New\\Sub*0*0*0|",
                 "C:\\build\\c.txt", "Destination Computer\\C:\\Vendor\\Common*0*0*0|"});
    run.target.AddFile(std::string(kWork) + "F0_a.txt", "a");
    run.target.AddFile(std::string(kWork) + "F1_b.txt", "b");
    run.target.AddFile(std::string(kWork) + "F2_c.txt", "c");
    run.WholeRun();
    EXPECT_EQ(run.log.Lines(), (Lines{"TOTALFILE=3",
                                      "DIR=C:\\Vendor",
                                      "DIR=C:\\Vendor\\Product\\",
                                      "DIR=C:\\Vendor\\Product\\x\\y",
                                      "DIR=C:\\Shared\\New",
                                      "DIR=C:\\Shared\\New\\Sub",
                                      "DIR=C:\\Vendor\\Common",
                                      "FILE=C:\\Vendor\\Product\\x\\y\\a.txt",
                                      "FILE=C:\\Shared\\New\\Sub\\b.txt",
                                      "FILE=C:\\Vendor\\Common\\c.txt"}));
}

TEST(EngineRun, WorkFolderStaysForTheWizardsCleanupOrTheAddOnStep) {
    for (int which = 0; which < 2; ++which) {
        EngineRun run;
        (which == 0 ? run.context.work_folder_cleanup : run.context.add_on_pending) = true;
        Product(run, kWork);
        run.WholeRun();
        EXPECT_TRUE(run.target.HasFolder(kWork)) << which;
        const Lines status = run.progress.StatusLines();
        const bool removing_shown = status.back() == "STATUS Removing temporary files...";
        EXPECT_EQ(removing_shown, which == 1) << which; // the add-on case still says it
    }
}

} // namespace
} // namespace cv
