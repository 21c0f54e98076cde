// The build side's reading of data.inf.

#include "tests/host/crypto/test_support.h"
#include "tools/cvbuild/build_error.h"
#include "tools/cvbuild/data_inf.h"

#include <gtest/gtest.h>

namespace cv::test {
namespace {

using build::BuildError;
using build::ParseFileList;

std::string ErrorOf(const std::string& text) {
    try {
        ParseFileList(text, "data.inf");
    } catch (const BuildError& e) {
        return e.what();
    }
    return "no error";
}

TEST(FileList, PairsLinesWithAnyLineEnd) {
    const auto entries = ParseFileList("a.txt\r\nD*0*0*0|\nhttp://x/y.zip\r\nD\\sub*1*2*3|F", "f");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].source, "a.txt");
    EXPECT_EQ(entries[0].record, "D*0*0*0|");
    EXPECT_EQ(entries[1].source, "http://x/y.zip");
    EXPECT_EQ(entries[1].record, "D\\sub*1*2*3|F");
    EXPECT_EQ(entries[1].line, 3);
    EXPECT_EQ(build::FormatFileList(entries),
              "a.txt\r\nD*0*0*0|\r\nhttp://x/y.zip\r\nD\\sub*1*2*3|F\r\n");
    EXPECT_TRUE(ParseFileList("", "f").empty());
}

TEST(FileList, RefusesMalformedLines) {
    EXPECT_EQ(ErrorOf("a.txt\r\n"),
              "data.inf line 1: source line \"a.txt\" has no record line after it");
    EXPECT_EQ(ErrorOf("a\r\nD*0*0*0|\r\n\r\nD*0*0*0|\r\n"), "data.inf line 3: empty source line");
    EXPECT_EQ(ErrorOf("a\r\nD*0*0|0\r\n"), "data.inf line 2: record line \"D*0*0|0\" is not "
                                           "destination*flags*system mask*number|feature");
    EXPECT_EQ(ErrorOf("a\r\nD*0*0*0\r\n").substr(0, 17), "data.inf line 2: ");
    const std::string longest(build::kMaxDataInfLine, 'x');
    EXPECT_EQ(ErrorOf(longest + "\r\nD*0*0*0|\r\n"), "no error");
    EXPECT_EQ(ErrorOf("a\r\nD*0*0*0|" + longest + "\r\n"),
              "data.inf line 2: 462 characters, more than the 454 the installer keeps");
}

TEST(FileList, UrlSourcesAnywhereInTheLine) {
    EXPECT_TRUE(build::IsUrlSource("http://example.com/a.zip"));
    EXPECT_TRUE(build::IsUrlSource("mirror ftp://example.com/a.zip"));
    EXPECT_TRUE(build::IsUrlSource("https://example.com/a.zip"));
    EXPECT_FALSE(build::IsUrlSource("files\\http.txt"));
}

class FileSources : public ScratchFolder {};

TEST_F(FileSources, RelativePathsMustNameReadableFiles) {
    WriteBytes(root_ / "a.txt", Pattern(3));
    std::filesystem::create_directories(root_ / "sub");
    auto check = [&](const std::string& source) {
        try {
            build::CheckSources({{source, "D*0*0*0|", 5}}, root_, "data.inf");
        } catch (const BuildError& e) {
            return std::string(e.what());
        }
        return std::string("ok");
    };
    EXPECT_EQ(check("a.txt"), "ok");
    EXPECT_EQ(check("http://host/none.zip"), "ok");
    EXPECT_EQ(check("sub"), "data.inf line 5: source file " + (root_ / "sub").string() +
                                " does not exist or is not a file");
    EXPECT_EQ(check("sub\\b.txt"), "data.inf line 5: source file " +
                                       (root_ / "sub/b.txt").string() +
                                       " does not exist or is not a file");
    for (const char* absolute : {"/etc/hostname", "C:\\files\\a.txt", "\\a.txt"}) {
        EXPECT_EQ(check(absolute), "data.inf line 5: source \"" + std::string(absolute) +
                                       "\" must be a path relative to the product folder");
    }
}

} // namespace
} // namespace cv::test
