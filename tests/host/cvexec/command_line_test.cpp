// The uninstaller's command line and its texts.
#include "tools/cvexec/command_line.h"
#include "tools/cvexec/uninstall_page.h"
#include "tools/cvexec/uninstall_texts.h"

#include <gtest/gtest.h>

namespace cv::uninstall {
namespace {

TEST(UninstallerCommandLine, ReadsTheModesAndRefusesWhatCouldEscapeTheLogFolder) {
    struct Case {
        std::vector<std::string> args;
        Mode mode;
        std::string code;
        std::string error;
    } cases[] = {
        {{"/R", "ACME1"}, Mode::Remove, "ACME1", ""},
        {{"/S", "ACME1"}, Mode::Silent, "ACME1", ""},
        {{"/R", "ACME1", "/S"}, Mode::Silent, "ACME1", ""},
        {{"-r", "ACME1", "-s"}, Mode::Silent, "ACME1", ""},
        {{"/m", "{6B2F-11}"}, Mode::Modify, "{6B2F-11}", ""},
        {{"/R"}, Mode::Remove, "", "no product code"},
        {{"ACME1"}, Mode::Remove, "ACME1", "no option: use /R, /S or /M with the product code"},
        {{"/X", "ACME1"}, Mode::Remove, "", "unknown option /X"},
        {{"/R", "A", "B"}, Mode::Remove, "A", "more than one product code"},
        {{"/M", "A", "/S"}, Mode::Remove, "A", "/M cannot be combined with /R or /S"},
        {{"/S", "..\\..\\Windows"}, Mode::Silent, "..\\..\\Windows", "not a product code: ..\\..\\Windows"},
        {{"/S", "C:\\x"}, Mode::Silent, "C:\\x", "not a product code: C:\\x"},
        {{"/S", "a/b"}, Mode::Silent, "a/b", "not a product code: a/b"},
        {{"/S", ".."}, Mode::Silent, "..", "not a product code: .."},
        {{"/S", std::string(201, 'A')}, Mode::Silent, std::string(201, 'A'),
         "not a product code: " + std::string(201, 'A')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.size() > 1 ? c.args[1] : c.args[0]);
        const CommandLine line = ParseCommandLine(c.args);
        EXPECT_EQ(line.error, c.error);
        EXPECT_EQ(line.code, c.code);
        if (c.error.empty()) {
            EXPECT_EQ(line.mode, c.mode);
        }
    }
}

TEST(UninstallerCommandLine, SplitsAWindowsCommandLine) {
    EXPECT_EQ(SplitCommandLine("C:\\Windows\\cvexec.exe /R ACME1"),
              (std::vector<std::string>{"C:\\Windows\\cvexec.exe", "/R", "ACME1"}));
    EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\cvexec.exe\"  /S \"My Product\"\t"),
              (std::vector<std::string>{"C:\\Program Files\\cvexec.exe", "/S", "My Product"}));
    EXPECT_EQ(SplitCommandLine("a\\\\\"b c\" d\\\"e"), (std::vector<std::string>{"a\\b c", "d\"e"}));
    EXPECT_EQ(SplitCommandLine(""), std::vector<std::string>{});
}

TEST(UninstallerTexts, TakesTheLanguageFilesTextsButNoneWithForeignDirectives) {
    const ProfileFile file = ProfileFile::parse(
        "[Uninstall]\r\nConfirm=%s entfernen?\r\nDone=%s %d%% fertig\r\nTitle=Deinstallation\r\n");
    const UninstallTexts texts = LoadTexts(&file);
    TextValues acme;
    acme.display_name = "Acme";
    EXPECT_EQ(texts.title, "Deinstallation");
    EXPECT_EQ(ExpandText(texts.confirm, acme), "Acme entfernen?");
    // "%d" would read an argument that is not there: the English default stays.
    EXPECT_EQ(ExpandText(texts.done, acme), "Acme was removed from your computer.");
    EXPECT_EQ(ExpandText(LoadTexts(nullptr).confirm, acme), "Remove Acme and all of its components?");
    EXPECT_EQ(ExpandText("%s in %s, 100%%", acme, "C:\\Setup"), "Acme in C:\\Setup, 100%");
}

} // namespace
} // namespace cv::uninstall
