// CopyFiles and CopyOneFile: each flag's decision, the font case, the copy-error question.
#include "engine/step_files.h"
#include "engine_fixture.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

using test::EngineRun;
using test::kWork;
using Lines = std::vector<std::string>;

const std::string kDest = "C:\\Program Files\\Acme\\a.txt";
const std::string kSource = std::string(kWork) + "F0_a.txt";

// The questions asked, without the status texts around them.
Lines Questions(const test::RecordingProgress& p) {
    Lines out;
    for (const std::string& l : p.lines)
        if (l.rfind("ASK", 0) == 0)
            out.push_back(l);
    return out;
}

FileRecord Record(std::int32_t flags, std::string folder = "Destination Computer\\<InstallDir>",
                  std::string name = "a.txt") {
    FileRecord r;
    r.file_name = name;
    r.source = "C:\\build\\" + name;
    r.destination_folder = std::move(folder);
    r.flags = flags;
    return r;
}

struct FlagCase {
    const char* name;
    std::int32_t flags;
    std::uint32_t source_attributes;
    std::optional<std::uint32_t> existing; ///< attributes of a destination already there
    Lines target;                          ///< the changes, in order
    Lines log;
};

TEST(CopyFiles, EachFlagsDecision) {
    const std::string copy = "COPY " + kSource + " -> " + kDest;
    const std::string file = "FILE=" + kDest;
    const FlagCase cases[] = {
        {"plain", 0, kAttrArchive, std::nullopt, {copy}, {file}},
        {"read-only bit 1", 1, kAttrArchive, std::nullopt, {copy, "ATTR " + kDest + "=0x21"}, {file}},
        {"read-only bit 2", 2, kAttrArchive, std::nullopt, {copy, "ATTR " + kDest + "=0x21"}, {file}},
        {"hidden", 4, kAttrArchive, std::nullopt, {copy, "ATTR " + kDest + "=0x22"}, {file}},
        {"system", 8, kAttrArchive, std::nullopt, {copy, "ATTR " + kDest + "=0x24"}, {file}},
        {"read-only source without the flag is cleared", 0, kAttrArchive | kAttrReadOnly, std::nullopt,
         {copy, "ATTR " + kDest + "=0x20"}, {file}},
        {"read-only destination is reset and copied over", 0, kAttrArchive, kAttrReadOnly,
         {copy + " FAILED", "ATTR " + kDest + "=0x80", copy}, {file}},
        {"only if absent, absent", 32, kAttrArchive, std::nullopt, {copy}, {file}},
        {"only if absent, present: kept but logged", 32, kAttrArchive, kAttrArchive, {}, {file}},
        {"only if absent, present and permanent", 32 | 64, kAttrArchive, kAttrArchive, {}, {}},
        {"permanent", 64, kAttrArchive, std::nullopt, {copy}, {}},
        {"self-register", 128, kAttrArchive, std::nullopt, {copy, "RUN regsvr32.exe /s \"" + kDest + "\""}, {file}},
        {"critical, copied", 16, kAttrArchive, std::nullopt, {copy}, {file}},
        {"hidden system read-only permanent", 1 | 4 | 8 | 64, kAttrArchive, std::nullopt,
         {copy, "ATTR " + kDest + "=0x27"}, {}},
    };
    for (const FlagCase& c : cases) {
        EngineRun run;
        run.target.AddFile(kSource, "data", c.source_attributes);
        run.target.AddFolder("C:\\Program Files\\Acme");
        if (c.existing)
            run.target.AddFile(kDest, "old", *c.existing);
        run.target.lines.clear();
        run.Engine().files() = {Record(c.flags)};
        EXPECT_TRUE(CopyFiles(run.Engine())) << c.name;
        EXPECT_EQ(run.target.lines, c.target) << c.name;
        EXPECT_EQ(run.log.Lines(), c.log) << c.name;
        EXPECT_TRUE(run.progress.lines.empty()) << c.name; // no question asked
        const bool kept = (c.flags & 32) && c.existing;
        EXPECT_EQ(run.target.Content(kDest), kept ? "old" : "data") << c.name;
    }
}

// The log does not say which library registered itself: the prior state notes it, so that
// removal unregisters it; a permanent one stays registered.
TEST(CopyFiles, ASelfRegisteredLibraryIsNotedForRemoval) {
    struct Case {
        std::int32_t flags;
        Lines prior;
    } cases[] = {
        {128, {"SELFREG " + kDest}},
        {128 | 64, {}},
        {0, {}},
    };
    for (const Case& c : cases) {
        EngineRun run;
        test::RecordingPriorState prior;
        run.target.AddFile(kSource, "data");
        run.target.AddFolder("C:\\Program Files\\Acme");
        run.Engine().SetPriorState(&prior);
        run.Engine().files() = {Record(c.flags)};
        EXPECT_TRUE(CopyFiles(run.Engine()));
        EXPECT_EQ(prior.lines, c.prior) << c.flags;
    }
}

TEST(CopyFiles, ExpandInsideInstallsTheExpandedTextAndRemovesItsTemporaryCopy) {
    EngineRun run;
    run.target.AddFile(kSource, "path=<InstallDir>bin\r\nname=<ProductName>\r\n");
    run.target.AddFolder("C:\\Program Files\\Acme");
    run.target.lines.clear();
    run.Engine().files() = {Record(256)};
    ASSERT_TRUE(CopyFiles(run.Engine()));
    EXPECT_EQ(run.target.Content(kDest), "path=C:\\Program Files\\Acme\\bin\r\nname=Acme\r\n");
    EXPECT_EQ(run.target.lines, (Lines{"WRITE " + kSource + "2", "COPY " + kSource + "2 -> " + kDest,
                                       "DEL " + kSource + "2"}));
    EXPECT_EQ(run.target.Content(kSource), "path=<InstallDir>bin\r\nname=<ProductName>\r\n");
}

TEST(CopyFiles, ExpandInsideFromADiskImageWritesIntoTheWorkFolder) {
    EngineRun run;
    run.context.disk_image = true;
    const std::string source = "C:\\Setup\\DiskImage1\\F0_a.txt";
    run.target.AddFile(source, "<ProductName>");
    run.target.AddFolder("C:\\Program Files\\Acme");
    run.target.lines.clear();
    run.Engine().files() = {Record(256)};
    ASSERT_TRUE(CopyFiles(run.Engine()));
    EXPECT_EQ(run.target.Content(kDest), "Acme");
    EXPECT_EQ(run.target.lines[0], "WRITE " + kSource + "2");
    EXPECT_FALSE(run.target.HasFile(source + "2"));
}

TEST(CopyFiles, ExpandInsideOfAMissingSourceFailsLikeAnyCopy) {
    EngineRun run;
    run.target.AddFolder("C:\\Program Files\\Acme");
    run.progress.answers = {kAnswerIgnore};
    run.Engine().files() = {Record(256)};
    ASSERT_TRUE(CopyFiles(run.Engine()));
    EXPECT_FALSE(run.target.HasFile(kDest)); // no empty file installed in its place
    EXPECT_EQ(run.progress.lines.size(), 1u);
}

TEST(CopyFiles, ExpandInsideWithoutAWorkFolderFailsRatherThanInstallingTheRawText) {
    EngineRun run;
    run.context.disk_image = true;
    run.target.DeleteTree(kWork);
    run.target.AddFile("C:\\Setup\\DiskImage1\\F0_a.txt", "<ProductName>");
    run.target.AddFolder("C:\\Program Files\\Acme");
    run.progress.answers = {kAnswerIgnore};
    run.Engine().files() = {Record(256)};
    ASSERT_TRUE(CopyFiles(run.Engine()));
    EXPECT_FALSE(run.target.HasFile(kDest));
    EXPECT_EQ(Questions(run.progress).size(), 1u);
}

TEST(CopyFiles, RecordsThatAreSkippedOrOnlyLogged) {
    EngineRun run;
    run.features = {{"Extras", 255}, {"Core", 0}};
    run.target.AddFolder("C:\\Program Files\\Acme\\empty");
    std::vector<FileRecord> records = {
        Record(0, "Destination Computer\\<InstallDir>\\empty", "rcsemptyfolder"), // F0: folder only
        Record(0, "Destination Computer\\<InstallDir>", "xp.dll"),                // F1: mask 64
        Record(0, "Destination Computer\\<InstallDir>", "extra.txt"),             // F2: feature off
        Record(0, "Destination Computer\\<InstallDir>", "core.txt"),              // F3: feature on
        Record(0, "Destination Computer\\<InstallDir>", "vista.dll"),             // F4: mask 256 + 1
    };
    records[1].system_mask = 64;
    records[2].feature = "Ext|ras";
    records[3].feature = "Core";
    records[4].system_mask = 256;
    for (int i = 0; i < 5; ++i)
        run.target.AddFile(std::string(kWork) + "F" + std::to_string(i) + "_" + records[i].file_name);
    run.target.lines.clear();
    run.Engine().files() = records;
    ASSERT_TRUE(CopyFiles(run.Engine()));
    EXPECT_EQ(run.target.lines,
              (Lines{"COPY " + std::string(kWork) + "F3_core.txt -> C:\\Program Files\\Acme\\core.txt",
                     "COPY " + std::string(kWork) + "F4_vista.dll -> C:\\Program Files\\Acme\\vista.dll"}));
    EXPECT_EQ(run.log.Lines(), (Lines{"FILE=C:\\Program Files\\Acme\\extra.txt", "FILE=C:\\Program Files\\Acme\\core.txt",
                                      "FILE=C:\\Program Files\\Acme\\vista.dll"}));
    EXPECT_EQ(run.progress.positions, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(CopyFiles, FontsAreRegisteredEvenWhenThePlainCopyFails) {
    const std::string font_dest = "C:\\Windows\\Fonts\\acme.ttf";
    const std::string source = std::string(kWork) + "F0_acme.ttf";
    const std::string beside = std::string(kWork) + "acme.ttf";
    const std::string reg = "REGSZ HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts\\acme.ttf=acme.ttf";
    {
        EngineRun run;
        run.target.AddFile(source, "font");
        run.target.lines.clear();
        run.Engine().files() = {Record(0, "Destination Computer\\<FontsFolder>", "acme.ttf")};
        ASSERT_TRUE(CopyFiles(run.Engine()));
        EXPECT_EQ(run.target.lines, (Lines{"COPY " + source + " -> " + font_dest, "COPY " + source + " -> " + beside,
                                           "FONT " + font_dest, reg}));
        EXPECT_EQ(run.log.Lines(), (Lines{"FILE=" + font_dest}));
    }
    {
        EngineRun run;
        run.target.AddFile(source, "font");
        run.target.FailCopiesTo(font_dest);
        run.target.lines.clear();
        run.Engine().files() = {Record(16, "Destination Computer\\<FontsFolder>", "acme.ttf")};
        ASSERT_TRUE(CopyFiles(run.Engine())); // even a critical font does not abort
        EXPECT_EQ(run.target.lines, (Lines{"COPY " + source + " -> " + font_dest + " FAILED",
                                           "COPY " + source + " -> " + beside, "FONT " + beside, reg}));
        EXPECT_TRUE(run.progress.lines.empty());
    }
}

TEST(CopyOneFile, TheQuestionAndItsAnswers) {
    const std::string ask = "ASK Corvane can't copy the file:\r\n" + kDest + "\r\nWhat you would like to do ?";
    struct Case {
        const char* name;
        std::deque<int> answers;
        int failures; ///< how often the copy fails before it works
        bool result;
        bool aborted;
        std::size_t questions;
    };
    const Case cases[] = {
        {"retry succeeds once the file is free", {kAnswerRetry}, 1, true, false, 1},
        {"retry twice, then it works", {kAnswerRetry, kAnswerRetry}, 2, true, false, 2},
        {"ignore", {kAnswerIgnore}, -1, true, false, 1},
        {"abort", {kAnswerAbort}, -1, false, true, 1},
        {"an unknown answer counts as ignore", {7}, -1, true, false, 1},
    };
    for (const Case& c : cases) {
        EngineRun run;
        run.target.AddFile(kSource);
        run.target.AddFolder("C:\\Program Files\\Acme");
        run.target.FailCopiesTo(kDest, c.failures);
        run.progress.answers = c.answers;
        EXPECT_EQ(CopyOneFile(run.Engine(), kSource, kDest, false), c.result) << c.name;
        EXPECT_EQ(run.Engine().aborted(), c.aborted) << c.name;
        EXPECT_EQ(Questions(run.progress), Lines(c.questions, ask)) << c.name;
        // An abort removes the work folder.
        EXPECT_EQ(run.target.HasFolder(kWork), !c.aborted) << c.name;
    }
}

TEST(CopyFiles, ACriticalFileThatCannotBeCopiedAbortsWithoutAChoice) {
    EngineRun run;
    std::atomic<int> aborted{-1};
    run.context.install_aborted = &aborted;
    run.target.AddFolder("C:\\Program Files\\Acme");
    run.target.AddFile(std::string(kWork) + "F1_b.txt");
    run.progress.answers = {kAnswerRetry}; // not offered
    run.Engine().files() = {Record(16), Record(0, "Destination Computer\\<InstallDir>", "b.txt")};
    EXPECT_FALSE(CopyFiles(run.Engine()));
    EXPECT_EQ(Questions(run.progress),
              (Lines{"ASK-ABORT Corvane will abort installation, the file:\r\n" + kDest + "\r\nCan't be installed."}));
    EXPECT_EQ(aborted.load(), 255);
    EXPECT_FALSE(run.target.HasFile("C:\\Program Files\\Acme\\b.txt"));
    EXPECT_TRUE(run.log.Lines().empty());
    EXPECT_FALSE(run.target.HasFolder(kWork));
}

// A destination of 259 characters is copied; one of 260 cannot exist under the system's
// path buffer: it is not tried, and the question names it and says why.
TEST(CopyFiles, DestinationsAtThePathLimit) {
    const std::string folder = "C:\\Deep";
    struct Case {
        const char* name;
        std::size_t length;
        std::int32_t flags;
        bool copied;
        const char* question; ///< "" when none; else its start, followed by the path
        const char* why;      ///< what follows the path
    };
    const Case cases[] = {
        {"259 characters", 259, 0, true, "", ""},
        {"260 characters", 260, 0, false, "ASK Corvane can't copy the file:\r\n",
         "\r\nIts path is longer than 259 characters. What you would like to do ?"},
        {"260 characters, critical", 260, 16, false, "ASK-ABORT Corvane will abort installation, the file:\r\n",
         "\r\nCan't be installed."},
        {"a thousand characters", 1000, 0, false, "ASK Corvane can't copy the file:\r\n",
         "\r\nIts path is longer than 259 characters. What you would like to do ?"},
    };
    for (const Case& c : cases) {
        EngineRun run;
        run.target.AddFolder(folder);
        // "C:\Deep\" and a name that makes up the length.
        const std::string name(c.length - folder.size() - 1, 'n');
        const std::string destination = folder + "\\" + name;
        ASSERT_EQ(destination.size(), c.length);
        run.target.AddFile(std::string(kWork) + "F0_" + name);
        run.progress.answers = {kAnswerIgnore};
        run.Engine().files() = {Record(c.flags, "Destination Computer\\" + folder, name)};
        EXPECT_EQ(CopyFiles(run.Engine()), c.flags == 0) << c.name;
        EXPECT_EQ(run.target.HasFile(destination), c.copied) << c.name;
        const Lines expected = *c.question ? Lines{c.question + destination + c.why} : Lines{};
        EXPECT_EQ(Questions(run.progress), expected) << c.name;
        if (!c.copied) {
            for (const std::string& line : run.target.lines)
                EXPECT_EQ(line.rfind("COPY ", 0), std::string::npos) << c.name << ": " << line;
        }
    }
}

TEST(CopyFiles, CancelStopsBeforeTheNextFile) {
    EngineRun run;
    run.target.AddFolder("C:\\Program Files\\Acme");
    std::vector<FileRecord> records;
    for (int i = 0; i < 4; ++i) {
        records.push_back(Record(0, "Destination Computer\\<InstallDir>", "f" + std::to_string(i)));
        run.target.AddFile(std::string(kWork) + "F" + std::to_string(i) + "_f" + std::to_string(i));
    }
    run.progress.cancel_at_position = 2;
    run.Engine().files() = records;
    EXPECT_FALSE(CopyFiles(run.Engine()));
    EXPECT_EQ(run.log.Lines(), (Lines{"FILE=C:\\Program Files\\Acme\\f0", "FILE=C:\\Program Files\\Acme\\f1"}));
    EXPECT_FALSE(run.target.HasFile("C:\\Program Files\\Acme\\f2"));
}

TEST(AttributesAfterInstall, NormalStandsAlone) {
    EXPECT_EQ(AttributesAfterInstall(kAttrNormal, 1), std::optional<std::uint32_t>(kAttrReadOnly));
    EXPECT_EQ(AttributesAfterInstall(kAttrReadOnly, 0), std::optional<std::uint32_t>(kAttrNormal));
    EXPECT_EQ(AttributesAfterInstall(kAttrNormal, 0), std::nullopt);
    EXPECT_EQ(AttributesAfterInstall(0, 0), std::nullopt);
    EXPECT_EQ(AttributesAfterInstall(kAttrArchive | kAttrHidden, 4), std::nullopt);
}

} // namespace
} // namespace cv

namespace cv {
namespace {

// What the run log is told about each file: installed, or skipped and why.
TEST(CopyFilesRunLog, EachFileInstalledOrSkippedWithItsReason) {
    EngineRun run;
    run.target.AddFolder("C:\\Program Files\\Acme");
    const std::string dir = "C:\\Program Files\\Acme\\";
    for (int i = 0; i < 5; ++i)
        run.target.AddFile(std::string(kWork) + "F" + std::to_string(i) + "_f" + std::to_string(i) + ".txt");
    run.target.AddFile(dir + "f1.txt", "old");
    run.features["Docs"] = 255;
    std::vector<FileRecord> files;
    for (int i = 0; i < 5; ++i)
        files.push_back(Record(0, "Destination Computer\\<InstallDir>", "f" + std::to_string(i) + ".txt"));
    files[1].flags = 32;        // only when absent, and it is there
    files[2].feature = "Docs";  // a feature not chosen
    files[3].system_mask = 2;   // Windows 98 only; the run is on Windows 7
    run.Engine().files() = files;
    run.target.FailCopiesTo(dir + "f4.txt");
    run.progress.answers = {kAnswerIgnore};
    EXPECT_TRUE(CopyFiles(run.Engine()));
    EXPECT_EQ(run.progress.run_log,
              (Lines{"Installed " + dir + "f0.txt", "Skipped " + dir + "f1.txt: already there, installed only when absent",
                     "Skipped " + dir + "f2.txt: feature Docs not chosen",
                     "Skipped " + dir + "f3.txt: not for this Windows version",
                     "Not installed " + dir + "f4.txt: the copy failed and was ignored"}));
}

} // namespace
} // namespace cv
