#include "tools/cvexec/uninstall_page_win.h"

#include "framework/winapp.h"
#include "pages/page_rules.h"

#include <ole2.h>

namespace cv::uninstall {

namespace {

/// The current directory for as long as the object lives (the layout's window picture is a
/// path relative to the log folder; the removal must not find its folder in use).
class CurrentDirectoryScope {
  public:
    explicit CurrentDirectoryScope(const std::string& folder) {
        char current[MAX_PATH + 1] = {};
        const DWORD n = ::GetCurrentDirectoryA(sizeof current, current);
        if (n > 0 && n < sizeof current && ::SetCurrentDirectoryA(folder.c_str()))
            previous_ = current;
    }
    ~CurrentDirectoryScope() {
        if (!previous_.empty())
            ::SetCurrentDirectoryA(previous_.c_str());
    }
    CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
    CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;

  private:
    std::string previous_;
};

} // namespace

UninstallPage::UninstallPage(std::string folder, std::string base_folder, const UninstallTexts& texts,
                             TextValues values)
    : folder_(std::move(folder)), base_folder_(std::move(base_folder)), texts_(texts), values_(std::move(values)) {}

UninstallPage::~UninstallPage() {
    page_.reset();
    if (ole_)
        ::OleUninitialize();
}

bool UninstallPage::Open(PageStage stage) {
    // The pictures of a page are loaded through OLE.
    ole_ = SUCCEEDED(::OleInitialize(nullptr));
    page_ = std::make_unique<CImageWindow>(*this);
    // This object owns the page: its window may go first (the page ends itself on some
    // clicks), the object only with this one.
    page_->deleteOnDestroy = false;
    if (!page_->Create()) {
        page_.reset();
        return false;
    }
    {
        CurrentDirectoryScope in_log_folder(base_folder_);
        page_->LoadPage(folder_, std::string(kPageLayoutFile), 0, 2);
    }
    stage_ = stage;
    Apply(StateOf(stage_, texts_, values_));
    page_->ShowWindow(SW_SHOW);
    ::SetForegroundWindow(page_->m_hWnd);
    DispatchPending();
    return window() != nullptr;
}

std::string UninstallPage::ExpandText(std::string_view text) const { return uninstall::ExpandText(text, values_); }

const CFont& UninstallPage::UsePageFont(const LayoutFont& font, int height) {
    font_.Create(height, font.bold ? FW_BOLD : FW_NORMAL, font.italic, false, font.face.c_str());
    return font_;
}

void UninstallPage::ForwardClick(const PageClick& click, CImageWindow&) {
    if (click.name == kRemoveButton)
        OnEvent(PageEvent::RemoveClicked);
    else if (click.name == kCloseButton)
        OnEvent(PageEvent::CloseClicked);
}

bool UninstallPage::ConfirmCancel(CWnd&) {
    OnEvent(PageEvent::CloseRequest);
    return false;
}

void UninstallPage::OnEvent(PageEvent event) {
    const PageReaction reaction = React(stage_, event);
    if (reaction != PageReaction::Ignore)
        reaction_ = reaction;
}

void UninstallPage::Apply(const PageState& state) {
    if (!window())
        return;
    auto control = [this](std::string_view name) { return page_->ControlOf(page_->FindControlByName(std::string(name))); };
    auto show = [&](std::string_view name, bool shown) {
        if (CControlWnd* c = control(name); c && c->m_hWnd)
            c->ShowWindow(shown ? SW_SHOW : SW_HIDE);
    };
    if (CControlWnd* text = control(kTextControl); text && text->m_hWnd) {
        text->SetWindowText(state.text);
        // The label may be transparent: the page's picture is painted again behind the text.
        RECT rect{};
        ::GetWindowRect(text->m_hWnd, &rect);
        ::MapWindowPoints(nullptr, page_->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        ::RedrawWindow(page_->m_hWnd, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    show(kBarControl, state.bar_shown);
    show(kRemoveButton, state.remove_shown);
    show(kCancelButton, state.cancel_shown);
    if (CControlWnd* cancel = control(kCancelButton); cancel && cancel->m_hWnd)
        cancel->EnableWindow(state.cancel_enabled);
    show(kCloseButton, state.close_shown);
    const std::string_view focus = state.close_shown ? kCloseButton : state.remove_shown ? kRemoveButton : "";
    if (CControlWnd* c = focus.empty() ? nullptr : control(focus); c && c->m_hWnd)
        ::SetFocus(c->m_hWnd);
}

void UninstallPage::DispatchPending() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Not ours to end here: the caller's loop sees it again.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (!CWinApp::PreTranslate(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

void UninstallPage::Run() {
    reaction_ = PageReaction::Ignore;
    MSG msg;
    while (reaction_ == PageReaction::Ignore) {
        if (!window()) {
            OnEvent(PageEvent::WindowGone);
            break;
        }
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            OnEvent(PageEvent::WindowGone);
            break;
        }
        if (!CWinApp::PreTranslate(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

bool UninstallPage::Ask() {
    stage_ = PageStage::Question;
    Run();
    return reaction_ == PageReaction::StartRemoval;
}

void UninstallPage::Step(int position, int count) {
    if (stage_ != PageStage::Removing) {
        stage_ = PageStage::Removing;
        Apply(StateOf(stage_, texts_, values_));
    }
    if (auto* bar = window() ? dynamic_cast<CProgressCtrl*>(page_->ControlOf(page_->FindControlByName(
                                   std::string(kBarControl))))
                             : nullptr) {
        if (count != range_) {
            range_ = count;
            bar->SetRange(0, count > 0 ? count : 1);
        }
        bar->SetPos(count > 0 ? position : 1);
    }
    DispatchPending();
}

void UninstallPage::ShowResult(const std::vector<std::string>& failures) {
    stage_ = failures.empty() ? PageStage::Done : PageStage::Failed;
    Apply(StateOf(stage_, texts_, values_, failures));
    Run();
}

} // namespace cv::uninstall
