// The uninstaller's page without a window: page or plain dialog, the texts' variables, what
// each named control shows at each stage and what a click means there.
#include "tools/cvexec/uninstall_page.h"

#include <gtest/gtest.h>

namespace cv::uninstall {
namespace {

TextValues Acme() {
    TextValues v;
    v.display_name = "Acme Writer";
    v.code = "{ACME-1}";
    v.version = "2.1";
    v.publisher = "Acme Ltd";
    v.install_folder = "C:\\Program Files\\Acme";
    v.windows_folder = "C:\\windows";
    return v;
}

TEST(UninstallPageChoice, ThePageWhereTheThemeCopyHasItsLayoutElseThePlainDialog) {
    EXPECT_EQ(ChooseWindows(Mode::Remove, true), Windows::Page);
    EXPECT_EQ(ChooseWindows(Mode::Remove, false), Windows::Plain);
    EXPECT_EQ(ChooseWindows(Mode::Modify, true), Windows::Page);
    EXPECT_EQ(ChooseWindows(Mode::Modify, false), Windows::Plain);
    // Silent shows nothing, whatever the theme holds.
    EXPECT_EQ(ChooseWindows(Mode::Silent, true), Windows::None);
    EXPECT_EQ(ChooseWindows(Mode::Silent, false), Windows::None);
    EXPECT_EQ(PageFolder("C:\\windows\\Installer\\{ACME-1}\\"), "C:\\windows\\Installer\\{ACME-1}\\theme\\");
    EXPECT_EQ(PageFolder("C:\\windows\\Installer\\{ACME-1}"), "C:\\windows\\Installer\\{ACME-1}\\theme\\");
    EXPECT_EQ(std::string(kPageLayoutFile), "uninstall.lcd");
}

TEST(UninstallPageTexts, VariablesInBothSpellingsAndTheNameDirectiveInOnePass) {
    const TextValues v = Acme();
    EXPECT_EQ(ExpandText("Remove <ProductName> and all of its components?", v),
              "Remove Acme Writer and all of its components?");
    // The language files write variables in brackets; names are compared without case.
    EXPECT_EQ(ExpandText("[productname] [ProductVersion] von [Publisher]", v), "Acme Writer 2.1 von Acme Ltd");
    EXPECT_EQ(ExpandText("<InstallDir>|<Install Dir>|<WindowsFolder>|<ProductCode>|<DisplayName>", v),
              "C:\\Program Files\\Acme|C:\\Program Files\\Acme|C:\\windows|{ACME-1}|Acme Writer");
    EXPECT_EQ(ExpandText("%s in %s: 100%%", v, "C:\\Setup"), "Acme Writer in C:\\Setup: 100%");
    // Unknown variables, lone brackets and other "%" stay as written.
    EXPECT_EQ(ExpandText("<Unknown> [x] a < b [ %d", v), "<Unknown> [x] a < b [ %d");
    EXPECT_EQ(ExpandText("<ProductName", v), "<ProductName");
    // A value is never expanded again.
    TextValues tricky = v;
    tricky.display_name = "<InstallDir> %s [Publisher]";
    EXPECT_EQ(ExpandText("%s / <ProductName>", tricky), "<InstallDir> %s [Publisher] / <InstallDir> %s [Publisher]");
    EXPECT_EQ(ExpandText("", v), "");
}

TEST(UninstallPageStages, EachStageShowsItsTextAndItsControls) {
    UninstallTexts texts;
    texts.confirm = "Remove [ProductName] and all of its components?";
    const TextValues v = Acme();

    const PageState question = StateOf(PageStage::Question, texts, v);
    EXPECT_EQ(question.text, "Remove Acme Writer and all of its components?");
    EXPECT_FALSE(question.bar_shown);
    EXPECT_TRUE(question.remove_shown);
    EXPECT_TRUE(question.cancel_shown);
    EXPECT_TRUE(question.cancel_enabled);
    EXPECT_FALSE(question.close_shown);

    const PageState removing = StateOf(PageStage::Removing, texts, v);
    EXPECT_EQ(removing.text, "Removing Acme Writer...");
    EXPECT_TRUE(removing.bar_shown);
    EXPECT_FALSE(removing.remove_shown);
    // Cancel stays in sight but cannot be pressed: a removal half done is never stopped.
    EXPECT_TRUE(removing.cancel_shown);
    EXPECT_FALSE(removing.cancel_enabled);
    EXPECT_FALSE(removing.close_shown);

    const PageState done = StateOf(PageStage::Done, texts, v, {"ignored: no failure stage"});
    EXPECT_EQ(done.text, "Acme Writer was removed from your computer.");
    EXPECT_TRUE(done.bar_shown);
    EXPECT_FALSE(done.remove_shown);
    EXPECT_FALSE(done.cancel_shown);
    EXPECT_TRUE(done.close_shown);

    std::vector<std::string> failures;
    for (int i = 0; i < 25; ++i)
        failures.push_back("FILE C:\\f" + std::to_string(i));
    const PageState failed = StateOf(PageStage::Failed, texts, v, failures);
    EXPECT_EQ(failed.text.rfind("Acme Writer was removed, but some items could not be removed:\r\nFILE C:\\f0\r\n", 0),
              0u);
    EXPECT_NE(failed.text.find("FILE C:\\f19"), std::string::npos);
    EXPECT_EQ(failed.text.find("FILE C:\\f20"), std::string::npos) << "at most 20 are listed";
    EXPECT_TRUE(failed.close_shown);
    EXPECT_FALSE(failed.cancel_shown);
}

TEST(UninstallPageClicks, NothingCutsARemovalShort) {
    using E = PageEvent;
    using R = PageReaction;
    EXPECT_EQ(React(PageStage::Question, E::RemoveClicked), R::StartRemoval);
    EXPECT_EQ(React(PageStage::Question, E::CloseRequest), R::Decline);
    EXPECT_EQ(React(PageStage::Question, E::WindowGone), R::Decline);
    EXPECT_EQ(React(PageStage::Question, E::CloseClicked), R::Ignore);
    for (E e : {E::RemoveClicked, E::CloseClicked, E::CloseRequest, E::WindowGone})
        EXPECT_EQ(React(PageStage::Removing, e), R::Ignore);
    for (PageStage s : {PageStage::Done, PageStage::Failed}) {
        EXPECT_EQ(React(s, E::CloseClicked), R::End);
        EXPECT_EQ(React(s, E::CloseRequest), R::End);
        EXPECT_EQ(React(s, E::WindowGone), R::End);
        EXPECT_EQ(React(s, E::RemoveClicked), R::Ignore);
    }
}

} // namespace
} // namespace cv::uninstall
