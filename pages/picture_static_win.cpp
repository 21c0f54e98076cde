#include "pages/picture_static_win.h"

#include "framework/winapp.h"
#include "pages/page_win.h"
#include "pages/page_rules.h"
#include "resources/resource.h"
#include "common/file_system.h"

#include <vector>

namespace cv {

int BuiltInIconResource(int number) {
    static constexpr int kResources[] = {IDI_EXCLAMATION_ICON, IDI_INFO_ICON,   IDI_ERROR_ICON,
                                         IDI_TYPICAL_ICON,     IDI_MINIMAL_ICON, IDI_CUSTOM_ICON,
                                         IDI_SETUP_ICON,       IDI_FOLDER_ICON};
    return number >= 0 && number < 8 ? kResources[number] : 0;
}

CMyStatic::~CMyStatic() { ReleasePicture(); }

void CMyStatic::ReleasePicture() {
    if (picture_)
        picture_->Release();
    picture_ = nullptr;
    width_ = height_ = 0;
}

bool CMyStatic::LoadPicture(const std::string& path) {
    ReleasePicture();
    if (!FileExists(path))
        return false;
    int n = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), n);
    void* loaded = nullptr;
    if (FAILED(::OleLoadPicturePath(wide.data(), nullptr, 0, 0, IID_IPicture, &loaded)) || !loaded)
        return false;
    picture_ = static_cast<IPicture*>(loaded);
    OLE_XSIZE_HIMETRIC hw = 0;
    OLE_YSIZE_HIMETRIC hh = 0;
    picture_->get_Width(&hw);
    picture_->get_Height(&hh);
    himetric_width_ = hw;
    himetric_height_ = hh;
    ClientDC screen(nullptr);
    width_ = HimetricToPixels(hw, ::GetDeviceCaps(screen.dc(), LOGPIXELSX));
    height_ = HimetricToPixels(hh, ::GetDeviceCaps(screen.dc(), LOGPIXELSY));
    if (m_hWnd)
        Invalidate();
    return true;
}

void CMyStatic::ShowBuiltInIcon(int number) {
    int resource = BuiltInIconResource(number);
    if (!resource)
        return;
    icon_mode_ = 255;
    icon_ = static_cast<HICON>(::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(resource),
                                            IMAGE_ICON, 32, 32, LR_SHARED));
    if (m_hWnd && icon_)
        SetIcon(icon_);
}

void CMyStatic::SetBackgroundColor(const std::string& color) {
    background_ = ColorOfText(color.c_str());
    if (m_hWnd)
        Invalidate();
}

LRESULT CMyStatic::WindowProc(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        return Default(msg, w, l);
    }
}

void CMyStatic::Paint() {
    PaintDC paint(m_hWnd);
    HDC dc = paint.dc();
    RECT rc = GetClientRect();
    if (icon_mode_ == 255 && icon_) {
        UniqueBrush brush(::CreateSolidBrush(background_));
        ::FillRect(dc, &rc, brush.get());
        ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon_), 0, 0, 0, 32, 32, DST_ICON);
        return;
    }
    // Around a picture that is smaller than the element the page shows through.
    ::SendMessageA(::GetParent(m_hWnd), kMsgPaintPageBackground, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(m_hWnd));
    if (picture_)
        RenderPicture(dc);
}

void CMyStatic::RenderPicture(HDC dc) {
    HPALETTE palette = nullptr;
    OLE_HANDLE palette_handle = 0;
    if (SUCCEEDED(picture_->get_hPal(&palette_handle)) && palette_handle) {
        palette = reinterpret_cast<HPALETTE>(static_cast<UINT_PTR>(palette_handle));
        ::SelectPalette(dc, palette, FALSE);
        ::RealizePalette(dc);
    }
    DWORD attributes = 0;
    bool transparent = FAILED(picture_->get_Attributes(&attributes)) ||
                       (attributes & PICTURE_TRANSPARENT) != 0;
    if (!transparent) {
        picture_->Render(dc, 0, 0, width_, height_, 0, himetric_height_, himetric_width_,
                         -himetric_height_, nullptr);
        return;
    }
    // Transparent pixels show the background colour: draw through a bitmap filled with it.
    MemoryDC memory(dc);
    UniqueBitmap bitmap(::CreateCompatibleBitmap(dc, width_, height_));
    if (!memory.dc() || !bitmap)
        return;
    SelectScope select(memory.dc(), bitmap.get());
    RECT all{0, 0, width_, height_};
    UniqueBrush brush(::CreateSolidBrush(background_));
    ::FillRect(memory.dc(), &all, brush.get());
    picture_->Render(memory.dc(), 0, 0, width_, height_, 0, himetric_height_, himetric_width_,
                     -himetric_height_, nullptr);
    ::BitBlt(dc, 0, 0, width_, height_, memory.dc(), 0, 0, SRCCOPY);
}

} // namespace cv
