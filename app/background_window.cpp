// The main frame as the background window behind the pages: a vertical colour gradient,
// two white texts and an optional picture.
#include "app/main_frame.h"
#include "framework/picture_loader.h"
#include "common/setup_state.h"
#include "common/path_text.h"

namespace cv {

void CMainFrame::ShowBackgroundWindow() {
    if (Setting("BACKGROUND", "0") != "1")
        return;
    static const char* const kKeys[5] = {"1", "2", "3", "4", "5"};
    for (int i = 0; i < 5; ++i)
        background[static_cast<std::size_t>(i)] = Setting("BACKGROUND", kKeys[i]);
    backgroundShown = kOn;
    ShowWindow(SW_SHOWMAXIMIZED);
    // This runs inside the frame's creation, and a window manager may still give the new
    // window its default size afterwards: the size is checked again once creation is over.
    PostMessage(kMsgMaximizeBackground);
    ::SetMenu(m_hWnd, nullptr);
    SetWindowText("Ambrel Corvane");
    Invalidate();
    UpdateWindow();
    LoadBackgroundPicture();
}

void CMainFrame::LoadBackgroundPicture() {
    const std::string& picture = background[4];
    std::string name = FileNamePart(picture);
    if (name.empty())
        return;
    std::string path = paths.temp_folder + strings.workFolderName + "\\" + name;
    backgroundBitmap = LoadPictureFile(path);
    if (backgroundBitmap) {
        backgroundPictureLoaded = kOn;
        Invalidate();
    }
}

bool CMainFrame::OnEraseBackground(HDC dc) {
    if (backgroundShown != kOn)
        return false;
    RECT rc = GetClientRect();
    const int rows = rc.bottom - rc.top;
    const Rgb top = ParseBackgroundColor(background[2]);
    const Rgb bottom = ParseBackgroundColor(background[3]);
    for (int row = 0; row < rows; ++row) {
        Rgb c = InterpolateRow(top, bottom, row, rows);
        UniqueBrush brush(::CreateSolidBrush(RGB(c.red, c.green, c.blue)));
        RECT line{rc.left, row, rc.right, row + 1};
        ::FillRect(dc, &line, brush.get());
    }
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(255, 255, 255));
    UniqueFont title_font(::CreateFontA(-40, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, DEFAULT_CHARSET,
                                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                        DEFAULT_PITCH, "Times New Roman"));
    {
        SelectScope select(dc, title_font.get());
        ::TextOutA(dc, 24, 14, background[0].c_str(), static_cast<int>(background[0].size()));
    }
    UniqueFont corner_font(::CreateFontA(-20, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                         DEFAULT_PITCH, "Times New Roman"));
    {
        SelectScope select(dc, corner_font.get());
        UINT old_align = ::SetTextAlign(dc, TA_BOTTOM | TA_RIGHT);
        ::TextOutA(dc, rc.right - 100, rc.bottom - 50, background[1].c_str(),
                   static_cast<int>(background[1].size()));
        ::SetTextAlign(dc, old_align);
    }
    return true;
}

void CMainFrame::OnPaint() {
    PaintDC paint(m_hWnd);
    BITMAP info{};
    if (!::GetObjectA(backgroundBitmap.get(), sizeof info, &info))
        return;
    MemoryDC memory(paint.dc());
    SelectScope select(memory.dc(), backgroundBitmap.get());
    ::SetStretchBltMode(paint.dc(), COLORONCOLOR);
    ::StretchBlt(paint.dc(), 10, 10, info.bmWidth, info.bmHeight, memory.dc(), 0, 0, info.bmWidth,
                 info.bmHeight, SRCCOPY);
}

} // namespace cv
