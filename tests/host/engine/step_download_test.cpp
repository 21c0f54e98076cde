// The records whose source is a web address: the address and its condition part, the
// destination, and what a failed, cancelled or retried download does to the run.
#include "engine/step_download.h"
#include "engine/step_files.h"
#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <deque>

namespace cv {
namespace {

using test::EngineRun;
using test::kWork;
using Lines = std::vector<std::string>;

const std::string kFolder = "C:\\Program Files\\Acme";
const std::string kDest = kFolder + "\\tool.exe";

/// A download client that plays a script: each call writes what the server would have sent
/// (the whole file, or a partial one before a failure or a cancel) and gives its result.
class ScriptedDownload : public IFileDownload {
  public:
    struct Step {
        DownloadResult result;
        std::string bytes; ///< left at the destination by this attempt
    };
    explicit ScriptedDownload(test::RecordingTarget& target) : target_(target) {}
    std::deque<Step> steps;
    Lines calls;

    DownloadResult Download(const std::string& url, const std::string& destination) override {
        calls.push_back(url + " -> " + destination);
        if (steps.empty())
            return DownloadResult::Failed;
        Step step = steps.front();
        steps.pop_front();
        target_.AddFile(destination, step.bytes);
        return step.result;
    }

  private:
    test::RecordingTarget& target_;
};

FileRecord UrlRecord(std::string source, std::int32_t flags = 0) {
    FileRecord r;
    r.source = std::move(source);
    r.file_name = std::string(FileNamePart(r.source));
    r.destination_folder = "Destination Computer\\<InstallDir>";
    r.flags = flags;
    return r;
}

Lines Questions(const test::RecordingProgress& p) {
    Lines out;
    for (const std::string& l : p.lines)
        if (l.rfind("ASK", 0) == 0)
            out.push_back(l);
    return out;
}

const std::string kAsk = "ASK Corvane can't copy the file:\r\n" + kDest + "\r\nWhat you would like to do ?";
const std::string kAskCritical =
    "ASK-ABORT Corvane will abort installation, the file:\r\n" + kDest + "\r\nCan't be installed.";
const std::string kUrl = "http://127.0.0.1:8080/dir/tool.exe";
const std::string kCall = kUrl + " -> " + kDest;
constexpr auto kDone = DownloadResult::Done;
constexpr auto kFailed = DownloadResult::Failed;
constexpr auto kCancelled = DownloadResult::Cancelled;

struct RunCase {
    const char* name;
    std::int32_t flags;
    std::deque<ScriptedDownload::Step> steps;
    std::deque<int> answers;
    bool copy_files_result;
    Lines calls;
    Lines questions;
    std::optional<std::string> left_at_destination; ///< nullopt: nothing there
    bool aborted;
    Lines log;
};

TEST(InstallUrlRecord, FailuresAreAskedAboutLikeACopyAndLeaveNothingBehind) {
    const std::string file = "FILE=" + kDest;
    const RunCase cases[] = {
        {"fetched at once", 0, {{kDone, "MZ-all"}}, {}, true, {kCall}, {}, "MZ-all", false, {file}},
        {"failed, retried, fetched", 0, {{kFailed, "MZ-"}, {kDone, "MZ-all"}}, {kAnswerRetry}, true,
         {kCall, kCall}, {kAsk}, "MZ-all", false, {file}},
        {"failed and ignored: the partial file goes, the run goes on", 0, {{kFailed, "MZ-"}}, {kAnswerIgnore},
         true, {kCall}, {kAsk}, std::nullopt, false, {file}},
        {"failed and aborted", 0, {{kFailed, "MZ-"}}, {kAnswerAbort}, false, {kCall}, {kAsk}, std::nullopt, true,
         {}},
        {"failed twice, then aborted", 0, {{kFailed, ""}, {kFailed, "M"}}, {kAnswerRetry, kAnswerAbort}, false,
         {kCall, kCall}, {kAsk, kAsk}, std::nullopt, true, {}},
        {"a critical file's failure offers only Abort", kFlagCritical, {{kFailed, "MZ-"}}, {kAnswerRetry}, false,
         {kCall}, {kAskCritical}, std::nullopt, true, {}},
        {"cancelled: no question, the partial file goes", 0, {{kCancelled, "MZ-"}}, {}, false, {kCall}, {},
         std::nullopt, false, {}},
        {"permanent: fetched but not logged", kFlagPermanent, {{kDone, "MZ-all"}}, {}, true, {kCall}, {}, "MZ-all",
         false, {}},
    };
    for (const RunCase& c : cases) {
        EngineRun run;
        run.target.AddFolder(kFolder);
        ScriptedDownload download(run.target);
        download.steps = c.steps;
        run.progress.answers = c.answers;
        run.Engine().SetFileDownload(&download);
        run.Engine().files() = {UrlRecord(kUrl, c.flags)};
        EXPECT_EQ(CopyFiles(run.Engine()), c.copy_files_result) << c.name;
        EXPECT_EQ(download.calls, c.calls) << c.name;
        EXPECT_EQ(Questions(run.progress), c.questions) << c.name;
        EXPECT_EQ(run.target.HasFile(kDest), c.left_at_destination.has_value()) << c.name;
        if (c.left_at_destination && run.target.HasFile(kDest)) {
            EXPECT_EQ(run.target.Content(kDest), *c.left_at_destination) << c.name;
        }
        EXPECT_EQ(run.Engine().aborted(), c.aborted) << c.name;
        EXPECT_EQ(run.log.Lines(), c.log) << c.name;
    }
}

TEST(InstallUrlRecord, ACancelledDownloadStopsTheFilesAfterIt) {
    EngineRun run;
    run.target.AddFolder(kFolder);
    run.target.AddFile(std::string(kWork) + "F1_b.txt");
    FileRecord local;
    local.source = "C:\\build\\b.txt";
    local.file_name = "b.txt";
    local.destination_folder = "Destination Computer\\<InstallDir>";
    ScriptedDownload download(run.target);
    download.steps = {{kCancelled, "part"}};
    run.Engine().SetFileDownload(&download);
    run.Engine().files() = {UrlRecord(kUrl), local};
    EXPECT_FALSE(CopyFiles(run.Engine()));
    EXPECT_FALSE(run.target.HasFile(kDest));
    EXPECT_FALSE(run.target.HasFile(kFolder + "\\b.txt"));
    EXPECT_TRUE(run.log.Lines().empty());
    EXPECT_FALSE(run.Engine().aborted()); // ended as a cancelled copy ends, not as an abort
}

TEST(InstallUrlRecord, WithoutADownloadClientTheRecordFailsLikeAMissingSource) {
    EngineRun run;
    run.target.AddFolder(kFolder);
    run.progress.answers = {kAnswerRetry, kAnswerIgnore};
    run.Engine().files() = {UrlRecord(kUrl)};
    EXPECT_TRUE(CopyFiles(run.Engine()));
    EXPECT_EQ(Questions(run.progress), (Lines{kAsk, kAsk}));
    EXPECT_FALSE(run.target.HasFile(kDest));
    EXPECT_EQ(run.log.Lines(), (Lines{"FILE=" + kDest}));
}

TEST(InstallUrlRecord, AnExistingFileFlaggedOnlyIfAbsentIsNotFetched) {
    EngineRun run;
    run.target.AddFolder(kFolder);
    run.target.AddFile(kDest, "old");
    ScriptedDownload download(run.target);
    download.steps = {{kDone, "new"}};
    run.Engine().SetFileDownload(&download);
    run.Engine().files() = {UrlRecord(kUrl, kFlagOnlyIfAbsent)};
    EXPECT_TRUE(CopyFiles(run.Engine()));
    EXPECT_TRUE(download.calls.empty());
    EXPECT_EQ(run.target.Content(kDest), "old");
}

TEST(InstallUrlRecord, TheConditionPartIsCutOffAndDecidesTheDownload) {
    for (bool holds : {true, false}) {
        EngineRun run;
        run.target.AddFolder(kFolder);
        Lines asked;
        run.context.condition_holds = [&](const std::string& name) {
            asked.push_back(name);
            return holds;
        };
        ScriptedDownload download(run.target);
        download.steps = {{kDone, "MZ"}};
        run.Engine().SetFileDownload(&download);
        // The record's own file name, taken after the last slash, still carries the part.
        run.Engine().files() = {UrlRecord(kUrl + "{Needs Tool}")};
        EXPECT_TRUE(CopyFiles(run.Engine()));
        EXPECT_EQ(asked, Lines{"Needs Tool"});
        EXPECT_EQ(download.calls, holds ? Lines{kCall} : Lines{});
        EXPECT_EQ(run.target.HasFile(kDest), holds);
        EXPECT_EQ(run.log.Lines(), Lines{"FILE=" + kDest}); // as a switched-off feature's file
    }
}

TEST(SplitUrlSource, AddressAndCondition) {
    struct Case {
        const char* source;
        const char* url;
        const char* condition;
    } cases[] = {
        {"http://h/a.exe", "http://h/a.exe", ""},
        {"http://h/a.exe{Cond}", "http://h/a.exe", "Cond"},
        {"http://h/a.exe{ Two Words }", "http://h/a.exe", "Two Words"},
        {"http://h/a.exe{Open", "http://h/a.exe", "Open"},
        {"http://h/a.exe{}", "http://h/a.exe", ""},
        {"https://h/a.exe{A}{B}", "https://h/a.exe", "A"},
    };
    for (const Case& c : cases) {
        UrlSource cut = SplitUrlSource(c.source);
        EXPECT_EQ(cut.url, c.url) << c.source;
        EXPECT_EQ(cut.condition, c.condition) << c.source;
    }
}

TEST(UrlDestinationPathOf, NamesTheFileAfterTheLastSlashOfTheAddress) {
    FileRecord r = UrlRecord("https://h:8443/d/setup.exe{Cond}");
    EXPECT_EQ(UrlDestinationPathOf(r), "<InstallDir>\\setup.exe");
    r.destination_folder = "Destination Computer\\<InstallDir>\\bin\\";
    EXPECT_EQ(UrlDestinationPathOf(r), "<InstallDir>\\bin\\setup.exe");
}

} // namespace
} // namespace cv
