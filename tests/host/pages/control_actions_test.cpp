// The click rules of the pages: action texts, control-name handlers, the launch toggle, the
// setup type shown again and the ready page's summary.

#include "pages/control_actions.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

TEST(ClickActionTest, TextsMatchExactlyExceptTheZeroRow) {
    EXPECT_EQ(ClassifyClickAction("1 - Close Window"), ClickAction::CloseWindow);
    EXPECT_EQ(ClassifyClickAction("2 - Minimize Window"), ClickAction::Minimize);
    EXPECT_EQ(ClassifyClickAction("3 - Run App"), ClickAction::RunApp);
    EXPECT_EQ(ClassifyClickAction("4 - Run App and Close"), ClickAction::RunAppAndClose);
    EXPECT_EQ(ClassifyClickAction("[Do Nothing]"), ClickAction::PassOn);
    EXPECT_EQ(ClassifyClickAction("0 - Nothing"), ClickAction::PassOn);
    // "0 -" anywhere wins, even inside a text that would otherwise be an action.
    EXPECT_EQ(ClassifyClickAction("10 - Close Window"), ClickAction::PassOn);
    EXPECT_EQ(ClassifyClickAction("1 - close window"), ClickAction::PassOn);
    EXPECT_EQ(ClassifyClickAction("3 - Run App "), ClickAction::PassOn);
    EXPECT_EQ(ClassifyClickAction(""), ClickAction::PassOn);
}

TEST(NamedHandlerTest, StandardNamesAndTheirChoices) {
    EXPECT_EQ(HandlingOfName("IDC_BROWSE"), (NamedHandling{NamedHandler::Browse, 0}));
    EXPECT_EQ(HandlingOfName("IDC_NOTACCEPTLICENSE"), (NamedHandling{NamedHandler::Licence, 0}));
    EXPECT_EQ(HandlingOfName("IDC_ACCEPTLICENSE"), (NamedHandling{NamedHandler::Licence, 1}));
    EXPECT_EQ(HandlingOfName("IDC_ONLYFORME"), (NamedHandling{NamedHandler::InstallFor, 1}));
    EXPECT_EQ(HandlingOfName("IDC_CUSTOM"), (NamedHandling{NamedHandler::SetupType, 2}));
    EXPECT_EQ(HandlingOfName("IDC_MINIMAL"), (NamedHandling{NamedHandler::SetupType, 1}));
    EXPECT_EQ(HandlingOfName("IDC_LAUNCHREADME"), (NamedHandling{NamedHandler::Launch, 1}));
    // Names compare exactly: wizard buttons and near misses have no handler of their own.
    EXPECT_EQ(HandlingOfName("IDC_NEXT").handler, NamedHandler::None);
    EXPECT_EQ(HandlingOfName("idc_custom").handler, NamedHandler::None);
    EXPECT_EQ(HandlingOfName("IDC_TYPICAL ").handler, NamedHandler::None);
}

TEST(PageChoiceTest, LaunchToggleAndStoredSetupType) {
    EXPECT_EQ(ToggledLaunchFlag(0), 255);
    EXPECT_EQ(ToggledLaunchFlag(255), 0);
    EXPECT_EQ(ToggledLaunchFlag(1), 0);
    EXPECT_EQ(SetupTypeToShow(-1), 0);
    EXPECT_EQ(SetupTypeToShow(1), 1);
    EXPECT_EQ(SetupTypeToShow(2), 2);
    EXPECT_EQ(SetupTypeToShow(3), 0);
    // Only the exact "No" withholds a launch box; an empty or missing setting offers it.
    EXPECT_TRUE(IsLaunchOffered(""));
    EXPECT_TRUE(IsLaunchOffered("Yes"));
    EXPECT_TRUE(IsLaunchOffered("no"));
    EXPECT_FALSE(IsLaunchOffered("No"));
}

TEST(PageChoiceTest, CompletionPageShowsTheOfferedLaunchBoxesUnlessAborted) {
    struct Case {
        const char* name;
        bool fileOffered, readmeOffered, aborted;
        LaunchBoxes shown;
    };
    const Case cases[] = {
        {"both offered", true, true, false, {true, true}},
        {"readme withheld", true, false, false, {true, false}},
        {"program withheld", false, true, false, {false, true}},
        {"none offered", false, false, false, {false, false}},
        {"aborted hides both", true, true, true, {false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LaunchBoxesShown(c.fileOffered, c.readmeOffered, c.aborted), c.shown);
    }
}

TEST(SummaryTest, ChoicesInOrderAndEmptyNamesLeftOut) {
    EXPECT_EQ(SummaryText(2, "C:\\Demo\\", "Ann", "Acme"),
              "\r\nSetup Type:\r\n\r\nCustom\r\n\r\nDestination Folder:\r\n\r\nC:\\Demo\\\r\n\r\n"
              "User Information:\r\n\r\nName:Ann\r\n\r\nCompany:Acme\r\n\r\n");
    EXPECT_EQ(SummaryText(-1, "D:\\", "", ""),
              "\r\nSetup Type:\r\n\r\nDestination Folder:\r\n\r\nD:\\\r\n\r\nUser Information:\r\n\r\n");
    EXPECT_EQ(SummaryText(0, "", "", "Acme"),
              "\r\nSetup Type:\r\n\r\nTypical\r\n\r\nDestination Folder:\r\n\r\n\r\n\r\n"
              "User Information:\r\n\r\nCompany:Acme\r\n\r\n");
    EXPECT_EQ(BracketsToVariables("Setup of [ProductName] stopped [x]"), "Setup of <ProductName> stopped <x>");
}

} // namespace
} // namespace cv
