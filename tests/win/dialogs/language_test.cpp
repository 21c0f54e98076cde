// The language step under Wine: captions written into layout files with the profile writer,
// the language list of the language page.

#include "app/language.h"
#include "app/language_page.h"
#include "dialog_watch.h"
#include "pages/image_window_win.h"
#include "tests/win/support/fake_wizard_host.h"

#include <gtest/gtest.h>

#include <ole2.h>

#include <cstdio>
#include <vector>

namespace cv {
namespace {

using namespace cv::test;

std::string ReadKey(const std::string& file, const char* section, const std::string& key) {
    char buf[512] = "";
    ::GetPrivateProfileStringA(section, key.c_str(), "<missing>", buf, sizeof buf, file.c_str());
    return buf;
}

/// A page with one TEXT element per name, keys 3000 and on, each with a name and a caption.
std::string PageWithControls(const std::vector<std::string>& names) {
    std::string text = "[MAINWINDOW]\r\ncaption=Test\r\nwidth=400\r\nheight=300\r\n[INFO]\r\nTOTAL=" +
                       std::to_string(names.size()) + "\r\n";
    for (std::size_t i = 0; i < names.size(); ++i) {
        char line[128];
        std::snprintf(line, sizeof line, "%zu=e,10,%zu,200,20,%s,{},t,%zu\r\n", i, 10 + 22 * i,
                      names[i] == "IDC_LANGUAGE" ? "COMBOBOX" : "TEXT", 3000 + i);
        text += line;
    }
    text += "[DADOS]\r\n";
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string key = std::to_string(3000 + i);
        text += key + ",t=2\r\n" + key + ",0=Name|" + names[i] + "|0\r\n" + key + ",1=Caption|original " +
                std::to_string(i) + "|0\r\n";
    }
    return text;
}

const char kGerman[] = "[CustomerInformation]\r\n"
                       "0=Abbrechen\r\n"
                       "6=Weiter >\r\n"
                       "7=Benutzername:\r\n"
                       "9=Installieren für:\r\n"
                       "10={b}Firma: [CompanyName]\r\n"
                       "[Value]\r\n"
                       "8=Jeden Benutzer dieses Computers\r\n"
                       "[InstallWelcome]\r\n"
                       "2=Weiter >\r\n"
                       "3=Willkommen bei [ProductName]\r\n";

const std::vector<std::string> kCustomerControls = {
    "IDCANCEL", "IDC_LOGO", "IDC_CVFRAME", "IDC_SUBTITLE", "IDC_TITLE", "IDC_BACK",
    "IDC_NEXT", "IDC_STATIC1", "IDC_ANYONE", "IDC_STATIC3", "IDC_STATIC4"};

TEST(LanguageStep, CaptionsLandUnderTheControlsSecondProperty) {
    std::string theme = TestFolder("theme");
    WriteText(theme + "customer.lcd", PageWithControls(kCustomerControls));
    WriteText(theme + "German.lan", kGerman);
    std::string page = theme + "customer.lcd";

    // IDC_LOGO (1) has no map entry; every other control of the page has one.
    EXPECT_EQ(RewritePageCaptions(theme, "customer.lcd", theme + "German.lan"), 10);
    EXPECT_EQ(ReadKey(page, "DADOS", "3000,1"), "Caption|Abbrechen|0");
    EXPECT_EQ(ReadKey(page, "DADOS", "3001,1"), "Caption|original 1|0");
    EXPECT_EQ(ReadKey(page, "DADOS", "3006,1"), "Caption|Weiter >|0");
    EXPECT_EQ(ReadKey(page, "DADOS", "3008,1"), "Caption|Jeden Benutzer dieses Computers|0");
    EXPECT_EQ(ReadKey(page, "DADOS", "3009,1"), "Caption|Installieren für:|0");
    EXPECT_EQ(ReadKey(page, "DADOS", "3010,1"), "Caption|Firma: <CompanyName>|0");
    // Keys of the language file that are missing give empty captions.
    EXPECT_EQ(ReadKey(page, "DADOS", "3002,1"), "Caption||0");
    // The names and the rest of the file are untouched.
    EXPECT_EQ(ReadKey(page, "DADOS", "3010,0"), "Name|IDC_STATIC4|0");
    EXPECT_EQ(ReadKey(page, "INFO", "TOTAL"), "11");
    // A key like "30010,1" (the index pasted after "300") is never written.
    EXPECT_EQ(ReadKey(page, "DADOS", "30010,1"), "<missing>");
}

TEST(LanguageStep, CaptionsAlreadyInPlaceAreNotWrittenAgain) {
    std::string theme = TestFolder("again");
    WriteText(theme + "customer.lcd", PageWithControls(kCustomerControls));
    WriteText(theme + "German.lan", kGerman);
    std::string page = theme + "customer.lcd";
    ASSERT_EQ(RewritePageCaptions(theme, "customer.lcd", theme + "German.lan"), 10);
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, nullptr);
    // An old time stamp on the file shows whether the second start writes to it.
    HANDLE file = ::CreateFileA(page.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FILETIME old{};
    old.dwHighDateTime = 0x01D00000;
    ASSERT_TRUE(::SetFileTime(file, nullptr, nullptr, &old));
    ::CloseHandle(file);

    EXPECT_EQ(RewritePageCaptions(theme, "customer.lcd", theme + "German.lan"), 10);
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, nullptr);
    WIN32_FILE_ATTRIBUTE_DATA after{};
    ASSERT_TRUE(::GetFileAttributesExA(page.c_str(), GetFileExInfoStandard, &after));
    EXPECT_EQ(after.ftLastWriteTime.dwHighDateTime, old.dwHighDateTime);
    EXPECT_EQ(after.ftLastWriteTime.dwLowDateTime, old.dwLowDateTime);

    // A caption changed since (a longer one that begins with the looked-up text) is written.
    ASSERT_TRUE(::WritePrivateProfileStringA("DADOS", "3006,1", "Caption|Weiter >|0 and more", page.c_str()));
    EXPECT_EQ(RewritePageCaptions(theme, "customer.lcd", theme + "German.lan"), 10);
    EXPECT_EQ(ReadKey(page, "DADOS", "3006,1"), "Caption|Weiter >|0");
}

TEST(LanguageStep, MissingLanguageFileEmptiesMappedCaptions) {
    std::string theme = TestFolder("nolang");
    WriteText(theme + "welcome.lcd", PageWithControls({"IDC_NEXT", "IDC_TITLE"}));
    RewritePageCaptions(theme, "welcome.lcd", theme + "missing.lan");
    EXPECT_EQ(ReadKey(theme + "welcome.lcd", "DADOS", "3000,1"), "Caption||0");
    EXPECT_EQ(ReadKey(theme + "welcome.lcd", "DADOS", "3001,1"), "Caption|original 1|0");
}

TEST(LanguageStep, AllPagesRewrittenMissingOnesLeftAlone) {
    std::string theme = TestFolder("allpages");
    WriteText(theme + "German.lan", kGerman);
    WriteText(theme + "welcome.lcd", PageWithControls({"IDC_STATIC1", "IDC_NEXT"}));
    WriteText(theme + "askuser.lcd", PageWithControls({"IDC_NEXT"}));
    RewriteAllPageCaptions(theme, theme + "German.lan");
    EXPECT_EQ(ReadKey(theme + "welcome.lcd", "DADOS", "3000,1"), "Caption|Willkommen bei <ProductName>|0");
    EXPECT_EQ(ReadKey(theme + "welcome.lcd", "DADOS", "3001,1"), "Caption|Weiter >|0");
    // The language page is not one of the translated pages.
    EXPECT_EQ(ReadKey(theme + "askuser.lcd", "DADOS", "3000,1"), "Caption|original 0|0");
    EXPECT_EQ(::GetFileAttributesA((theme + "license.lcd").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(LanguageStep, CaptionLookupForMappedAndUnmappedControls) {
    std::string theme = TestFolder("lookup");
    WriteText(theme + "German.lan", kGerman);
    EXPECT_EQ(CaptionLookup("welcome.lcd", "IDC_NEXT", theme + "German.lan"), "Caption|Weiter >|0");
    EXPECT_EQ(CaptionLookup("welcome.lcd", "IDC_LOGO", theme + "German.lan"), "");
    EXPECT_EQ(CaptionLookup("other.lcd", "IDC_NEXT", theme + "German.lan"), "");
}

TEST(LanguageStep, DetectionFollowsTheUserInterfaceLanguage) {
    int id = DetectUiLanguage();
    EXPECT_EQ(id, static_cast<int>(::GetUserDefaultUILanguage()));
    EXPECT_NE(id, 0);
}

TEST(LanguageStep, LanguageFilesPreferTheLanguagesFolder) {
    std::string setup = TestFolder("setupfolder");
    WriteText(setup + "Dutch.lan", "");
    EXPECT_EQ(ListLanguageNames(setup), std::vector<std::string>{"Dutch"});
    EXPECT_EQ(LanguageFileFor(setup, "Dutch"), setup + "Dutch.lan");
    ::CreateDirectoryA((setup + "languages").c_str(), nullptr);
    WriteText(setup + "languages\\German.lan", "");
    WriteText(setup + "languages\\notes.lanx", "");
    EXPECT_EQ(ListLanguageNames(setup), std::vector<std::string>{"German"});
    EXPECT_EQ(LanguageFileFor(setup, "German"), setup + "languages\\German.lan");
}

class LanguagePageTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ::OleInitialize(nullptr); }
    static void TearDownTestSuite() { ::OleUninitialize(); }
    FakeWizardHost wizard_;
};

TEST_F(LanguagePageTest, ListIsFilledOncePreselectedAndGivesTheChosenFile) {
    std::string setup = TestFolder("askuser");
    ::CreateDirectoryA((setup + "languages").c_str(), nullptr);
    for (const char* name : {"English", "German", "Portuguese"})
        WriteText(setup + "languages\\" + name + ".lan", "");
    WriteText(setup + "askuser.lcd", PageWithControls({"IDC_LANGUAGE", "IDC_SETLANGUAGE"}));
    CImageWindow page(wizard_);
    page.deleteOnDestroy = false;
    ASSERT_TRUE(page.Create());
    page.LoadPage(setup, "askuser.lcd", -1, 50);
    HWND list = page.GetDlgItem(page.FindControlByName("IDC_LANGUAGE"));
    ASSERT_NE(list, nullptr);

    FillLanguageList(page, setup, "german");
    FillLanguageList(page, setup, "german");
    ASSERT_EQ(::SendMessageA(list, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(TextOf(list), "German");
    EXPECT_EQ(ChosenLanguageFile(page, setup), setup + "languages\\German.lan");

    // A setting matching no entry leaves nothing chosen in particular; "Port" picks the first
    // entry that begins with it.
    FillLanguageList(page, setup, "Port");
    EXPECT_EQ(TextOf(list), "Portuguese");
    page.DestroyWindow();
}

} // namespace
} // namespace cv
