#include "app/placeholder_page.h"

#include "framework/winapp.h"
#include "resources/resource.h"

namespace cv {

namespace {
constexpr int kCloseButton = 2001;
}

PlaceholderPage::PlaceholderPage(CWnd* owner, std::string title, std::string layout_name)
    : CDialog(IDD_PAGE, owner), title_(std::move(title)), layout_name_(std::move(layout_name)) {}

BOOL PlaceholderPage::OnInitDialog() {
    SetWindowText(title_);
    const int width = 500, height = 360;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    CenterOnPrimaryScreen();
    RECT rc = GetClientRect();
    HFONT font = reinterpret_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    std::string text = "Welcome to the setup of " + title_ + ".\r\n\r\nThe page \"" + layout_name_ +
                       "\" of this product appears here.";
    HWND label = ::CreateWindowExA(0, "STATIC", text.c_str(), WS_CHILD | WS_VISIBLE, 24, 24,
                                   rc.right - 48, 120, m_hWnd, nullptr, AfxGetInstanceHandle(), nullptr);
    HWND button = ::CreateWindowExA(0, "BUTTON", "Close", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                    rc.right - 110, rc.bottom - 40, 90, 26, m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCloseButton)),
                                    AfxGetInstanceHandle(), nullptr);
    ::SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ::SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ShowWindow(SW_SHOW);
    return TRUE;
}

bool PlaceholderPage::OnCommand(int id, int code, HWND) {
    if (id != kCloseButton || code != BN_CLICKED)
        return false;
    OnCancel();
    return true;
}

void PlaceholderPage::OnCancel() {
    // Closing the placeholder ends the run the way the finish does: the main frame closes.
    if (parent_ && parent_->m_hWnd)
        ::PostMessageA(parent_->m_hWnd, WM_CLOSE, 0, 0);
    EndDialog(IDCANCEL);
}

} // namespace cv
