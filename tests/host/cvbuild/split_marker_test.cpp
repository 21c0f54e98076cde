// The "Split Files" mark put into an author's setup.inf: the setup must read it, and
// everything else in the file must read as before.

#include "common/profile.h"
#include "tools/cvbuild/split_marker.h"

#include <gtest/gtest.h>

namespace cv::test {
namespace {

using build::IsMarkedSplitFiles;
using build::WithSplitFilesMark;

TEST(SplitMark, PutWhereTheSettingsReaderLooksFirst) {
    struct Case {
        const char* name;
        std::string before;
        std::string after;
    };
    const Case cases[] = {
        {"no section, no line end at the end", "[APPINFO]\r\na1=Demo",
         "[APPINFO]\r\na1=Demo\r\n[BUILDING]\r\nCURRENTBUILD=Split Files\r\n"},
        {"an empty file", "", "[BUILDING]\r\nCURRENTBUILD=Split Files\r\n"},
        {"another build replaced, names in any case and with blanks",
         "[ building ]\r\n2=Yes\r\n  currentBuild =  Compressed  \r\n4=No\r\n",
         "[ building ]\r\n2=Yes\r\nCURRENTBUILD=Split Files\r\n4=No\r\n"},
        {"an entry without a value is the entry the reader finds",
         "[BUILDING]\nCURRENTBUILD\n", "[BUILDING]\nCURRENTBUILD=Split Files\n"},
        {"section without the entry: right after the header",
         "[BUILDING]\n\n2=Yes\n[X]\nCURRENTBUILD=Compressed\n",
         "[BUILDING]\n\nCURRENTBUILD=Split Files\r\n2=Yes\n[X]\nCURRENTBUILD=Compressed\n"},
        {"header on the last line without a line end", "[A]\r\nb=1\r\n[BUILDING]",
         "[A]\r\nb=1\r\n[BUILDING]\r\nCURRENTBUILD=Split Files\r\n"},
        {"only the first of two sections counts",
         "[BUILDING]\r\n2=Yes\r\n[BUILDING]\r\nCURRENTBUILD=Compressed\r\n",
         "[BUILDING]\r\nCURRENTBUILD=Split Files\r\n2=Yes\r\n[BUILDING]\r\n"
         "CURRENTBUILD=Compressed\r\n"},
        {"an entry before any section is not in [BUILDING]",
         "CURRENTBUILD=Compressed\r\n[BUILDING]\r\n",
         "CURRENTBUILD=Compressed\r\n[BUILDING]\r\nCURRENTBUILD=Split Files\r\n"},
        {"a byte-order mark before the header", "\xEF\xBB\xBF[BUILDING]\r\n4=Yes\r\n",
         "\xEF\xBB\xBF[BUILDING]\r\nCURRENTBUILD=Split Files\r\n4=Yes\r\n"},
        {"a bracket line without its closing bracket is an entry",
         "[BUILDING\r\nCURRENTBUILD=x\r\n",
         "[BUILDING\r\nCURRENTBUILD=x\r\n[BUILDING]\r\nCURRENTBUILD=Split Files\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(IsMarkedSplitFiles(c.before));
        const std::string after = WithSplitFilesMark(c.before);
        EXPECT_EQ(after, c.after);
        EXPECT_TRUE(IsMarkedSplitFiles(after));
        EXPECT_EQ(WithSplitFilesMark(after), after) << "marking twice changes the text";
    }
    // The other settings read as before.
    const std::string marked = WithSplitFilesMark("[BUILDING]\r\n2=Yes\r\n4=Yes\r\n[APPINFO]\r\na1=X");
    const ProfileFile file = ProfileFile::parse(marked);
    EXPECT_EQ(file.get("BUILDING", "2"), "Yes");
    EXPECT_EQ(file.get("BUILDING", "4"), "Yes");
    EXPECT_EQ(file.get("APPINFO", "a1"), "X");
}

TEST(SplitMark, ReadAsTheSetupComparesIt) {
    // The setup compares the value read, quotes already removed, with "Split Files" exactly.
    EXPECT_TRUE(IsMarkedSplitFiles("[BUILDING]\r\nCURRENTBUILD=\"Split Files\"\r\n"));
    EXPECT_FALSE(IsMarkedSplitFiles("[BUILDING]\r\nCURRENTBUILD=split files\r\n"));
    EXPECT_FALSE(IsMarkedSplitFiles("[BUILDING]\r\nCURRENTBUILD=Split Files 2\r\n"));
    EXPECT_FALSE(IsMarkedSplitFiles("[OTHER]\r\nCURRENTBUILD=Split Files\r\n"));
}

} // namespace
} // namespace cv::test
