#include "pages/layout.h"
#include "pages/page_rules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace cv {
namespace {

const std::string kFolder = "C:\\theme\\";

Layout Parse(const std::string& text) {
    ProfileFile file = ProfileFile::parse(text);
    return ReadLayout(&file, kFolder);
}

TEST(SplitElementLine, NineFieldsAndTheCommaAfterASeparator) {
    EXPECT_EQ(SplitElementLine("a,10,20,100,30,BUTTON,{},x,7"),
              (std::vector<std::string>{"a", "10", "20", "100", "30", "BUTTON", "{}", "x", "7"}));
    // The scan of each remainder starts at its second character: an empty field after
    // field 0 merges with the next one, the comma included.
    EXPECT_EQ(SplitElementLine("a,,b,c"), (std::vector<std::string>{"a", ",b", "c"}));
    EXPECT_EQ(SplitElementLine("a,,,b"), (std::vector<std::string>{"a", ",", "b"}));
    // The first scan starts at the first character, so a leading comma ends an empty field 0.
    EXPECT_EQ(SplitElementLine(",x"), (std::vector<std::string>{"", "x"}));
    EXPECT_EQ(SplitElementLine("a,"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(SplitElementLine(""), (std::vector<std::string>{""}));
    // Only nine fields are kept.
    EXPECT_EQ(SplitElementLine("0,1,2,3,4,5,6,7,8,9,10").size(), 9u);
    EXPECT_EQ(SplitElementLine("0,1,2,3,4,5,6,7,8,9,10").back(), "8");
}

TEST(ReadLayout, AnEmptyPictureFieldShiftsTheElementKey) {
    // Field 6 left empty: ",x" becomes field 6, "7" field 7 and the key field is missing.
    Layout l = Parse("[INFO]\nTOTAL=1\n0=a,10,20,100,30,BUTTON,,x,7\n[DADOS]\n7,t=1\n7,0=Name|IDC_X|0\n");
    ASSERT_EQ(l.elements.size(), 1u);
    EXPECT_EQ(l.elements[0].key, 0);
    EXPECT_TRUE(l.elements[0].properties.empty());
}

TEST(ParsePropertyEntry, NameValueKindAndBraces) {
    LayoutProperty p = ParsePropertyEntry("On Click|1 - Next|4", kFolder);
    EXPECT_EQ(p.name, "On Click");
    EXPECT_EQ(p.value, "1 - Next");
    EXPECT_EQ(p.kind, 4);
    // Every "|" of the kind is removed before it is read.
    EXPECT_EQ(ParsePropertyEntry("n|v|1|2", kFolder).kind, 12);
    EXPECT_EQ(ParsePropertyEntry("n|v", kFolder).value, "v");
    EXPECT_EQ(ParsePropertyEntry("n|v", kFolder).kind, 0);
    EXPECT_EQ(ParsePropertyEntry("lonely", kFolder).name, "lonely");
    EXPECT_EQ(ParsePropertyEntry("lonely", kFolder).value, "");
    // A value with a "{" anywhere is a file beside the layout file.
    EXPECT_EQ(ParsePropertyEntry("File|{license.txt}|2", kFolder).value, "C:\\theme\\license.txt");
    EXPECT_EQ(ParsePropertyEntry("File|a{b}c}|2", kFolder).value, "C:\\theme\\abc");
    EXPECT_EQ(ParsePropertyEntry("File|plain}|2", kFolder).value, "plain}");
}

TEST(ClickActionCode, NamedEntriesFromTheFirst) {
    auto code = [](std::vector<LayoutProperty> ps) { return ClickActionCode(ps); };
    EXPECT_EQ(code({{"Name", "IDC_NEXT", 0}}), -1);
    EXPECT_EQ(code({{"On Click", "1 - Next", 0}}), 1);
    EXPECT_EQ(code({{"Mouse Click", "2 - Back", 0}}), 2);
    EXPECT_EQ(code({{"On Click", "no dash", 0}}), 0);
    // The last named entry counts, but an empty one ends the search with -1.
    EXPECT_EQ(code({{"On Click", "1 - Next", 0}, {"Mouse Click", "2 - Back", 0}}), 2);
    EXPECT_EQ(code({{"On Click", "", 0}, {"Mouse Click", "2 - Back", 0}}), -1);
    EXPECT_EQ(code({{"On Click", "1 - Next", 0}, {"On Click", "", 0}}), -1);
}

TEST(ReadLayout, WindowSettingsAndSwitches) {
    Layout l = Parse(
        "[MAINWINDOW]\nidcname=IDD_WELCOME\ncaption=Setup of <ProductName>\nbkimage={back.bmp}\n"
        "width=500\nheight=360\nminwindow=\nmaxwindow=Yes\nclosewindow=yes\nfontname=Tahoma\n"
        "fontsize=9\nfontbold=\nfontitalic=No\nsoundfile={s.wav}\n");
    EXPECT_EQ(l.window.caption, "Setup of <ProductName>");
    // bkimage loses its braces and gets no folder.
    EXPECT_EQ(l.window.bkimage, "back.bmp");
    EXPECT_EQ(l.window.soundfile, "s.wav");
    EXPECT_EQ(l.window.Width(), 500);
    EXPECT_EQ(l.window.Height(), 360);
    LayoutFont font = PageFontOf(l.window);
    EXPECT_EQ(font.face, "Tahoma");
    EXPECT_EQ(font.points, 9);
    EXPECT_TRUE(font.bold);    // empty fontbold gives bold
    EXPECT_FALSE(font.italic); // only "No" turns it off
    std::uint32_t style = ApplyWindowStyle(kStyleMinimizeBox | kStyleSystemMenu, l.window);
    EXPECT_FALSE(style & kStyleMinimizeBox); // empty minwindow gives no box
    EXPECT_TRUE(style & kStyleMaximizeBox);
    EXPECT_FALSE(style & kStyleSystemMenu); // "yes" is not "Yes"
    EXPECT_FALSE(style & kStyleBorder);     // an empty border removes it
}

TEST(ReadLayout, ElementsGetIdentifiersInReverseFileOrder) {
    Layout l = Parse(
        "[INFO]\nTOTAL=5\n"
        "0=a,10,20,100,30,BUTTON,{},x,7\n"
        "1=a,0,0,50,50,BITMAP,{logo.gif},x,8\n"
        "2=a,0,0,50,50,NOSUCHTYPE,{},x,9\n"
        "3=a,0,0,50,50,HOVER,{},x,10\n"
        "4=a,5,5,20,5,BUTTON,{},x,11\n"
        "[DADOS]\n7,t=2\n7,0=Name|IDC_NEXT|0\n7,1=On Click|1 - Next|3\n9,t=1\n9,0=Name|X|0\n");
    ASSERT_EQ(l.elements.size(), 4u); // the unknown type creates nothing
    const LayoutElement& button = l.elements[0];
    EXPECT_EQ(button.controlId, 3003);
    EXPECT_EQ(button.x, 10);
    EXPECT_EQ(button.y, 20);
    EXPECT_EQ(button.width, 100);
    EXPECT_EQ(button.height, 30);
    EXPECT_EQ(button.key, 7);
    ASSERT_EQ(button.properties.size(), 2u);
    EXPECT_EQ(button.Value(0), "IDC_NEXT");
    EXPECT_EQ(button.Value(5), "");
    EXPECT_EQ(button.clickCode, 1);
    EXPECT_EQ(button.defaultName, "IDC_BUTTON2");
    EXPECT_EQ(l.elements[1].controlId, 3002);
    EXPECT_EQ(l.elements[1].picture, "C:\\theme\\logo.gif");
    // BITMAP and HOVER count together; the HOVER came first (reverse order).
    EXPECT_EQ(l.elements[1].defaultName, "IDB_BITMAP2");
    EXPECT_EQ(l.elements[2].defaultName, "IDC_HOVER1");
    EXPECT_EQ(l.elements[2].controlId, 3001);
    // The last line: first identifier, minimum size rule applied.
    EXPECT_EQ(l.elements[3].controlId, 3000);
    EXPECT_EQ(l.elements[3].defaultName, "IDC_BUTTON1");
    EXPECT_EQ(l.elements[3].width, 90);
    EXPECT_EQ(l.elements[3].height, 25);
    EXPECT_TRUE(l.warnings.empty());
}

TEST(ApplyMinimumSize, PerType) {
    auto sized = [](const char* type, int w, int h) {
        ApplyMinimumSize(*FindElementType(type), w, h);
        return std::pair(w, h);
    };
    EXPECT_EQ(sized("BUTTON", 20, 5), std::pair(90, 25));
    EXPECT_EQ(sized("BUTTON", 20, 10), std::pair(20, 10));
    EXPECT_EQ(sized("BUTTON", 30, 5), std::pair(30, 5));
    EXPECT_EQ(sized("TEXT", 29, 7), std::pair(90, 25));
    EXPECT_EQ(sized("TEXT", 29, 8), std::pair(29, 8));
    EXPECT_EQ(sized("CHECKBOX", 0, 0), std::pair(90, 25));
    EXPECT_EQ(sized("RECT", 1, 1), std::pair(1, 1));
    EXPECT_EQ(sized("BITMAP", 1, 1), std::pair(1, 1));
    EXPECT_EQ(sized("HOVER", 1, 1), std::pair(1, 1));
    EXPECT_EQ(sized("ICON", 200, 3), std::pair(32, 32));
    EXPECT_EQ(FindElementType("button"), nullptr);
}

TEST(ReadLayout, LimitsCutTheFileWithoutOverrun) {
    std::string text = "[INFO]\nTOTAL=100\n";
    for (int i = 0; i < 100; ++i)
        text += std::to_string(i) + "=a,0," + std::to_string(i) + ",40,20,TEXT,{},x," + std::to_string(i) + "\n";
    text += "[DADOS]\n0,t=40\n";
    for (int j = 0; j < 40; ++j)
        text += "0," + std::to_string(j) + "=P" + std::to_string(j) + "|" + std::string(400, 'v') + "|1\n";
    Layout l = Parse(text);
    // Only the first 70 lines are read, and 15 of them become TEXT labels: the last 15 of
    // those 70 (lines 55 to 69), since the lines are created from the last.
    ASSERT_EQ(l.elements.size(), kMaxControlsPerTable);
    EXPECT_EQ(l.elements.front().y, 55);
    EXPECT_EQ(l.elements.back().y, 69);
    EXPECT_EQ(l.elements.back().controlId, 3000);
    EXPECT_EQ(l.elements.front().controlId, 3014);
    EXPECT_EQ(l.elements.back().defaultName, "IDC_STATIC1");
    ASSERT_EQ(l.warnings.size(), 1u + 55u); // the element count and each refused line
    EXPECT_NE(l.warnings[0].find("100 elements"), std::string::npos);

    // Line 0 is refused, so its 40 entries are not read; a page whose element keeps them:
    Layout one = Parse("[INFO]\nTOTAL=1\n0=a,0,0,40,20,TEXT,{},x,0\n" + text.substr(text.find("[DADOS]")));
    ASSERT_EQ(one.elements.size(), 1u);
    ASSERT_EQ(one.elements[0].properties.size(), kMaxElementProperties);
    // The 400-character value is cut to 255 characters by the buffer ("P0|" takes 3).
    EXPECT_EQ(one.elements[0].properties[0].value.size(), 255u - 3u);
    EXPECT_EQ(one.warnings.size(), 1u);
}

TEST(ReadLayout, CountsOutOfRange) {
    EXPECT_TRUE(Parse("[INFO]\nTOTAL=-5\n0=a,0,0,40,20,TEXT,{},x,0\n").elements.empty());
    EXPECT_TRUE(Parse("[INFO]\nTOTAL=abc\n0=a,0,0,40,20,TEXT,{},x,0\n").elements.empty());
    Layout huge = Parse("[INFO]\nTOTAL=99999999999999\n0=a,0,0,40,20,TEXT,{},x,0\n");
    EXPECT_EQ(huge.elements.size(), 1u); // lines 1..69 are missing and create nothing
    Layout negative = Parse("[INFO]\nTOTAL=1\n0=a,0,0,40,20,TEXT,{},x,3\n[DADOS]\n3,t=-2\n");
    ASSERT_EQ(negative.elements.size(), 1u);
    EXPECT_TRUE(negative.elements[0].properties.empty());
}

TEST(LoadLayoutFile, MissingFileGivesAnEmptyPage) {
    Layout l = LoadLayoutFile("/nonexistent-folder/", "welcome.lcd");
    EXPECT_TRUE(l.elements.empty());
    EXPECT_EQ(l.window.Width(), 0);
    EXPECT_EQ(l.window.Height(), 0);
    EXPECT_EQ(l.window.bkcolor, "");
}

TEST(LoadLayoutFile, ReadsFolderAndName) {
    auto dir = std::filesystem::temp_directory_path() / "cv_pages_layout_test";
    std::filesystem::create_directories(dir);
    {
        std::ofstream out(dir / "welcome.lcd", std::ios::binary);
        out << "[MAINWINDOW]\r\nwidth=480\r\n[INFO]\r\nTOTAL=1\r\n0=a,1,2,3,40,RICHTEXT,{},x,1\r\n"
               "[DADOS]\r\n1,t=1\r\n1,0=Text|{readme.txt}|1\r\n";
    }
    std::string folder = dir.string() + "/";
    Layout l = LoadLayoutFile(folder, "welcome.lcd");
    EXPECT_EQ(l.window.Width(), 480);
    ASSERT_EQ(l.elements.size(), 1u);
    EXPECT_EQ(l.elements[0].Value(0), folder + "readme.txt");
    EXPECT_EQ(l.elements[0].width, 3); // the height is not under 10: no minimum size
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace cv
