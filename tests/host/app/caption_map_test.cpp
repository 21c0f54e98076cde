// The caption map, the language names and the texts and keys of the language step.

#include "app/caption_map.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

TEST(CaptionMap, PagesFindTheirOwnSectionAndValueSectionForOptionButtons) {
    struct Case {
        const char* page;
        const char* control;
        const char* section;
        const char* key;
    } cases[] = {
        {"welcome.lcd", "IDC_STATIC3", "InstallWelcome", "5"},
        {"license.lcd", "IDC_NEXT", "LicenseAgreement", "6"},
        {"license.lcd", "IDC_ACCEPTLICENSE", "Value", "1"},
        {"license.lcd", "IDC_NOTACCEPTLICENSE", "Value", "0"},
        {"customer.lcd", "IDC_STATIC4", "CustomerInformation", "10"},
        {"customer.lcd", "IDC_ONLYFORME", "Value", "9"},
        {"setuptype.lcd", "IDC_STATIC3", "SetupType", "10"},
        {"setuptype.lcd", "IDC_CUSTOM", "Value", "4"},
        {"customsetup.lcd", "IDCANCEL", "CustomSetup", "2"},
        {"customsetup.lcd", "IDC_GROUPBOX1", "CustomSetup", "13"},
        {"ready.lcd", "IDC_STATIC2", "ReadyToInstall", "16"},
        {"progress.lcd", "IDC_STATIC2", "SetupProgress", "11"},
        {"uninstall.lcd", "IDC_STATIC1", "SetupProgress", "12"},
        {"setuperror.lcd", "IDRETRY", "SetupError", "6"},
        {"cancelsetup.lcd", "IDYES", "CancelSetup", "2"},
        {"start.lcd", "IDCANCEL", "SETUP", "1"},
        {"complete.lcd", "IDC_NEXT", "SetupCompleteSuccess", "1"},
        {"complete.lcd", "IDC_FINISH", "SetupCompleteSuccess", "1"},
        {"WELCOME.LCD", "IDC_NEXT", "InstallWelcome", "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.page) + " " + c.control);
        auto key = FindCaptionKey(c.page, c.control);
        ASSERT_TRUE(key.has_value());
        EXPECT_EQ(key->section, c.section);
        EXPECT_EQ(key->key, c.key);
    }
}

TEST(CaptionMap, UnmappedPagesAndControlsHaveNoEntry) {
    EXPECT_FALSE(FindCaptionKey("askuser.lcd", "IDC_NEXT"));
    EXPECT_FALSE(FindCaptionKey("mypage.lcd", "IDCANCEL"));
    EXPECT_FALSE(FindCaptionKey("welcome.lcd", "IDC_TITLE"));  // the welcome page has no title entry
    EXPECT_FALSE(FindCaptionKey("welcome.lcd", "idc_next"));   // control names are exact
    EXPECT_FALSE(FindCaptionKey("welcome.lcd", ""));
    EXPECT_FALSE(FindCaptionKey("customer.lcd", "IDC_TYPICAL")); // another page's option
    EXPECT_FALSE(FindCaptionKey("welcome", "IDC_NEXT"));
}

TEST(CaptionMap, EveryTranslatedPageIsInTheMap) {
    for (std::string_view page : kTranslatedPageFiles)
        EXPECT_TRUE(FindCaptionKey(page, page == "setuperror.lcd" || page == "cancelsetup.lcd" ||
                                                 page == "uninstall.lcd"
                                             ? "IDYES"
                                             : page == "start.lcd" ? "IDC_STATIC1" : "IDC_NEXT"))
            << page;
    EXPECT_EQ(kTranslatedPageFiles.front(), "welcome.lcd");
    EXPECT_EQ(kTranslatedPageFiles.back(), "start.lcd");
}

TEST(LanguageNames, DetectedIdentifiersAndOthers) {
    EXPECT_EQ(LanguageNameOf(1031), "German");
    EXPECT_EQ(LanguageNameOf(1033), "English");
    EXPECT_EQ(LanguageNameOf(1046), "Portuguese");
    EXPECT_EQ(LanguageNameOf(2067), "Dutch");
    EXPECT_EQ(LanguageNameOf(3098), "Serbian");
    EXPECT_EQ(LanguageNameOf(1030), "Danish");
    // Brazilian is 1046; European Portuguese (2070), British English (2057) and Swiss German
    // (2055) have no name of their own.
    EXPECT_EQ(LanguageNameOf(2070), "");
    EXPECT_EQ(LanguageNameOf(2057), "");
    EXPECT_EQ(LanguageNameOf(2055), "");
    EXPECT_EQ(LanguageNameOf(0), "");
    EXPECT_EQ(LanguageNameOf(-1), "");
}

TEST(LanguageNames, FilePathPrefersTheLanguagesFolder) {
    EXPECT_EQ(LanguageFilePath("C:\\setup\\", "German", true), "C:\\setup\\languages\\German.lan");
    EXPECT_EQ(LanguageFilePath("C:\\setup\\", "German", false), "C:\\setup\\German.lan");
    // An unlisted language has an empty name: the file ".lan" is looked for.
    EXPECT_EQ(LanguageFilePath("C:\\setup\\", "", true), "C:\\setup\\languages\\.lan");
    EXPECT_EQ(LanguageFilePath("C:\\setup\\", "", false), "C:\\setup\\.lan");
}

TEST(LanguageText, BracketsBecomeAngleBracketsAndThePrefixIsDropped) {
    EXPECT_EQ(LanguageValueText("Welcome to [ProductName]"), "Welcome to <ProductName>");
    EXPECT_EQ(LanguageValueText("{b}Bold [x] text"), "Bold <x> text");
    // Only the first "}" ends the prefix.
    EXPECT_EQ(LanguageValueText("a}b}c"), "b}c");
    EXPECT_EQ(LanguageValueText("}"), "");
    EXPECT_EQ(LanguageValueText(""), "");
    EXPECT_EQ(LanguageValueText("[[]]"), "<<>>");
    EXPECT_EQ(CaptionProperty("Weiter >"), "Caption|Weiter >|0");
    EXPECT_EQ(CaptionProperty(""), "Caption||0");
}

TEST(LanguageText, ControlKeysRunOnPastNine) {
    EXPECT_EQ(ControlPropertyKey(0, 0), "3000,0");
    EXPECT_EQ(ControlPropertyKey(9, 1), "3009,1");
    EXPECT_EQ(ControlPropertyKey(10, 1), "3010,1");
    EXPECT_EQ(ControlPropertyKey(69, 0), "3069,0");
}

TEST(LanguageText, PropertyNameIsBetweenTheFirstTwoBars) {
    EXPECT_EQ(PropertyName("Name|IDC_NEXT|0"), "IDC_NEXT");
    EXPECT_EQ(PropertyName("Name|IDC_NEXT"), "IDC_NEXT");
    EXPECT_EQ(PropertyName("Name||0"), "");
    EXPECT_EQ(PropertyName("IDC_NEXT"), "");
    EXPECT_EQ(PropertyName(""), "");
}

} // namespace
} // namespace cv
