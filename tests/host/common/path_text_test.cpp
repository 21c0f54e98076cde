// The path text helpers at their edges: empty texts, runs of separators, both separators,
// and paths at the system's length limit (nothing is cut or padded there).
#include "common/path_limit.h"
#include "common/path_text.h"

#include <gtest/gtest.h>

#include <string>

namespace cv {
namespace {

TEST(PathText, EdgesAndTheLengthLimit) {
    struct Case {
        std::string path, with, without, file;
    };
    const std::string long_folder = "C:\\" + std::string(kMaxPathLength - 3, 'a'); // 259
    const Case cases[] = {
        {"", "\\", "", ""},
        {"\\", "\\", "", ""},
        {"\\\\\\", "\\\\\\", "", ""},
        {"C:", "C:\\", "C:", "C:"},
        {"C:\\dir\\", "C:\\dir\\", "C:\\dir", ""},
        {"C:\\dir/name.txt", "C:\\dir/name.txt\\", "C:\\dir/name.txt", "name.txt"},
        {"dir/", "dir/\\", "dir/", ""},
        {long_folder, long_folder + "\\", long_folder, long_folder.substr(3)},
        {long_folder + "\\", long_folder + "\\", long_folder, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WithTrailingBackslash(c.path), c.with) << c.path;
        EXPECT_EQ(WithoutTrailingBackslash(c.path), c.without) << c.path;
        EXPECT_EQ(FileNamePart(c.path), c.file) << c.path;
    }
    EXPECT_EQ(WithTrailingBackslash(long_folder).size(), kMaxPathLength + 1);
}

} // namespace
} // namespace cv
