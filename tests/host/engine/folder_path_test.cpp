// CreateFolderPath over the recording target.
#include "engine/folder_path.h"
#include "recording_target.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

TEST(CreateFolderPath, CreatesEveryMissingParentOnce) {
    test::RecordingTarget t;
    t.AddFolder("C:\\Program Files");
    EXPECT_TRUE(CreateFolderPath(t, "C:\\Program Files\\Acme\\bin\\plugins\\"));
    EXPECT_EQ(t.lines, (std::vector<std::string>{"MKDIR C:\\Program Files\\Acme", "MKDIR C:\\Program Files\\Acme\\bin",
                                                 "MKDIR C:\\Program Files\\Acme\\bin\\plugins"}));
    EXPECT_TRUE(t.HasFolder("C:\\Program Files\\Acme\\bin\\plugins"));
    // Existing: one attempt, nothing recorded.
    t.lines.clear();
    t.create_folder_calls = 0;
    EXPECT_TRUE(CreateFolderPath(t, "C:\\Program Files\\Acme\\bin"));
    EXPECT_TRUE(t.lines.empty());
    EXPECT_EQ(t.create_folder_calls, 1);
}

TEST(CreateFolderPath, NamesTheParentsItMadeOutermostFirst) {
    test::RecordingTarget t;
    t.AddFolder("C:\\Program Files");
    std::vector<std::string> made;
    EXPECT_TRUE(CreateFolderPath(t, "C:\\Program Files\\Vendor\\Suite\\Product\\", &made));
    EXPECT_EQ(made, (std::vector<std::string>{"C:\\Program Files\\Vendor", "C:\\Program Files\\Vendor\\Suite"}));
    // Parents that were there, and the folder itself, are not among them.
    made.clear();
    EXPECT_TRUE(CreateFolderPath(t, "C:\\Program Files\\Vendor\\Other", &made));
    EXPECT_TRUE(made.empty());
    // A path that cannot be made names nothing when it made nothing.
    t.AddFile("C:\\taken", "file");
    EXPECT_FALSE(CreateFolderPath(t, "C:\\taken\\sub", &made));
    EXPECT_TRUE(made.empty());
}

TEST(CreateFolderPath, MoreThanTenLevelsBelowAnExistingFolder) {
    test::RecordingTarget t;
    std::string path = "C:";
    for (int i = 0; i < 25; ++i)
        path += "\\level" + std::to_string(i);
    EXPECT_TRUE(CreateFolderPath(t, path));
    EXPECT_TRUE(t.HasFolder(path));
    EXPECT_EQ(t.lines.size(), 25u);
    // 25 failures on the way up, one creation per level on the way down.
    EXPECT_LE(t.create_folder_calls, 2 * 26 + 1);
}

TEST(CreateFolderPath, RefusesWhatCannotBeAFolder) {
    test::RecordingTarget t;
    std::string long_path = "C:\\" + std::string(kMaxCreatedFolderPath - 3, 'a');
    ASSERT_EQ(long_path.size(), kMaxCreatedFolderPath);
    EXPECT_TRUE(CreateFolderPath(t, long_path));
    EXPECT_FALSE(CreateFolderPath(t, long_path + "b")); // 260 characters
    EXPECT_FALSE(CreateFolderPath(t, ""));
    EXPECT_FALSE(CreateFolderPath(t, "nodrive")); // no parent to fall back on
    t.AddFile("C:\\taken", "file");
    EXPECT_FALSE(CreateFolderPath(t, "C:\\taken\\sub"));
    EXPECT_FALSE(t.HasFolder("C:\\taken\\sub"));
}

} // namespace
} // namespace cv
