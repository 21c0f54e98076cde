// Edge cases of the profile reader's parsing and lookup rules.
#include "common/profile.h"

#include <gtest/gtest.h>

#include <string>

namespace cv {
namespace {

using namespace std::string_literals;

std::string Get(const ProfileFile& f, const char* section, const char* key, const char* def = "",
                std::size_t size = kProfileValueBuffer) {
    return f.get(section, key, def, size);
}

TEST(ProfileReader, NamesIgnoreCaseAndSurroundingBlanks) {
    auto f = ProfileFile::parse("[AppInfo]\r\n  a1 \t=  My Product  \r\nA2=2.0\n");
    EXPECT_EQ(Get(f, "APPINFO", "a1"), "My Product");
    EXPECT_EQ(Get(f, " appinfo\t", " A1 "), "My Product");
    EXPECT_EQ(Get(f, "appinfo", "a2"), "2.0");
    EXPECT_EQ(Get(f, "appinfo", "a3", "none"), "none");
    EXPECT_EQ(Get(f, "other", "a1", "x"), "x");
}

TEST(ProfileReader, FirstSectionAndFirstEntryWin) {
    auto f = ProfileFile::parse("[s]\nk=1\nK=2\n[S]\nk=3\nj=4\n");
    EXPECT_EQ(Get(f, "s", "k"), "1");
    // A later section of the same name is never searched.
    EXPECT_EQ(Get(f, "s", "j", "d"), "d");
}

TEST(ProfileReader, SectionHeaderForms) {
    auto f = ProfileFile::parse("[ spaced ]\na=1\n[a]b]\nc=2\n[open\nd=3\n[x] trailing\ne=4\n");
    // Blanks inside the brackets are trimmed like the caller's name.
    EXPECT_EQ(Get(f, "spaced", "a", "-"), "1");
    EXPECT_EQ(Get(f, "a]b", "c"), "2");     // the last "]" closes the name
    EXPECT_EQ(Get(f, "a]b", "[open"), ""); // no "]": an entry without value
    EXPECT_EQ(Get(f, "a]b", "d"), "3");
    EXPECT_EQ(Get(f, "x", "e"), "4");      // text after "]" is ignored
}

TEST(ProfileReader, EntriesWithoutSectionOrValue) {
    auto f = ProfileFile::parse("top=1\n[s]\nflag\nempty=\n=nameless\n; note=5\n");
    EXPECT_EQ(Get(f, "", "top"), "1");
    EXPECT_EQ(Get(f, "s", "flag", "def"), "def"); // no "=": the default
    EXPECT_EQ(Get(f, "s", "empty", "def"), "");   // "=" with nothing after: empty
    EXPECT_EQ(Get(f, "s", "", "def"), "nameless");
    EXPECT_EQ(Get(f, "s", "; note"), "5"); // comment lines are entries to the reader
}

TEST(ProfileReader, QuotesAreStrippedOnlyInMatchingPairs) {
    auto f = ProfileFile::parse("[q]\na=\"x y\"\nb='z'\nc=\"open\nd=\"mixed'\ne=\"\"\nf=\"\n"
                                "g= \" padded \" \n");
    EXPECT_EQ(Get(f, "q", "a"), "x y");
    EXPECT_EQ(Get(f, "q", "b"), "z");
    EXPECT_EQ(Get(f, "q", "c"), "\"open");
    EXPECT_EQ(Get(f, "q", "d"), "\"mixed'");
    EXPECT_EQ(Get(f, "q", "e"), "");
    EXPECT_EQ(Get(f, "q", "f"), "\"");
    EXPECT_EQ(Get(f, "q", "g"), " padded ");
    EXPECT_EQ(Get(f, "q", "missing", "\"dq\""), "dq"); // the default is treated the same way
}

TEST(ProfileReader, ValuesAreCutToTheBuffer) {
    std::string longValue(300, 'v');
    auto f = ProfileFile::parse("[s]\nlong=" + longValue + "\nq=\"abcd\"\n");
    EXPECT_EQ(Get(f, "s", "long").size(), 255u);
    EXPECT_EQ(Get(f, "s", "long", "", 1), "");
    EXPECT_EQ(Get(f, "s", "long", "", 0), "");
    EXPECT_EQ(Get(f, "s", "q", "", 6), "abcd");
    // The Windows reader's cut of quoted values drops one more character when the buffer is
    // exactly as long as the text after the opening quote.
    EXPECT_EQ(Get(f, "s", "q", "", 5), "abc");
    EXPECT_EQ(Get(f, "s", "q", "", 4), "abc");
    EXPECT_EQ(Get(f, "s", "q", "", 3), "ab");

    char buf[8];
    EXPECT_EQ(f.read("s", "long", "", buf, sizeof buf), 7u);
    EXPECT_EQ(std::string(buf), "vvvvvvv");
}

TEST(ProfileReader, DefaultLosesTrailingSpacesOnly) {
    auto f = ProfileFile::parse("");
    EXPECT_EQ(Get(f, "s", "k", "  d  "), "  d");
    EXPECT_EQ(Get(f, "s", "k", "   "), " ");
    EXPECT_EQ(Get(f, "s", "k", "d\t"), "d\t");
}

TEST(ProfileReader, LineEndsAndZeroBytes) {
    auto f = ProfileFile::parse("[s]\rk1=a\r\n\r\nk2=b\n\nk3=c"s + std::string(15, '\0'));
    EXPECT_EQ(Get(f, "s", "k1"), "a");
    EXPECT_EQ(Get(f, "s", "k2"), "b");
    EXPECT_EQ(Get(f, "s", "k3"), "c"); // padding after the last value
    auto g = ProfileFile::parse("[s]\r\nk=v\r\n"s + std::string(16, '\0'));
    EXPECT_EQ(Get(g, "s", "k"), "v");
    char list[64];
    ASSERT_EQ(g.read("s", nullptr, "", list, sizeof list), 2u); // the zero line is no entry
    EXPECT_EQ(std::string(list, 3), "k\0\0"s);
    auto h = ProfileFile::parse("[s]\nk=va\0lue\nj=2\n"s);
    EXPECT_EQ(Get(h, "s", "k"), "va");
    EXPECT_EQ(Get(h, "s", "j"), "2");
}

TEST(ProfileReader, ControlZAndUtf8MarkAreSkipped) {
    auto f = ProfileFile::parse("\xEF\xBB\xBF[s]\nk=v\x1a\n");
    EXPECT_EQ(Get(f, "s", "k"), "v");
}

TEST(ProfileReader, ListsKeysAndSections) {
    auto f = ProfileFile::parse("pre=0\n[One]\na=1\nflag\n;c=2\nB=3\n[two]\n[]\nz=9\n");
    char buf[64];
    std::size_t n = f.read("one", nullptr, "", buf, sizeof buf);
    EXPECT_EQ(std::string(buf, n + 1), "a\0B\0\0"s);
    n = f.read(nullptr, nullptr, "", buf, sizeof buf);
    EXPECT_EQ(std::string(buf, n + 1), "One\0two\0\0"s);
    // An empty or missing section gives the default, here with its trailing spaces.
    n = f.read("two", nullptr, "dflt  ", buf, sizeof buf);
    EXPECT_EQ(std::string(buf, n), "dflt  ");
    // The list form matches the section name as given, untrimmed.
    n = f.read(" one", nullptr, "", buf, sizeof buf);
    EXPECT_EQ(n, 0u);

    // Lists that do not fit are cut and end with two zero bytes.
    char small[6];
    n = f.read("one", nullptr, "", small, sizeof small);
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(std::string(small, n + 1), "a\0B\0\0"s);
    n = f.read(nullptr, nullptr, "", small, sizeof small);
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(std::string(small, n + 1), "One\0\0"s);
}

TEST(ProfileReader, RunsOfEmptyNamesAreListedOnce) {
    auto f = ProfileFile::parse("[s]\na=1\n=x\n=y\n\n=z\nb=2\n=u\nflag\n=v\n"s);
    char buf[64];
    std::size_t n = f.read("s", nullptr, "", buf, sizeof buf);
    EXPECT_EQ(std::string(buf, n + 1), "a\0\0b\0\0\0\0"s);
    EXPECT_EQ(Get(f, "s", ""), "x");
    // A list starting with an empty name reads as empty, hence as the default.
    auto g = ProfileFile::parse("[s]\n=x\nb=1\n");
    n = g.read("s", nullptr, "none", buf, sizeof buf);
    EXPECT_EQ(std::string(buf, n), "none");
}

TEST(ProfileReader, NullArgumentsAndTinyBuffers) {
    auto f = ProfileFile::parse("[s]\nk=value\n");
    char buf[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(f.read("s", "k", nullptr, buf, 0), 0u);
    EXPECT_EQ(buf[0], 'x');
    EXPECT_EQ(f.read("s", "k", nullptr, nullptr, 4), 0u);
    EXPECT_EQ(f.read("s", "missing", nullptr, buf, 4), 0u);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(f.read(nullptr, nullptr, nullptr, buf, 1), 0u);
    EXPECT_EQ(buf[0], '\0');
}

// Found by the profile fuzzer: the key list of a section with keys, read into a one-byte
// buffer, wrote a zero byte before the buffer and returned size - 2 (a huge count).
TEST(ProfileReader, FuzzFindingKeyListIntoOneByteBufferWroteBeforeIt) {
    const auto f = ProfileFile::load(std::string(CV_PROFILE_REGRESSIONS_DIR) +
                                     "/key_list_into_one_byte_buffer_wrote_before_it.ini");
    ASSERT_TRUE(f.has_value());
    for (const char* def : {"", "dflt"}) {
        char guarded[3] = {'g', 'x', 'g'};
        EXPECT_EQ(f->read("Demo", nullptr, def, guarded + 1, 1), 0u) << def;
        EXPECT_EQ(guarded[0], 'g');
        EXPECT_EQ(guarded[1], '\0');
        EXPECT_EQ(guarded[2], 'g');
    }
    // Two bytes are room for an empty list; the names need more.
    char two[2] = {'x', 'x'};
    EXPECT_EQ(f->read("Demo", nullptr, "", two, 2), 0u);
    EXPECT_EQ(two[0], '\0');
}

TEST(ProfileReader, LoadReportsMissingFile) {
    std::string error;
    EXPECT_FALSE(ProfileFile::load("/nonexistent/dir/setup.inf", &error));
    EXPECT_NE(error.find("/nonexistent/dir/setup.inf"), std::string::npos);
}

} // namespace
} // namespace cv
