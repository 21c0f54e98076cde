#include "app/path_dialog.h"

#include "app/folder_rules.h"
#include "common/file_system.h"

#include <shlobj.h>

#include <cstdio>
#include <vector>

namespace cv {

namespace {

const char kSelfProperty[] = "CvPathDialog";

std::string FormatFolderMessage(const char* format, const std::string& folder) {
    std::vector<char> text(folder.size() + 128);
    std::snprintf(text.data(), text.size(), format, folder.c_str());
    return text.data();
}

std::string WindowText(HWND wnd) {
    int n = ::GetWindowTextLengthA(wnd);
    std::string text(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
    int got = ::GetWindowTextA(wnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

} // namespace

CPathDialog::CPathDialog(std::string caption, std::string initial_folder, HWND owner)
    : caption_(std::move(caption)), initial_(std::move(initial_folder)), owner_(owner) {}

INT_PTR CPathDialog::DoModal() {
    accepted_ = false;
    char display[MAX_PATH] = "";
    BROWSEINFOA info{};
    info.hwndOwner = owner_;
    info.pszDisplayName = display;
    info.lpszTitle = "";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT; // 5
    info.lpfn = &CPathDialog::BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);
    LPITEMIDLIST chosen = ::SHBrowseForFolderA(&info);
    if (chosen)
        ::CoTaskMemFree(chosen);
    if (owner_)
        ::EnableWindow(owner_, TRUE);
    return accepted_ ? IDOK : IDCANCEL;
}

int CALLBACK CPathDialog::BrowseCallback(HWND wnd, UINT msg, LPARAM l, LPARAM data) {
    auto* self = reinterpret_cast<CPathDialog*>(data);
    if (msg == BFFM_INITIALIZED)
        self->OnInitialized(wnd);
    else if (msg == BFFM_SELCHANGED)
        self->OnSelectionChanged(wnd, l);
    return 0;
}

void CPathDialog::OnInitialized(HWND browser) {
    ::SetWindowTextA(browser, caption_.c_str());
    // The browser's own procedure sees OK and the edit field's notifications after ours.
    ::SetPropA(browser, kSelfProperty, this);
    browser_proc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(browser, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CPathDialog::BrowserProc)));
    ::ShowWindow(::GetDlgItem(browser, kStatusId), SW_HIDE);

    RECT tree{};
    HWND tree_wnd = ::GetDlgItem(browser, kTreeId);
    ::GetWindowRect(tree_wnd, &tree);
    ::MapWindowPoints(nullptr, browser, reinterpret_cast<POINT*>(&tree), 2);
    edit_ = ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                              tree.left, tree.top - 27, tree.right - tree.left, 23, browser,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)),
                              reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(browser, GWLP_HINSTANCE)), nullptr);
    if (edit_) {
        ::SendMessageA(edit_, WM_SETFONT, ::SendMessageA(browser, WM_GETFONT, 0, 0), TRUE);
        ::SendMessageA(edit_, EM_LIMITTEXT, kMaxFolderPath, 0);
    }

    std::string start = initial_;
    if (start.empty()) {
        char current[MAX_PATH] = "";
        ::GetCurrentDirectoryA(sizeof current, current);
        start = current;
    }
    ::SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(start.c_str()));
    // The selection change that fills the field may not come, or come with no folder path,
    // while the tree is still reading its drives (seen under Wine); the field then shows
    // the folder the browser was asked to start at.
    if (edit_ && ::GetWindowTextLengthA(edit_) == 0 && start.size() > 1 && start[1] == ':')
        ::SetWindowTextA(edit_, start.c_str());
}

void CPathDialog::OnSelectionChanged(HWND browser, LPARAM item) {
    char path[MAX_PATH] = "";
    if (!item || !::SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(item), path) || path[1] != ':')
        path[0] = '\0';
    ::SendMessageA(browser, BFFM_ENABLEOK, 0, path[0] != '\0');
    ::SendMessageA(browser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
    if (edit_)
        ::SetWindowTextA(edit_, path);
}

void CPathDialog::OnEditChanged(HWND browser) {
    result_ = WindowText(edit_);
    ::SendMessageA(browser, BFFM_ENABLEOK, 0, !result_.empty());
}

bool CPathDialog::CreateFolder(HWND browser, const std::string& folder) {
    for (const std::string& level : FolderLevels(folder)) {
        if (FolderExists(level))
            continue;
        if (!::CreateDirectoryA(level.c_str(), nullptr) && !FolderExists(level)) {
            std::string text = FormatFolderMessage("The folder:\n\n%s\n\ncan not be created. Please double check.", folder);
            ::MessageBoxA(browser, text.c_str(), caption_.c_str(), MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
    }
    return true;
}

bool CPathDialog::OnOk(HWND browser) {
    result_ = edit_ ? WindowText(edit_) : result_;
    if (!IsValidFolderPath(result_)) {
        std::string text = FormatFolderMessage("The folder:\n\n%s\n\nis invalid. Please reenter.", result_);
        ::MessageBoxA(browser, text.c_str(), caption_.c_str(), MB_OK | MB_ICONEXCLAMATION);
        if (edit_)
            ::SetFocus(edit_);
        return false;
    }
    if (!FolderExists(result_)) {
        std::string text = FormatFolderMessage(
            "The folder:\n\n%s\n\ndoes not exist. Do you want the folder to be created?", result_);
        if (::MessageBoxA(browser, text.c_str(), caption_.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
            return false;
        if (!CreateFolder(browser, result_)) {
            if (edit_)
                ::SetFocus(edit_);
            return false;
        }
    }
    accepted_ = true;
    return true;
}

LRESULT CALLBACK CPathDialog::BrowserProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    auto* self = static_cast<CPathDialog*>(::GetPropA(wnd, kSelfProperty));
    WNDPROC previous = self->browser_proc_;
    if (msg == WM_COMMAND) {
        if (LOWORD(w) == kEditId && HIWORD(w) == EN_CHANGE) {
            self->OnEditChanged(wnd);
            return 0;
        }
        if (LOWORD(w) == IDOK && HIWORD(w) == BN_CLICKED) {
            if (self->OnOk(wnd))
                ::EndDialog(wnd, 1);
            return 0;
        }
    } else if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        ::RemovePropA(wnd, kSelfProperty);
        self->edit_ = nullptr;
    }
    return ::CallWindowProcA(previous, wnd, msg, w, l);
}

} // namespace cv
