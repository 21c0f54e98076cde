#include "pages/buttons_win.h"

#include "pages/page_rules.h"
#include "pages/page_win.h"

#include <cstring>

namespace cv {

void CMyButton::SetButtonFont(const std::string& face, int points, int bold, int italic) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTA lf = metrics.lfMessageFont;
    ClientDC dc(m_hWnd);
    lf.lfHeight = FontHeightFromPoints(points, ::GetDeviceCaps(dc.dc(), LOGPIXELSY));
    lf.lfWeight = bold == 255 ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = italic == 255;
    std::strncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = '\0';
    if (font_.Create(lf.lfHeight, lf.lfWeight, lf.lfItalic != 0, false, lf.lfFaceName))
        SetFont(font_.get());
}

void CMyButton::SetBackgroundColor(const std::string& color) {
    background_ = ColorOfText(color.c_str());
    has_background_ = !color.empty();
    brush_.reset(::CreateSolidBrush(background_));
    Invalidate();
}

bool CMyButton::IsGroupBox() const {
    return (::GetWindowLongA(m_hWnd, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

LRESULT CMyButton::WindowProc(UINT msg, WPARAM w, LPARAM l) {
    // The page clips its children and a group box leaves its inside unpainted, so the box
    // fills it: with its own colour, or with the page's background behind it.
    if (msg == WM_ERASEBKGND && IsGroupBox()) {
        HDC dc = reinterpret_cast<HDC>(w);
        RECT rc = GetClientRect();
        if (has_background_) {
            ::FillRect(dc, &rc, brush_.get());
            return 1;
        }
        HWND parent = ::GetParent(m_hWnd);
        if (!parent || !::SendMessageA(parent, kMsgPaintPageBackground, w, reinterpret_cast<LPARAM>(m_hWnd)))
            ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    return CButton::WindowProc(msg, w, l);
}

bool CMyButton::OnReflectedMessage(UINT msg, WPARAM w, LPARAM, LRESULT& result) {
    if ((msg != WM_CTLCOLORSTATIC && msg != WM_CTLCOLORBTN) || !IsGroupBox())
        return false;
    // The caption is drawn over what the erase painted.
    ::SetBkMode(reinterpret_cast<HDC>(w), TRANSPARENT);
    result = reinterpret_cast<LRESULT>(has_background_ ? brush_.get() : ::GetStockObject(NULL_BRUSH));
    return true;
}

CMyRadioButton::CMyRadioButton() : brush_(::CreateSolidBrush(background_)) {}

void CMyRadioButton::SetBackgroundColor(const std::string& color) {
    background_ = ColorOfText(color.c_str());
    brush_.reset(::CreateSolidBrush(background_));
    Invalidate();
}

void CMyRadioButton::SetTextColor(const std::string& color) {
    text_ = ColorOfText(color.c_str());
    Invalidate();
}

bool CMyRadioButton::OnReflectedMessage(UINT msg, WPARAM w, LPARAM, LRESULT& result) {
    // Radio buttons and check boxes ask with WM_CTLCOLORSTATIC, push-like ones with ...BTN.
    if (msg != WM_CTLCOLORSTATIC && msg != WM_CTLCOLORBTN)
        return false;
    HDC dc = reinterpret_cast<HDC>(w);
    ::SetTextColor(dc, text_);
    ::SetBkColor(dc, background_);
    result = reinterpret_cast<LRESULT>(brush_.get());
    return true;
}

} // namespace cv
