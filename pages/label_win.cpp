#include "pages/label_win.h"

#include "pages/page_win.h"
#include "pages/page_rules.h"

#include <cstring>

namespace cv {

CNewLabel::CNewLabel() : background_(::GetSysColor(COLOR_BTNFACE)) {
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof log_font_, &log_font_);
    background_brush_.reset(::CreateSolidBrush(background_));
}

void CNewLabel::SetLabelFont(const std::string& face, int points, int bold, int italic) {
    ClientDC dc(m_hWnd);
    log_font_.lfHeight = FontHeightFromPoints(points, ::GetDeviceCaps(dc.dc(), LOGPIXELSY));
    log_font_.lfWidth = 0;
    log_font_.lfWeight = bold == 255 ? FW_BOLD : FW_NORMAL;
    log_font_.lfItalic = italic == 255;
    std::strncpy(log_font_.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    log_font_.lfFaceName[LF_FACESIZE - 1] = '\0';
    RemakeFont();
}

void CNewLabel::SetAlignment(const char* alignment) {
    UINT align = DT_CENTER;
    if (std::strcmp(alignment, "Left") == 0)
        align = DT_LEFT;
    else if (std::strcmp(alignment, "Right") == 0)
        align = DT_RIGHT;
    format_ = DT_WORDBREAK | align;
    Invalidate();
}

void CNewLabel::SetTextColor(COLORREF color) {
    text_color_ = color;
    Invalidate();
}

void CNewLabel::SetBackgroundColor(const std::string& color) {
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    LayoutColor faceColor{GetRValue(face), GetGValue(face), GetBValue(face)};
    std::string text = ResolveColorText(color, faceColor);
    has_background_ = text != ColorText(faceColor);
    background_ = ColorOfText(text.c_str());
    background_brush_.reset(::CreateSolidBrush(background_));
    Invalidate();
}

void CNewLabel::SetLink(int on) {
    link_ = on == 255;
    if (link_)
        text_color_ = RGB(0, 0, 255);
    RemakeFont();
}

void CNewLabel::TakePageFont(HFONT page_font) {
    LOGFONTA page{};
    if (!page_font || !::GetObjectA(page_font, sizeof page, &page))
        return;
    std::memcpy(log_font_.lfFaceName, page.lfFaceName, sizeof log_font_.lfFaceName);
    log_font_.lfHeight = page.lfHeight;
    RemakeFont();
}

void CNewLabel::RemakeFont() {
    log_font_.lfUnderline = link_;
    font_.Create(log_font_.lfHeight, log_font_.lfWeight, log_font_.lfItalic != 0, link_,
                 log_font_.lfFaceName);
    if (m_hWnd)
        Invalidate();
}

LRESULT CNewLabel::WindowProc(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers the whole label
    case WM_SETTEXT: {
        // The static control would repaint with its own look; the label repaints itself.
        LRESULT r = Default(msg, w, l);
        Invalidate();
        return r;
    }
    default:
        return Default(msg, w, l);
    }
}

void CNewLabel::Paint() {
    PaintDC paint(m_hWnd);
    HDC dc = paint.dc();
    RECT rc = GetClientRect();
    std::string text = GetWindowText();
    if (has_background_) {
        ::SetBkColor(dc, background_);
        ::FillRect(dc, &rc, background_brush_.get());
    } else {
        HWND parent = ::GetParent(m_hWnd);
        if (!parent || !::SendMessageA(parent, kMsgPaintPageBackground, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(m_hWnd)))
            ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
    }
    SelectScope font(dc, font_ ? static_cast<HGDIOBJ>(font_.get()) : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, text_color_);
    ::DrawTextA(dc, text.c_str(), -1, &rc, format_);
}

} // namespace cv
