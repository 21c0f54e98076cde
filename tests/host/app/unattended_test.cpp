// The unattended run's portable parts: reading setup.exe's command line, the exit code of
// each outcome, the run log's lines and the work folder's name.

#include "app/command_line.h"
#include "app/exit_code.h"
#include "app/run_log.h"
#include "app/work_folder_name.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace cv {
namespace {

TEST(CommandLine, SwitchesInAnyOrderAndCase) {
    struct Case {
        const char* line;
        bool silent, usage;
        const char* log;
        const char* folder; // nullptr: none
    } cases[] = {
        {"/S", true, false, "", nullptr},
        {"/s /LOG=C:\\run.log", true, false, "C:\\run.log", nullptr},
        {"/log=run.txt /S", true, false, "run.txt", nullptr},
        {"  /S\t/D=C:\\Other Place", true, false, "", "C:\\Other Place"},
        {"/S /LOG=\"C:\\my logs\\run.log\" /D=C:\\Other Place  ", true, false,
         "C:\\my logs\\run.log", "C:\\Other Place"},
        {"\"/LOG=C:\\my logs\\run.log\" /S", true, false, "C:\\my logs\\run.log", nullptr},
        {"/D=\"C:\\Program Files\\Acme\"", false, false, "", "C:\\Program Files\\Acme"},
        {"\"/D=C:\\Program Files\\Acme\"", false, false, "", "C:\\Program Files\\Acme"},
        // The rest of the line is the folder, whatever it holds.
        {"/d=C:\\A /S", false, false, "", "C:\\A /S"},
        {"/?", false, true, "", nullptr},
        {"/S /?", true, true, "", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const CommandLine line = ParseCommandLine(c.line);
        EXPECT_TRUE(line.given);
        EXPECT_TRUE(line.Valid()) << line.unknown;
        EXPECT_EQ(line.silent, c.silent);
        EXPECT_EQ(line.usage, c.usage);
        EXPECT_EQ(line.logFile, c.log);
        ASSERT_EQ(line.installFolder.has_value(), c.folder != nullptr);
        if (c.folder) {
            EXPECT_EQ(*line.installFolder, c.folder);
        }
    }
}

TEST(CommandLine, NoArgumentsIsTheInteractiveRun) {
    for (const char* empty : {"", "   ", "\t\r\n"}) {
        const CommandLine line = ParseCommandLine(empty);
        EXPECT_FALSE(line.given);
        EXPECT_FALSE(line.silent);
        EXPECT_TRUE(line.Valid());
    }
}

TEST(CommandLine, UnknownSwitchesAndMissingValues) {
    struct Case {
        const char* line;
        const char* unknown;
    } cases[] = {
        {"/Q", "/Q"},        {"/S /X /Y", "/X"}, {"/SILENT", "/SILENT"}, {"/LOG=", "/LOG="},
        {"/LOG", "/LOG"},    {"/S /D=", "/D="},  {"/S /D=  ", "/D="},    {"install", "install"},
        {"/S \"\"", "\"\""}, {"-S", "-S"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const CommandLine line = ParseCommandLine(c.line);
        EXPECT_TRUE(line.given);
        EXPECT_FALSE(line.Valid());
        EXPECT_EQ(line.unknown, c.unknown);
    }
}

TEST(CommandLine, ProgramNameIsSkipped) {
    EXPECT_EQ(ArgumentsAfterProgram("setup.exe /S"), "/S");
    EXPECT_EQ(ArgumentsAfterProgram("\"C:\\My Setup\\setup.exe\"  /S /D=C:\\x"), "/S /D=C:\\x");
    EXPECT_EQ(ArgumentsAfterProgram("C:\\Setup\\setup.exe\t/?"), "/?");
    EXPECT_EQ(ArgumentsAfterProgram("  \"C:\\a b\\setup.exe\""), "");
    EXPECT_EQ(ArgumentsAfterProgram(""), "");
}

TEST(ExitCode, EachOutcome) {
    auto with = [](auto set) {
        RunOutcome o;
        set(o);
        return o;
    };
    struct Case {
        const char* what;
        RunOutcome outcome;
        int code;
    } cases[] = {
        {"installed", with([](RunOutcome& o) { o.finished = true; }), 0},
        {"restart needed", with([](RunOutcome& o) { o.finished = o.restartNeeded = true; }), 3010},
        {"aborted install reaches the finish",
         with([](RunOutcome& o) { o.finished = o.failed = o.restartNeeded = true; }), 1603},
        {"failed check", with([](RunOutcome& o) { o.failed = true; }), 1603},
        {"quit before the finish without a word", RunOutcome{}, 1603},
        {"cancelled", with([](RunOutcome& o) { o.cancelled = o.failed = true; }), 1602},
        {"other setup running",
         with([](RunOutcome& o) { o.anotherSetupRunning = o.failed = true; }), 1618},
        {"bad command line", with([](RunOutcome& o) { o.badCommandLine = o.usageShown = true; }),
         1639},
        {"usage only", with([](RunOutcome& o) { o.usageShown = true; }), 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExitCodeFor(c.outcome, true), c.code) << c.what;
        // Without arguments the run ends with 0, whatever happened.
        EXPECT_EQ(ExitCodeFor(c.outcome, false), 0) << c.what;
    }
    EXPECT_STREQ(ExitCodeMeaning(1618), "another setup of this product is running");
    EXPECT_STREQ(ExitCodeMeaning(42), "unknown");
}

TEST(RunLog, LineStampAndBreaks) {
    std::tm when{};
    when.tm_year = 126;
    when.tm_mon = 11;
    when.tm_mday = 8;
    when.tm_hour = 9;
    when.tm_min = 5;
    when.tm_sec = 3;
    EXPECT_EQ(RunLogLine(when, "Installed C:\\App\\a.exe"),
              "2026-12-08 09:05:03  Installed C:\\App\\a.exe\r\n");
    // A message box's text becomes one line.
    EXPECT_EQ(
        RunLogLine(when,
                   "Corvane can't copy the file:\r\nC:\\a\r\n\r\nWhat you would like to do ?"),
        "2026-12-08 09:05:03  Corvane can't copy the file: C:\\a What you would like to do ?\r\n");
    EXPECT_EQ(RunLogLine(when, "ends with a break\r\n"),
              "2026-12-08 09:05:03  ends with a break\r\n");
}

TEST(RunLog, AMessageBoxIsLoggedAndMarkedWhenASilentRunHidesIt) {
    EXPECT_EQ(MessageLogText(false, "File not found: (C:\\a.ico)"), "Message: File not found: (C:\\a.ico)");
    EXPECT_EQ(MessageLogText(true, "File not found: (C:\\a.ico)"),
              "Message (not shown): File not found: (C:\\a.ico)");
}

TEST(RunLog, EveryLineIsOnDiskAsWritten) {
    const std::string path = ::testing::TempDir() + "cv_run_log_test.log";
    {
        std::ofstream old(path);
        old << "left by an earlier run\n";
    }
    RunLog log;
    ASSERT_TRUE(log.Open(path));
    log.Write("Setup started: setup.exe /S");
    log.Write("Message (not shown): The amount of RAM is not adequate for running Acme.");
    // Read while the log is still open: nothing waits in a buffer.
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.find("earlier run"), std::string::npos);
    const std::size_t first = text.find("  Setup started: setup.exe /S\r\n");
    const std::size_t second = text.find("  Message (not shown): The amount of RAM");
    EXPECT_NE(first, std::string::npos);
    EXPECT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
    log.Close();
    log.Write("after the end"); // a closed log takes nothing and does not fail
    std::remove(path.c_str());
}

TEST(RunLog, AnUnwritablePathLeavesTheLogClosed) {
    RunLog log;
    EXPECT_FALSE(log.Open(::testing::TempDir() + "no such folder/x/run.log"));
    EXPECT_FALSE(log.IsOpen());
    log.Write("nothing");
}

TEST(WorkFolderName, PlainNameFirstThenSuffixes) {
    EXPECT_EQ(WorkFolderCandidate("cv142305", 0), "cv142305");
    EXPECT_EQ(WorkFolderCandidate("cv142305", 1), "cv142305_1");
    EXPECT_EQ(WorkFolderCandidate("cv142305", 12), "cv142305_12");
}

TEST(WorkFolderName, TakesTheFirstNameThatDoesNotExist) {
    // Two runs of the same second and a folder left by a crash: each run gets its own.
    std::set<std::string> existing = {"cv142305", "cv142305_1"};
    auto create = [&existing](const std::string& name) {
        return existing.insert(name).second ? FolderCreation::Created : FolderCreation::Exists;
    };
    EXPECT_EQ(CreateUniqueWorkFolder("cv142305", create), "cv142305_2");
    EXPECT_EQ(CreateUniqueWorkFolder("cv142305", create), "cv142305_3");
    EXPECT_EQ(CreateUniqueWorkFolder("cv142306", create), "cv142306");
}

TEST(WorkFolderName, GivesUpOnFailureAndAtTheBound) {
    int calls = 0;
    EXPECT_EQ(CreateUniqueWorkFolder("cv1",
                                     [&calls](const std::string&) {
                                         ++calls;
                                         return FolderCreation::Failed;
                                     }),
              std::nullopt);
    EXPECT_EQ(calls, 1); // another name would not help
    calls = 0;
    EXPECT_EQ(CreateUniqueWorkFolder("cv1",
                                     [&calls](const std::string&) {
                                         ++calls;
                                         return FolderCreation::Exists;
                                     }),
              std::nullopt);
    EXPECT_EQ(calls, kMaxWorkFolderAttempts);
}

} // namespace
} // namespace cv
