#include "pages/image_window_win.h"

#include "common/setup_state.h"
#include "framework/picture_loader.h"
#include "framework/font.h"
#include "framework/winapp.h"
#include "pages/page_rules.h"
#include "pages/page_win.h"
#include "resources/resource.h"
#include "common/file_system.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace cv {

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

LayoutColor ButtonFace() {
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    return LayoutColor{GetRValue(face), GetGValue(face), GetBValue(face)};
}

int PixelsPerInchY() {
    ClientDC screen(nullptr);
    return ::GetDeviceCaps(screen.dc(), LOGPIXELSY);
}

int CaptionHeight() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return ::GetSystemMetrics(SM_CYCAPTION) - 1;
    return metrics.iCaptionHeight;
}

/// Reads a small list file whole; empty when it is missing or larger than a list can be.
std::string ReadListFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::string text;
    constexpr std::size_t kMaxListFile = 1u << 20;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (text.size() > kMaxListFile)
        text.resize(kMaxListFile);
    return text;
}

} // namespace

CImageWindow::BusyScope::~BusyScope() {
    CImageWindow& page = page_;
    if (--page.busy_ == 0 && page.delete_pending_)
        delete &page;
}

CImageWindow::CImageWindow(IWizardHost& host) : CDialog(IDD_PAGE, host.PageOwner()), host_(host) {}

CImageWindow::~CImageWindow() {
    // The wizard must not keep a pointer to a page that is gone.
    host_.PageClosed(*this);
    // The window goes before the control tables; its last messages must not delete the
    // object a second time.
    deleteOnDestroy = false;
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

bool CImageWindow::Create() { return CDialog::Create(host_.PageOwner()); }

void CImageWindow::PostNcDestroy() {
    if (!deleteOnDestroy)
        return;
    if (busy_ > 0)
        delete_pending_ = true;
    else
        delete this;
}

BOOL CImageWindow::OnInitDialog() {
    HICON icon = static_cast<HICON>(::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_SETUP_ICON),
                                                 IMAGE_ICON, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
    if (icon) {
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    if (tooltip_.Create(m_hWnd)) {
        tooltip_.Activate(true);
        tooltip_.SetDelayTime(TTDT_AUTOMATIC, 100);
    }
    return TRUE;
}

// ---------------------------------------------------------------- loading

void CImageWindow::LoadPage(const std::string& folder, const std::string& file, int page_index,
                            int page_count) {
    host_.PageOpened(*this);
    KillTimer(kTimerRunInstallation);
    ResetPage();
    folder_ = folder;
    file_ = file;
    page_index_ = page_index;
    page_count_ = page_count;
    SetBackgroundColor(std::string(kButtonFaceName));

    Layout layout = LoadLayoutFile(folder, file);
    window_ = std::move(layout.window);
    warnings_ = std::move(layout.warnings);
    ApplyWindowSettings();
    SetPageFont();

    elements_.reserve(layout.elements.size());
    for (LayoutElement& e : layout.elements) {
        PageElement element;
        element.layout = std::move(e);
        element.name = element.layout.defaultName;
        elements_.push_back(std::move(element));
    }
    // Controls are made from the last line to the first, in the order of their identifiers;
    // their properties are applied afterwards in file order.
    for (auto it = elements_.rbegin(); it != elements_.rend(); ++it)
        CreateElement(*it);
    for (PageElement& element : elements_)
        ApplyProperties(element);

    PlaceWindow();
    SetUpStandardPage();

    int finish = FindControlByName("IDC_FINISH");
    if (finish != -1) {
        finish_ = 255;
        HWND button = GetDlgItem(finish);
        ::SetFocus(button);
        tooltip_.AddTool(button, "Click here to finish installation.");
    }
    if (file_ == "complete.lcd") {
        // One Tab press moves the focus from the finish button as the page expects; the key
        // is released again so that it does not stay down for the rest of the session.
        ::keybd_event(VK_TAB, 0, 0, 0);
        ::keybd_event(VK_TAB, 0, KEYEVENTF_KEYUP, 0);
    }
}

void CImageWindow::ResetPage() {
    for (PageElement& element : elements_)
        if (element.control)
            element.control->DestroyWindow();
    elements_.clear();
    table_used_.fill(0);
    finish_ = 0;
    background_picture_.reset();
    picture_loaded_ = 0;
}

void CImageWindow::ApplyWindowSettings() {
    SetWindowText(Expand(window_.caption));
    SetBackgroundColor(window_.bkcolor);
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE));
    style = ApplyWindowStyle(style, window_);
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(style));
    LoadBackgroundPicture(window_.bkimage);
    LONG_PTR ex_style = ::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE);
    ::SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, ex_style | WS_EX_APPWINDOW);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CImageWindow::SetPageFont() {
    LayoutFont font = PageFontOf(window_);
    page_font_ = host_.UsePageFont(font, FontHeightFromPoints(font.points, PixelsPerInchY())).get();
}

HFONT CImageWindow::PageFont() const {
    return page_font_ ? page_font_ : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void CImageWindow::SetBackgroundColor(const std::string& color) {
    background_text_ = ResolveColorText(color, ButtonFace());
    background_brush_.reset(::CreateSolidBrush(ColorOfText(background_text_.c_str())));
    if (m_hWnd)
        Invalidate();
}

void CImageWindow::LoadBackgroundPicture(const std::string& path) {
    background_picture_.reset();
    picture_loaded_ = 0;
    if (path.empty() || !FileExists(path))
        return;
    background_picture_ = LoadPictureFile(path);
    BITMAP info{};
    if (!background_picture_ || !::GetObjectA(background_picture_.get(), sizeof info, &info)) {
        background_picture_.reset();
        return;
    }
    picture_width_ = info.bmWidth;
    picture_height_ = info.bmHeight;
    picture_loaded_ = 255;
}

void CImageWindow::PlaceWindow() {
    int code = PlacementCode(window_.startup);
    auto place = PlacePage(code, window_.Width(), window_.Height(), ::GetSystemMetrics(SM_CXSCREEN),
                           ::GetSystemMetrics(SM_CYSCREEN), CaptionHeight());
    if (!place)
        return;
    ::SetWindowPos(m_hWnd, nullptr, place->x, place->y, place->width, place->height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------- elements

void CImageWindow::CreateElement(PageElement& element) {
    LayoutElement& e = element.layout;
    RECT rect{e.x, e.y, e.x + e.width, e.y + e.height};
    element.control = CreateControl(element, rect);
    e.width = rect.right - rect.left;
    e.height = rect.bottom - rect.top;
    ++table_used_[static_cast<std::size_t>(e.type->table)];
}

CControlWnd* CImageWindow::CreateControl(PageElement& element, RECT& rect) {
    const LayoutElement& e = element.layout;
    const std::size_t i = static_cast<std::size_t>(e.tableIndex);
    const int id = e.controlId;
    HWND page = m_hWnd;
    HFONT font = PageFont();
    auto withFont = [font](CControlWnd& c) {
        c.SetFont(font, false);
        return &c;
    };
    switch (e.type->type) {
    case ElementType::Button:
        return buttons_[i].Create("", kChild | WS_TABSTOP, rect, page, id) ? withFont(buttons_[i]) : nullptr;
    case ElementType::Bitmap:
    case ElementType::Hover: {
        CMyStatic& picture = pictures_[i];
        // The picture's own size replaces the line's; a missing file leaves it 0 by 0.
        rect.right = rect.left;
        rect.bottom = rect.top;
        if (FileExists(e.picture) && picture.LoadPicture(e.picture)) {
            rect.right = rect.left + picture.pictureWidth();
            rect.bottom = rect.top + picture.pictureHeight();
        }
        return picture.Create("", kChild | SS_BITMAP | SS_CENTERIMAGE, rect, page, id) ? &picture : nullptr;
    }
    case ElementType::Text:
        if (!texts_[i].Create("", kChild, rect, page, id))
            return nullptr;
        texts_[i].TakePageFont(font);
        return &texts_[i];
    case ElementType::Rect:
        if (!rects_[i].Create("", kChild, rect, page, id))
            return nullptr;
        rects_[i].SetBackgroundColor("255,255,255");
        return &rects_[i];
    case ElementType::TextBox:
        return edits_[i].Create(kChild | WS_TABSTOP | ES_MULTILINE, rect, page, id) ? withFont(edits_[i]) : nullptr;
    case ElementType::ComboBox: {
        CMyComboItem& combo = combos_[i];
        if (!combo.Create(kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_DISABLENOSCROLL, rect, page, id))
            return nullptr;
        withFont(combo);
        rect.bottom = rect.top + combo.GetItemHeight(-1) + 9;
        return &combo;
    }
    case ElementType::Radio:
        // A plain radio button: the standard pages set its check themselves.
        return radios_[i].Create("", kChild | WS_TABSTOP | BS_RADIOBUTTON, rect, page, id) ? withFont(radios_[i])
                                                                                            : nullptr;
    case ElementType::HotSpot:
        return hotspots_[i].Create("", kChild | WS_BORDER, rect, page, id) ? &hotspots_[i] : nullptr;
    case ElementType::Animation:
        if (!animations_[i].Create("", kChild | WS_BORDER, rect, page, id))
            return nullptr;
        animations_[i].TakePageFont(font);
        animations_[i].SetAlignment("Center");
        return &animations_[i];
    case ElementType::Progress:
        return progress_[i].Create(kChild, rect, page, id) ? &progress_[i] : nullptr;
    case ElementType::ListView:
        if (!listviews_[i].Create("", kChild, rect, page, id))
            return nullptr;
        listviews_[i].SetBackgroundColor("255,255,255");
        return &listviews_[i];
    case ElementType::GroupBox:
        if (!groupboxes_[i].Create("", kChild | BS_GROUPBOX | WS_CLIPSIBLINGS, rect, page, id))
            return nullptr;
        // Below every other element and clipped by them, so filling its inside never covers
        // the controls it frames.
        ::SetWindowPos(groupboxes_[i].m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return withFont(groupboxes_[i]);
    case ElementType::Icon:
        return icons_[i].Create("", kChild | SS_ICON | SS_CENTERIMAGE, rect, page, id) ? &icons_[i] : nullptr;
    case ElementType::Frame:
        return frames_[i].Create("", kChild, rect, page, id) ? &frames_[i] : nullptr;
    case ElementType::TreeView:
        if (!trees_[i].Create(kChild | TVS_HASLINES, rect, page, id))
            return nullptr;
        trees_[i].SetUpImages();
        return withFont(trees_[i]);
    case ElementType::CheckBox:
        return checkboxes_[i].Create("", kChild | WS_TABSTOP | BS_CHECKBOX, rect, page, id)
                   ? withFont(checkboxes_[i])
                   : nullptr;
    case ElementType::RichText:
        return richtexts_[i].Create(kChild | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN, rect, page, id)
                   ? &richtexts_[i]
                   : nullptr;
    }
    return nullptr;
}

void CImageWindow::ApplyProperties(PageElement& element) {
    const LayoutElement& e = element.layout;
    if (e.type->nameInProperty0 && e.Has(0))
        element.name = e.Value(0);
    if (!element.control)
        return;
    const std::size_t i = static_cast<std::size_t>(e.tableIndex);
    auto font = [&e](std::size_t face) {
        return LayoutFont{e.Value(face), LeadingNumber(e.Value(face + 1)), IsOnUnlessNo(e.Value(face + 2)),
                          IsOnUnlessNo(e.Value(face + 3))};
    };
    switch (e.type->type) {
    case ElementType::Button: {
        CMyButton& button = buttons_[i];
        if (e.Has(1))
            button.SetWindowText(Expand(e.Value(1)));
        if (e.Has(4)) {
            LayoutFont f = font(3);
            button.SetButtonFont(f.face, f.points, f.bold ? 255 : 0, f.italic ? 255 : 0);
        }
        if (e.Has(7))
            element.action = e.Value(7);
        if (e.Has(8))
            element.argument = e.Value(8);
        if (element.name == "IDC_NEXT") {
            button.SetButtonStyle(BS_DEFPUSHBUTTON);
            button.ModifyStyle(0, 0);
        }
        if ((element.name == "IDC_BACK" && page_index_ == 0) ||
            ((element.name == "IDC_BACK" || element.name == "IDCANCEL") && page_index_ >= page_count_ - 1))
            button.EnableWindow(false);
        break;
    }
    case ElementType::Text: {
        CNewLabel& label = texts_[i];
        if (e.Has(1))
            label.SetWindowText(Expand(e.Value(1)));
        if (e.Has(2))
            label.SetAlignment(AlignmentName(e.Value(2)));
        if (e.Has(3))
            label.SetTextColor(ColorOfText(e.Value(3).c_str()));
        if (e.Has(4))
            label.SetBackgroundColor(e.Value(4));
        if (e.Has(9) && IsYes(e.Value(9)))
            label.SetLink(255);
        if (e.Has(6)) {
            LayoutFont f = font(5);
            label.SetLabelFont(f.face, f.points, f.bold ? 255 : 0, f.italic ? 255 : 0);
        }
        break;
    }
    case ElementType::Rect:
        if (e.Has(1))
            rects_[i].SetBackgroundColor(e.Value(1));
        break;
    case ElementType::GroupBox:
        if (e.Has(1))
            groupboxes_[i].SetWindowText(e.Value(1));
        if (e.Has(2))
            groupboxes_[i].SetBackgroundColor(e.Value(2));
        break;
    case ElementType::Radio:
    case ElementType::CheckBox: {
        bool radio = e.type->type == ElementType::Radio;
        CMyRadioButton& button = radio ? radios_[i] : checkboxes_[i];
        if (e.Has(1))
            button.SetWindowText(radio ? Expand(e.Value(1)) : e.Value(1));
        if (e.Has(2))
            button.SetBackgroundColor(ResolveColorText(e.Value(2), ButtonFace()));
        if (e.Has(3)) {
            const std::string& text = e.Value(3);
            button.SetTextColor(!radio && text.empty() ? std::string("0,0,0") : text);
        }
        break;
    }
    case ElementType::ComboBox:
        if (e.Has(2) && !e.Value(2).empty())
            for (const std::string& entry : SplitComboList(ReadListFile(setupState().workFolder + e.Value(2))))
                combos_[i].AddString(entry);
        break;
    case ElementType::Progress:
        if (element.name == "IDC_DOWNLOADPROGRESS")
            progress_[i].ShowWindow(SW_HIDE);
        break;
    case ElementType::ListView:
        if (e.Has(2)) {
            DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(listviews_[i].m_hWnd, GWL_STYLE));
            DWORD changed = ApplyBorderRule(style, e.Value(2));
            listviews_[i].ModifyStyle(style & ~changed, changed & ~style);
        }
        break;
    case ElementType::Icon: {
        CMyStatic& icon = icons_[i];
        if (e.Has(2))
            icon.SetBackgroundColor(ResolveColorText(e.Value(2), ButtonFace()));
        if (e.Has(1)) {
            const std::string& value = e.Value(1);
            if (value.compare(0, 3, "IDI") == 0)
                icon.ShowBuiltInIcon(BuiltInIconNumber(value));
            else if (!FileExists(value))
                ShowMessage("File not found: (" + value + ")");
            else
                icon.LoadPicture(value);
        }
        break;
    }
    case ElementType::Bitmap:
        if (e.Has(2)) {
            const std::string& value = e.Value(2);
            pictures_[i].SetBackgroundColor(value.find("0 -") != std::string::npos
                                                ? ColorText(ButtonFace())
                                                : ResolveColorText(value, ButtonFace()));
        }
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- lookups

int CImageWindow::FindControlByName(const std::string& name) const {
    for (const PageElement& element : elements_)
        if (element.name == name)
            return element.layout.controlId;
    return -1;
}

int CImageWindow::ElementIndexOfControl(int id) const {
    for (std::size_t i = 0; i < elements_.size(); ++i)
        if (elements_[i].layout.controlId == id)
            return static_cast<int>(i);
    return -1;
}

int CImageWindow::TableIndexOfControl(int id) const {
    int index = ElementIndexOfControl(id);
    return index < 0 ? -1 : elements_[static_cast<std::size_t>(index)].layout.tableIndex;
}

CControlWnd* CImageWindow::ControlOf(int id) const {
    int index = ElementIndexOfControl(id);
    return index < 0 ? nullptr : elements_[static_cast<std::size_t>(index)].control;
}

// ---------------------------------------------------------------- requests

void CImageWindow::SetNamedText(const char* name, const std::string& text) {
    CControlWnd* control = ControlOf(FindControlByName(name));
    if (!control || !control->m_hWnd)
        return;
    control->SetWindowText(text);
    control->Invalidate();
}

void CImageWindow::SetProgressText(const std::string& text, int which) {
    if (which == 0)
        SetNamedText("IDC_INFO", text);
    else if (which == 1)
        SetNamedText("IDC_INSTALLINFO", text);
}

void CImageWindow::SetFeatureInfo(const std::string& text) { SetNamedText("IDC_FEATUREINFO", text); }

void CImageWindow::ShowDownloadProgress() {
    auto* bar = dynamic_cast<CMyProgress*>(ControlOf(FindControlByName("IDC_DOWNLOADPROGRESS")));
    if (!bar)
        return;
    bar->ShowWindow(SW_SHOW);
    bar->SetRange(0, 100);
}

void CImageWindow::UpdateDownloadProgress(const std::string& text) {
    auto* bar = dynamic_cast<CMyProgress*>(ControlOf(FindControlByName("IDC_DOWNLOADPROGRESS")));
    if (!bar)
        return;
    DownloadProgress progress = ParseDownloadProgress(text);
    bar->SetPos(progress.percent);
    SetProgressText(progress.info, 0);
}

void CImageWindow::HideDownloadProgress() {
    auto* bar = dynamic_cast<CMyProgress*>(ControlOf(FindControlByName("IDC_DOWNLOADPROGRESS")));
    if (!bar)
        return;
    bar->ShowWindow(SW_HIDE);
    bar->SetRange(0, 100);
    bar->SetPos(0);
}

// ---------------------------------------------------------------- messages

bool CImageWindow::PreTranslateMessage(MSG* msg) {
    if (tooltip_.m_hWnd)
        tooltip_.RelayEvent(msg);
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
        if (finish_ == 255)
            SetTimer(kTimerFinishByEnter, 500);
        return true;
    }
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
        BusyScope busy(*this);
        RequestCancel();
        return true;
    }
    return CDialog::PreTranslateMessage(msg);
}

void CImageWindow::OnTimer(UINT_PTR id) {
    BusyScope busy(*this);
    if (id == kTimerRunInstallation) {
        KillTimer(id);
        host_.RunInstallation();
        EndDialog(IDOK);
    } else if (id == kTimerFinishByEnter) {
        KillTimer(id);
        ForwardToWizard(0, 0, 0, "IDC_NEXT");
        EndDialog(IDOK);
    }
}

bool CImageWindow::OnCommand(int id, int code, HWND) {
    if (id < kFirstControlId || id > kLastClickableControlId || code != 0)
        return false;
    BusyScope busy(*this);
    HandleControlClick(id);
    return true;
}

void CImageWindow::PaintBackground(HDC dc, POINT origin) {
    if (picture_loaded_ != 255) {
        RECT rc = GetClientRect();
        ::OffsetRect(&rc, -origin.x, -origin.y);
        ::FillRect(dc, &rc, background_brush_.get());
        return;
    }
    MemoryDC memory(dc);
    SelectScope select(memory.dc(), background_picture_.get());
    RECT window = GetWindowRect();
    ::SetStretchBltMode(dc, COLORONCOLOR);
    ::StretchBlt(dc, -origin.x, -origin.y, window.right - window.left, window.bottom - window.top,
                 memory.dc(), 0, 0, picture_width_, picture_height_, SRCCOPY);
}

BOOL CImageWindow::OnDialogMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
    switch (msg) {
    case WM_PAINT:
        if (picture_loaded_ != 255)
            return FALSE; // the dialog's background brush shows
        {
            PaintDC paint(m_hWnd);
            PaintBackground(paint.dc(), POINT{0, 0});
        }
        result = 0;
        return TRUE;
    case kMsgPaintPageBackground: {
        HWND child = reinterpret_cast<HWND>(l);
        POINT origin{0, 0};
        ::MapWindowPoints(child, m_hWnd, &origin, 1);
        PaintBackground(reinterpret_cast<HDC>(w), origin);
        result = TRUE;
        return TRUE;
    }
    case WM_CTLCOLORDLG:
        result = reinterpret_cast<LRESULT>(background_brush_.get());
        return TRUE;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return CControlWnd::Reflect(reinterpret_cast<HWND>(l), msg, w, l, result);
    case WM_NOTIFY:
        return CControlWnd::Reflect(reinterpret_cast<const NMHDR*>(l)->hwndFrom, msg, w, l, result);
    case WM_CLOSE: {
        BusyScope busy(*this);
        RequestCancel();
        result = 0;
        return TRUE;
    }
    default:
        return FALSE;
    }
}

void CImageWindow::ShowMessage(const std::string& text) {
    if (host_.ShowsMessage(text))
        ::MessageBoxA(m_hWnd, text.c_str(), nullptr, MB_OK);
}

} // namespace cv
