// The folder browser under Wine: the edit field above the tree, typed folders checked,
// missing folders created after asking.

#include "app/path_dialog.h"
#include "dialog_watch.h"

#include <gtest/gtest.h>

#include <ole2.h>

namespace cv {
namespace {

using namespace cv::test;

const char kCaption[] = "Choose Destination Folder";

bool IsFolder(const std::string& path) {
    DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

/// Types `text` into the browser's edit field.
void Type(HWND browser, const std::string& text) {
    ::SendMessageA(::GetDlgItem(browser, CPathDialog::kEditId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

class PathDialogTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ::OleInitialize(nullptr); }
    static void TearDownTestSuite() { ::OleUninitialize(); }
};

TEST_F(PathDialogTest, EditFieldSitsAboveTheTreeAndShowsTheInitialFolder) {
    std::string folder = TestFolder("browse");
    std::string edit_text, caption;
    bool status_visible = true;
    RECT edit{}, tree{};
    {
        Watcher watch([&] {
            HWND b = WaitForDialog(kCaption);
            if (!b)
                return;
            caption = TextOf(b);
            HWND e = ::GetDlgItem(b, CPathDialog::kEditId);
            // The browser fills the field from its first selection change, which may
            // come a moment after the window appears (seconds on a loaded machine).
            for (int i = 0; i < 500 && TextOf(e).empty(); ++i)
                ::Sleep(20);
            edit_text = TextOf(e);
            ::GetWindowRect(e, &edit);
            ::GetWindowRect(::GetDlgItem(b, CPathDialog::kTreeId), &tree);
            status_visible = Visible(b, CPathDialog::kStatusId);
            Screenshot("folder-browser");
            Press(b, IDCANCEL);
        });
        CPathDialog dialog(kCaption, folder.substr(0, folder.size() - 1), nullptr);
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_FALSE(dialog.accepted());
    }
    EXPECT_EQ(caption, kCaption);
    EXPECT_EQ(edit_text + "\\", folder);
    EXPECT_FALSE(status_visible);
    EXPECT_EQ(edit.left, tree.left);
    EXPECT_EQ(edit.right, tree.right);
    EXPECT_EQ(edit.top, tree.top - 27);
    EXPECT_EQ(edit.bottom, tree.top - 4);
}

TEST_F(PathDialogTest, MissingFolderIsCreatedLevelByLevelAfterAsking) {
    const std::string parent = "C:\\Program Files\\New App";
    const std::string target = parent + "\\Data";
    ::RemoveDirectoryA(target.c_str());
    ::RemoveDirectoryA(parent.c_str());
    ASSERT_FALSE(IsFolder(parent));
    std::string question;
    {
        Watcher watch([&] {
            HWND b = WaitForDialog(kCaption);
            if (!b)
                return;
            Type(b, target);
            Press(b, IDOK);
            HWND box = WaitForDialog(kCaption, 5000, b);
            if (!box)
                return;
            question = MessageBoxText(box);
            Screenshot("folder-browser-create-question");
            Press(box, IDYES);
        });
        CPathDialog dialog(kCaption, "C:\\", nullptr);
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_TRUE(dialog.accepted());
        EXPECT_EQ(dialog.folder(), target);
    }
    EXPECT_EQ(question, "The folder:\n\n" + target + "\n\ndoes not exist. Do you want the folder to be created?");
    EXPECT_TRUE(IsFolder(parent));
    EXPECT_TRUE(IsFolder(target));
    ::RemoveDirectoryA(target.c_str());
    ::RemoveDirectoryA(parent.c_str());
}

TEST_F(PathDialogTest, NoToTheQuestionKeepsTheBrowserOpenAndCreatesNothing) {
    const std::string target = "C:\\Program Files\\New App";
    ::RemoveDirectoryA(target.c_str());
    bool still_open = false;
    {
        Watcher watch([&] {
            HWND b = WaitForDialog(kCaption);
            if (!b)
                return;
            Type(b, target);
            Press(b, IDOK);
            if (HWND box = WaitForDialog(kCaption, 5000, b))
                Press(box, IDNO);
            ::Sleep(500);
            still_open = ::IsWindow(b) && ::IsWindowVisible(b);
            Press(b, IDCANCEL);
        });
        CPathDialog dialog(kCaption, "C:\\", nullptr);
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
    EXPECT_TRUE(still_open);
    EXPECT_FALSE(IsFolder(target));
}

TEST_F(PathDialogTest, InvalidFoldersAreRejectedWithTheMessage) {
    for (std::string bad : {std::string("C:\\Program Files\\New App "), std::string("C:\\Program Files\\What?")}) {
        SCOPED_TRACE(bad);
        std::string message;
        bool still_open = false;
        HWND focus = nullptr, edit = nullptr;
        {
            Watcher watch([&] {
                HWND b = WaitForDialog(kCaption);
                if (!b)
                    return;
                Type(b, bad);
                Press(b, IDOK);
                HWND box = WaitForDialog(kCaption, 5000, b);
                if (!box)
                    return;
                message = MessageBoxText(box);
                if (bad.back() == '?')
                    Screenshot("folder-browser-invalid");
                Press(box, IDOK);
                ::Sleep(500);
                still_open = ::IsWindow(b) && ::IsWindowVisible(b);
                GUITHREADINFO gui{};
                gui.cbSize = sizeof gui;
                ::GetGUIThreadInfo(::GetWindowThreadProcessId(b, nullptr), &gui);
                focus = gui.hwndFocus;
                edit = ::GetDlgItem(b, CPathDialog::kEditId);
                Press(b, IDCANCEL);
            });
            CPathDialog dialog(kCaption, "C:\\", nullptr);
            EXPECT_EQ(dialog.DoModal(), IDCANCEL);
            EXPECT_FALSE(dialog.accepted());
        }
        EXPECT_EQ(message, "The folder:\n\n" + bad + "\n\nis invalid. Please reenter.");
        EXPECT_TRUE(still_open);
        EXPECT_EQ(focus, edit);
        EXPECT_FALSE(IsFolder(bad));
    }
}

TEST_F(PathDialogTest, ExistingFolderIsAcceptedWithoutQuestion) {
    std::string folder = TestFolder("existing");
    folder.pop_back();
    HWND extra = reinterpret_cast<HWND>(1);
    {
        Watcher watch([&] {
            HWND b = WaitForDialog(kCaption);
            if (!b)
                return;
            Type(b, folder);
            Press(b, IDOK);
            extra = WaitForDialog(kCaption, 1500, b);
            if (extra)
                Press(extra, IDNO);
        });
        CPathDialog dialog(kCaption, "", nullptr);
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(dialog.folder(), folder);
    }
    EXPECT_EQ(extra, nullptr);
}

TEST_F(PathDialogTest, OwnerIsEnabledAgainAfterwards) {
    HWND owner = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    bool disabled_meanwhile = false;
    {
        Watcher watch([&] {
            HWND b = WaitForDialog(kCaption);
            if (!b)
                return;
            disabled_meanwhile = !::IsWindowEnabled(owner);
            Press(b, IDCANCEL);
        });
        CPathDialog dialog(kCaption, "C:\\", owner);
        dialog.DoModal();
    }
    EXPECT_TRUE(disabled_meanwhile);
    EXPECT_TRUE(::IsWindowEnabled(owner));
    ::DestroyWindow(owner);
}

} // namespace
} // namespace cv
