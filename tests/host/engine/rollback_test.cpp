// The rollback of a cancelled or aborted run through the engine, on the recording target:
// what the run created goes, what it overwrote comes back from the copy taken first, and an
// earlier installation's log and prior-state file are put back; a finished run keeps its
// copies in the log folder.
#include "engine/prior_state_file.h"
#include "engine/removal_plan.h"
#include "engine/step_shortcuts.h"
#include "engine_fixture.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

using test::EngineRun;
using test::kLogFolder;
using test::kLogPath;
using test::kWork;
using test::RecordingTarget;

// Removal on the same in-memory machine as the installation.
class RemovalOnRecording : public IRemovalTarget {
  public:
    explicit RemovalOnRecording(RecordingTarget& t) : t_(t) {}
    bool RunAndWait(const std::string&) override { return false; }
    bool OpenUrl(const std::string&) override { return false; }
    bool StopAndDeleteService(const std::string&) override { return true; }
    bool FileExists(const std::string& path) override { return t_.FileExists(path); }
    bool FolderExists(const std::string& path) override { return t_.FolderExists(path); }
    bool RemoveFile(const std::string& path) override {
        t_.SetAttributes(path, kAttrNormal);
        return t_.RemoveFile(path);
    }
    bool RestoreFile(const std::string& from, const std::string& to) override {
        if (t_.FileExists(to))
            t_.SetAttributes(to, kAttrNormal);
        return t_.CopyFileReplacing(from, to);
    }
    bool RemoveFolderIfEmpty(const std::string& path) override { return t_.RemoveFolderIfEmpty(path); }
    bool EmptyFolder(const std::string&) override { return false; }
    bool DeleteTree(const std::string& path) override { return t_.DeleteTree(path); }
    bool UnregisterFont(const std::string&) override { return true; }
    bool RemoveFileNowOrAtRestart(const std::string& path) override { return t_.RemoveFile(path); }
    std::optional<RegistryData> ReadRegistryValue(RegRoot, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    bool WriteRegistryValue(RegRoot, const std::string&, const std::string&, const RegistryData&) override {
        return true;
    }
    bool DeleteRegistryValue(RegRoot, const std::string&, const std::string&) override { return true; }
    bool RegistryKeyExists(RegRoot, const std::string&) override { return false; }
    bool DeleteRegistryKeyIfEmpty(RegRoot, const std::string&) override { return true; }
    bool DeleteRegistryTree(RegRoot, const std::string&) override { return true; }
    void BroadcastEnvironmentChange() override {}
    std::optional<std::string> ReadIniEntry(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    bool WriteIniEntry(const std::string&, const std::string&, const std::string&, const std::string&) override {
        return true;
    }
    bool DeleteIniEntry(const std::string&, const std::string&, const std::string&) override { return true; }

  private:
    RecordingTarget& t_;
};

const std::string kPriorPath = std::string(kLogFolder) + "prior.log";

// Three files: one over the machine's own C:\Shared\lib.txt, two into the install folder.
struct RollbackRun : EngineRun {
    test::MemoryLog prior_file;
    PriorStateRecorder recorder{prior_file};
    RemovalOnRecording removal{target};

    RollbackRun() {
        LogOnDisk();
        DataInf({"C:\\build\\lib.txt", "Destination Computer\\C:\\Shared*0*0*0|", "C:\\build\\app.exe",
                 "Destination Computer\\<InstallDir>\\bin*1*0*0|", "C:\\build\\readme.txt",
                 "Destination Computer\\<InstallDir>*0*0*0|"});
        target.AddFile(std::string(kWork) + "F0_lib.txt", "product lib");
        target.AddFile(std::string(kWork) + "F1_app.exe", "app");
        target.AddFile(std::string(kWork) + "F2_readme.txt", "readme");
        target.AddFile("C:\\Shared\\lib.txt", "machine lib");
        Engine().EnableRollback(&recorder, &removal);
    }
};

TEST(Rollback, ACancelledRunLeavesTheMachineAsBefore) {
    RollbackRun run;
    run.progress.cancel_at_position = 2; // after lib.txt and app.exe
    run.WholeRun();
    EXPECT_EQ(run.target.Content("C:\\Shared\\lib.txt"), "machine lib");
    EXPECT_TRUE(run.target.HasFolder("C:\\Shared"));
    EXPECT_FALSE(run.target.HasFile("C:\\Program Files\\Acme\\bin\\app.exe"));
    EXPECT_FALSE(run.target.HasFolder("C:\\Program Files\\Acme"));
    EXPECT_TRUE(run.target.HasFolder("C:\\Program Files"));
    EXPECT_FALSE(run.target.HasFolder(kLogFolder)) << "the log folder this run made is left";
    EXPECT_FALSE(run.target.HasFolder(kWork)) << "the work folder is left";
    // The undoing happened before the work folder, with the copy, was removed.
    const auto& lines = run.target.lines;
    const auto restored = std::find(lines.begin(), lines.end(),
                                    std::string("COPY ") + kWork + "backup\\cv101010_0_lib.txt -> C:\\Shared\\lib.txt");
    const auto work_gone = std::find(lines.begin(), lines.end(), std::string("DELTREE C:\\Temp\\cv101010"));
    EXPECT_NE(restored, lines.end());
    EXPECT_LT(restored, work_gone);
}

TEST(Rollback, AnAbortedUpdatePutsTheEarlierInstallationBack) {
    RollbackRun run;
    const std::string earlier_log = "TOTALFILE=1\r\nDIR=C:\\Program Files\\Acme\\\r\n"
                                    "FILE=C:\\Program Files\\Acme\\readme.txt\r\n";
    const std::string earlier_prior = "INIFILE=M\tC:\\Windows\\win.ini\r\n";
    run.target.AddFile(kLogPath, earlier_log);
    run.target.AddFile(kPriorPath, earlier_prior);
    run.target.AddFile("C:\\Program Files\\Acme\\readme.txt", "readme 1.0");
    run.target.FailCopiesTo("C:\\Program Files\\Acme\\readme.txt"); // its copy fails: Abort
    run.WholeRun();

    EXPECT_TRUE(run.engine->aborted());
    EXPECT_EQ(run.target.Content(kLogPath), earlier_log);
    EXPECT_EQ(run.target.Content(kPriorPath), earlier_prior);
    EXPECT_EQ(run.target.Content("C:\\Program Files\\Acme\\readme.txt"), "readme 1.0");
    EXPECT_EQ(run.target.Content("C:\\Shared\\lib.txt"), "machine lib");
    EXPECT_FALSE(run.target.HasFolder("C:\\Program Files\\Acme\\bin"));
    // The earlier installation's records went first into this run's prior-state file.
    EXPECT_EQ(run.prior_file.text.rfind(earlier_prior, 0), 0u);
}

TEST(Rollback, AFinishedRunKeepsItsCopiesForTheRemoval) {
    RollbackRun run;
    run.WholeRun();
    EXPECT_EQ(run.target.Content("C:\\Shared\\lib.txt"), "product lib");
    const std::vector<PriorRecord> records = ReadPriorState(run.prior_file.text).records;
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].path, "C:\\Shared\\lib.txt");
    EXPECT_EQ(records[0].backup, std::string(kWork) + "backup\\cv101010_0_lib.txt");
    const std::string keep = "COPYTREE " + std::string(kWork) + "backup -> " + kLogFolder;
    EXPECT_NE(std::find(run.target.lines.begin(), run.target.lines.end(), keep), run.target.lines.end());
    EXPECT_TRUE(run.target.HasFile("C:\\Program Files\\Acme\\bin\\app.exe"));
}


// A shortcut step over the user's own desktop links: a .lnk and a .url that were there, two
// rows of the same link, and a new .lnk beside the .url.
struct ShortcutRun : EngineRun {
    test::MemoryLog prior_file;
    PriorStateRecorder recorder{prior_file};
    RemovalOnRecording removal{target};

    ShortcutRun() {
        LogOnDisk();
        context.paths.desktop_folder = "C:\\Desktop";
        target.AddFolder("C:\\Desktop");
        target.AddFile("C:\\Desktop\\Tool.lnk", "the user's link");
        target.AddFile("C:\\Desktop\\Site.url", "the user's url");
        target.AddFolder(kLogFolder);
        const char* rows[][3] = {{"Desktop\\Tool", "Tool", "<InstallDir>tool.exe"},
                                 {"Desktop\\Tool", "Tool", "<InstallDir>tool.exe"},
                                 {"Desktop\\Site", "Site", "http://acme.example/"}};
        settings["FOLDERCV/TOTAL"] = "3";
        for (int i = 0; i < 3; ++i) {
            settings["FOLDERCV/A" + std::to_string(i)] = rows[i][0];
            settings["FOLDERCV/B" + std::to_string(i)] = rows[i][1];
            settings["FOLDERCV/C" + std::to_string(i)] = rows[i][2];
        }
        Engine().EnableRollback(&recorder, &removal);
        Engine().BeginRun();
        CreateShortcuts(Engine());
    }
};

TEST(Rollback, AShortcutOverTheUsersOwnIsCopiedFirstAndPutBack) {
    ShortcutRun run;
    const std::string lnk_copy = std::string(kWork) + "backup\\cv101010_lnk0_Tool.lnk";
    const std::string url_copy = std::string(kWork) + "backup\\cv101010_url2_Site.url";
    std::vector<std::string> noted;
    for (const PriorRecord& r : run.recorder.this_run())
        noted.push_back(r.path + " <- " + r.backup);
    // The second row of the same link and the new Site.lnk are the product's: no copy.
    EXPECT_EQ(noted, (std::vector<std::string>{"C:\\Desktop\\Tool.lnk <- " + lnk_copy,
                                               "C:\\Desktop\\Site.url <- " + url_copy}));
    EXPECT_EQ(run.target.Content(lnk_copy), "the user's link");
    EXPECT_EQ(run.target.Content(url_copy), "the user's url");
    EXPECT_NE(run.target.Content("C:\\Desktop\\Tool.lnk"), "the user's link");

    // The removal puts them back from the log folder's copies and deletes only the new link.
    RemovalInput in;
    in.log = ReadUninstallLog(run.log.text);
    in.prior = ReadPriorState(run.prior_file.text).records;
    in.backup_folder = std::string(kLogFolder) + "backup\\";
    in.protected_folders = {"C:\\Desktop"};
    std::vector<std::string> steps;
    for (const RemovalStep& s : PlanRemoval(in).steps)
        steps.push_back(DescribeRemovalStep(s));
    EXPECT_EQ(steps, (std::vector<std::string>{
                         "RESTORE-FILE C:\\Desktop\\Tool.lnk <- " + std::string(kLogFolder) + "backup\\cv101010_lnk0_Tool.lnk",
                         "RESTORE-FILE C:\\Desktop\\Site.url <- " + std::string(kLogFolder) + "backup\\cv101010_url2_Site.url",
                         "REMOVE-SHORTCUT C:\\Desktop\\Site.lnk"}));

    // A rollback puts them back from the work folder's copies.
    run.engine->RollBack();
    EXPECT_EQ(run.target.Content("C:\\Desktop\\Tool.lnk"), "the user's link");
    EXPECT_EQ(run.target.Content("C:\\Desktop\\Site.url"), "the user's url");
    EXPECT_FALSE(run.target.HasFile("C:\\Desktop\\Site.lnk"));
    EXPECT_TRUE(run.target.HasFolder("C:\\Desktop"));
}

TEST(Rollback, AShortcutOfTheEarlierInstallationIsTheProducts) {
    test::MemoryLog sink;
    PriorStateRecorder recorder(sink);
    recorder.StartFromEarlier(ReadUninstallLog("SHORTCUT=C:\\Desktop\\Tool.lnk\r\n"), {});
    recorder.FileReplaced("c:\\desktop\\tool.LNK", "C:\\Temp\\b1");
    recorder.FileReplaced("C:\\Desktop\\Other.lnk", "C:\\Temp\\b2");
    ASSERT_EQ(recorder.this_run().size(), 2u);
    EXPECT_TRUE(recorder.this_run()[0].earlier);
    EXPECT_FALSE(recorder.this_run()[1].earlier);
}

} // namespace
} // namespace cv
