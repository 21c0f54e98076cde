// The small dialogs under Wine: texts from the language file, buttons, answers, centring.

#include "app/cancel_setup.h"
#include "app/error_setup.h"
#include "app/msg_dialog.h"
#include "common/setup_state.h"
#include "app/wait_dialog.h"
#include "dialog_watch.h"
#include "resources/resource.h"
#include "tests/win/support/fake_wizard_host.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

using namespace cv::test;

const char kLanguage[] = "[CancelSetup]\r\n"
                         "0=Wollen Sie die Installation von [ProductName] wirklich abbrechen?\r\n"
                         "1=Nein\r\n"
                         "2={x}Ja\r\n"
                         "[SetupError]\r\n"
                         "3=Beenden\r\n";

class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = TestFolder("small");
        WriteText(folder_ + "German.lan", kLanguage);
        setupState().languageFile = folder_ + "German.lan";
        wizard_.values.product_name = "Halvard Notes";
    }
    void TearDown() override { setupState().languageFile.clear(); }

    /// True when the dialog's centre is the primary screen's centre (within rounding).
    static bool Centred(HWND dialog) {
        RECT rc{};
        ::GetWindowRect(dialog, &rc);
        int cx = (rc.left + rc.right) / 2, cy = (rc.top + rc.bottom) / 2;
        return std::abs(cx - ::GetSystemMetrics(SM_CXSCREEN) / 2) <= 1 &&
               std::abs(cy - ::GetSystemMetrics(SM_CYSCREEN) / 2) <= 1;
    }

    std::string folder_;
    FakeWizardHost wizard_;
};

TEST_F(DialogTest, CancelConfirmationTakesItsTextsFromTheLanguageFile) {
    for (int press : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(press);
        std::string text, yes, no;
        bool centred = false;
        {
            Watcher watch([&] {
                HWND d = WaitForDialog("Ambrel Corvane");
                if (!d)
                    return;
                text = TextOf(::GetDlgItem(d, IDC_TEXT));
                yes = TextOf(::GetDlgItem(d, IDOK));
                no = TextOf(::GetDlgItem(d, IDCANCEL));
                centred = Centred(d);
                if (press == IDOK)
                    Screenshot("cancel-confirmation");
                Press(d, press);
            });
            CCancelSetup confirm(nullptr, &wizard_);
            INT_PTR answer = confirm.DoModal();
            EXPECT_EQ(answer, press == IDOK ? 1 : IDCANCEL);
        }
        EXPECT_EQ(text, "Wollen Sie die Installation von Halvard Notes wirklich abbrechen?");
        EXPECT_EQ(yes, "Ja");
        EXPECT_EQ(no, "Nein");
        EXPECT_TRUE(centred);
    }
}

TEST_F(DialogTest, PlainMessageHidesOkAndNamesItsButtonFromSetupError) {
    std::string text, close;
    bool ok_visible = true;
    {
        Watcher watch([&] {
            HWND d = WaitForDialog("Ambrel Corvane");
            if (!d)
                return;
            text = TextOf(::GetDlgItem(d, IDC_TEXT));
            close = TextOf(::GetDlgItem(d, IDCANCEL));
            ok_visible = Visible(d, IDOK);
            Screenshot("message-mode-255");
            Press(d, IDCANCEL);
        });
        CCancelSetup box(nullptr, &wizard_);
        box.mode = CCancelSetup::kModeMessage;
        box.text = "The amount of RAM is not adequate for running Halvard Notes.";
        EXPECT_EQ(box.DoModal(), IDCANCEL);
    }
    EXPECT_EQ(text, "The amount of RAM is not adequate for running Halvard Notes.");
    EXPECT_EQ(close, "Beenden");
    EXPECT_FALSE(ok_visible);
}

TEST_F(DialogTest, QuestionShowsTheCallersTextWithYesAndNo) {
    std::string text, yes, no;
    {
        Watcher watch([&] {
            HWND d = WaitForDialog("Ambrel Corvane");
            if (!d)
                return;
            text = TextOf(::GetDlgItem(d, IDC_TEXT));
            yes = TextOf(::GetDlgItem(d, IDOK));
            no = TextOf(::GetDlgItem(d, IDCANCEL));
            Screenshot("question-mode-333");
            Press(d, IDOK);
        });
        CCancelSetup box(nullptr, &wizard_);
        box.mode = CCancelSetup::kModeQuestion;
        box.text = "Restart now?";
        EXPECT_EQ(box.DoModal(), 1);
    }
    EXPECT_EQ(text, "Restart now?");
    EXPECT_EQ(yes, "Ja");
    EXPECT_EQ(no, "Nein");
}

TEST_F(DialogTest, WithoutALanguageFileTheTemplateTextsStay) {
    setupState().languageFile = folder_ + "missing.lan";
    std::string text, yes, no;
    {
        Watcher watch([&] {
            HWND d = WaitForDialog("Ambrel Corvane");
            if (!d)
                return;
            text = TextOf(::GetDlgItem(d, IDC_TEXT));
            yes = TextOf(::GetDlgItem(d, IDOK));
            no = TextOf(::GetDlgItem(d, IDCANCEL));
            Press(d, IDCANCEL);
        });
        EXPECT_FALSE(ConfirmCancel(nullptr));
    }
    EXPECT_EQ(text, "Are you sure that you want to cancel <> installation ?");
    EXPECT_EQ(yes, "OK");
    EXPECT_EQ(no, "Cancel");
}

TEST_F(DialogTest, ConfirmCancelIsTrueOnlyForThePositiveButton) {
    Watcher watch([&] {
        if (HWND d = WaitForDialog("Ambrel Corvane"))
            Press(d, IDOK);
    });
    EXPECT_TRUE(ConfirmCancel(nullptr));
}

TEST_F(DialogTest, MessageShowsItsText) {
    std::string text;
    {
        Watcher watch([&] {
            HWND d = WaitForDialog("Corvane");
            if (!d)
                return;
            text = TextOf(::GetDlgItem(d, IDC_TEXT));
            Screenshot("message");
            Press(d, IDOK);
        });
        CMsg msg;
        msg.text = "Thank you for choosing Halvard Notes.";
        EXPECT_EQ(msg.DoModal(), IDOK);
    }
    EXPECT_EQ(text, "Thank you for choosing Halvard Notes.");
}

TEST_F(DialogTest, ErrorBoxAnswersRetryIgnoreAndAbort) {
    struct Case {
        int button;
        int result;
        INT_PTR ending;
    } cases[] = {{IDC_RETRY, 1, IDOK}, {IDC_IGNORE, 2, IDOK}, {IDCANCEL, 3, IDCANCEL}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        std::string text;
        bool centred = false;
        {
            Watcher watch([&] {
                HWND d = WaitForDialog("Ambrel Corvane");
                if (!d)
                    return;
                text = TextOf(::GetDlgItem(d, IDC_TEXT));
                centred = Centred(d);
                if (c.button == IDC_RETRY)
                    Screenshot("error-box");
                Press(d, c.button);
            });
            CErrorSetup box;
            box.text = "Can not copy C:\\Halvard\\notes.exe";
            EXPECT_EQ(box.DoModal(), c.ending);
            EXPECT_EQ(box.result, c.result);
        }
        EXPECT_EQ(text, "Can not copy C:\\Halvard\\notes.exe");
        EXPECT_TRUE(centred);
    }
}

TEST_F(DialogTest, ErrorBoxCancelOnlyHidesRetryAndIgnore) {
    bool retry = true, ignore = true, cancel = false;
    {
        Watcher watch([&] {
            HWND d = WaitForDialog("Ambrel Corvane");
            if (!d)
                return;
            retry = Visible(d, IDC_RETRY);
            ignore = Visible(d, IDC_IGNORE);
            cancel = Visible(d, IDCANCEL);
            Press(d, IDCANCEL);
        });
        CErrorSetup box;
        box.text = "Download failed.";
        box.cancelOnly = 255;
        box.DoModal();
        EXPECT_EQ(box.result, 3);
    }
    EXPECT_FALSE(retry);
    EXPECT_FALSE(ignore);
    EXPECT_TRUE(cancel);
}

TEST_F(DialogTest, WaitWindowShowsItsTextUntilClosed) {
    CWait wait;
    ASSERT_TRUE(wait.Open(nullptr));
    Pump(300);
    ASSERT_TRUE(::IsWindowVisible(wait.m_hWnd));
    EXPECT_EQ(TextOf(::GetDlgItem(wait.m_hWnd, IDC_WAIT_TEXT)), "Please Wait, Retrieving System Information...");
    Screenshot("wait");
    HWND wnd = wait.m_hWnd;
    wait.Close();
    EXPECT_FALSE(::IsWindow(wnd));
    wait.Close(); // harmless twice
}

} // namespace
} // namespace cv
