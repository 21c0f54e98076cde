// The folder browser's rules for typed folders and the levels it creates.

#include "app/folder_rules.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

TEST(FolderRules, AcceptsDriveRootsAndPlainFolders) {
    for (const char* ok : {"C:\\", "c:\\", "Z:\\Program Files\\New App", "D:\\a", "C:\\a b\\c-d_e (x86)\\f.g",
                           "C:\\Program Files\\New App\\v1.2"})
        EXPECT_TRUE(IsValidFolderPath(ok)) << ok;
}

TEST(FolderRules, RejectsBadDrivesAndForms) {
    for (const char* bad : {"", "C:", "C:Program", "1:\\a", "CC:\\a", "\\\\server\\share", "C/\\a", "C:/a",
                            ":\\a", "@:\\a", "[:\\a"})
        EXPECT_FALSE(IsValidFolderPath(bad)) << bad;
}

TEST(FolderRules, RejectsComponentsWithBadEdgesOrCharacters) {
    for (const char* bad : {"C:\\New App ", "C:\\ New App", "C:\\New App\\sub.", "C:\\.hidden", "C:\\a\t",
                            "C:\\a\\\\b", "C:\\a\\", "C:\\what?", "C:\\a*b", "C:\\a:b", "C:\\a<b", "C:\\a>b",
                            "C:\\a|b", "C:\\a\"b", "C:\\a/b", "C:\\..", "C:\\a\\ \\b"})
        EXPECT_FALSE(IsValidFolderPath(bad)) << bad;
}

TEST(FolderRules, LengthLimit) {
    std::string at_limit = "C:\\" + std::string(kMaxFolderPath - 3, 'a');
    EXPECT_TRUE(IsValidFolderPath(at_limit));
    EXPECT_FALSE(IsValidFolderPath(at_limit + "a"));
}

TEST(FolderRules, LevelsFromTheFirstComponentDown) {
    using V = std::vector<std::string>;
    EXPECT_EQ(FolderLevels("C:\\Program Files\\New App"), (V{"C:\\Program Files", "C:\\Program Files\\New App"}));
    EXPECT_EQ(FolderLevels("C:\\a"), (V{"C:\\a"}));
    EXPECT_EQ(FolderLevels("C:\\a\\b\\c"), (V{"C:\\a", "C:\\a\\b", "C:\\a\\b\\c"}));
    EXPECT_EQ(FolderLevels("C:\\"), V{});
}

} // namespace
} // namespace cv
