#include "billboard/billboard_win.h"

#include "framework/picture_loader.h"
#include "resources/resource.h"

#include <ole2.h>

#include <memory>

namespace cv {

namespace {

constexpr UINT_PTR kTimerNextBillboard = 1;

bool FileExistsOnDisk(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

CBillboard::CBillboard(BillboardShow show) : CDialog(IDD_BILLBOARD), show_(std::move(show)) {}

void CBillboard::Trace(const std::string& text) const {
    if (show_.trace)
        show_.trace(text);
}

BOOL CBillboard::OnInitDialog() {
    current_ = 0;
    if (show_.list.count < 1) {
        EndDialog(IDCANCEL);
        return FALSE;
    }
    ShowCurrent();
    return FALSE;
}

void CBillboard::ShowCurrent() {
    const Billboard& b = show_.list.items[static_cast<std::size_t>(current_)];
    SetTimer(kTimerNextBillboard, BillboardMilliseconds(b.seconds));
    Trace("billboard " + std::to_string(current_) + " " + b.picture);
    ShowPicture(b.picture, b.x, b.y);
}

void CBillboard::OnTimer(UINT_PTR id) {
    if (id != kTimerNextBillboard)
        return;
    KillTimer(id);
    ++current_;
    if (current_ >= show_.list.count || current_ >= static_cast<int>(kMaxBillboards)) {
        EndDialog(IDOK);
        return;
    }
    ShowCurrent();
}

void CBillboard::ShowPicture(const std::string& name, int x, int y) {
    x_ = x < 1 ? 1 : x;
    y_ = y < 1 ? 1 : y;
    const std::string path = FindBillboardPicture(show_.folders, name, FileExistsOnDisk);
    UniqueBitmap loaded = LoadPictureFile(path);
    BITMAP info{};
    if (!loaded || !::GetObjectA(loaded.get(), sizeof info, &info)) {
        Trace("billboard picture not loaded: " + path);
        return;
    }
    picture_ = std::move(loaded);
    width_ = info.bmWidth;
    height_ = std::abs(info.bmHeight);
    pictureLoaded_ = true;
    // The window appears only with its first picture, so a picture that cannot be loaded
    // never leaves an empty window over the wizard; it is placed before it shows, and it
    // never takes the focus from the pages.
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, x_, y_, width_, height_, SWP_NOACTIVATE);
    if (!::IsWindowVisible(m_hWnd))
        ::ShowWindow(m_hWnd, SW_SHOWNA);
    Invalidate(false);
}

void CBillboard::Paint() {
    PaintDC paint(m_hWnd);
    if (!pictureLoaded_)
        return;
    MemoryDC memory(paint.dc());
    SelectScope select(memory.dc(), picture_.get());
    ::SetStretchBltMode(paint.dc(), COLORONCOLOR);
    ::BitBlt(paint.dc(), 0, 0, width_, height_, memory.dc(), 0, 0, SRCCOPY);
}

BOOL CBillboard::OnDialogMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        result = 0;
        return TRUE;
    case WM_ERASEBKGND:
        // The picture covers the whole window; erasing first would flicker.
        result = pictureLoaded_ ? 1 : 0;
        return pictureLoaded_ ? TRUE : FALSE;
    default:
        return FALSE;
    }
}

bool CBillBoardTH::Start(BillboardShow show) {
    auto owned = std::make_unique<BillboardShow>(std::move(show));
    HANDLE thread = ::CreateThread(nullptr, 0, &CBillBoardTH::Run, owned.get(), 0, nullptr);
    if (!thread)
        return false;
    // The thread owns the show from here; nobody waits for it.
    owned.release();
    ::CloseHandle(thread);
    return true;
}

DWORD WINAPI CBillBoardTH::Run(void* data) {
    std::unique_ptr<BillboardShow> show(static_cast<BillboardShow*>(data));
    auto trace = show->trace;
    const HRESULT com = ::CoInitialize(nullptr);
    {
        CBillboard window(std::move(*show));
        if (window.Create(nullptr)) {
            MSG msg;
            while (window.m_hWnd && ::GetMessageA(&msg, nullptr, 0, 0) > 0) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
    }
    if (SUCCEEDED(com))
        ::CoUninitialize();
    if (trace)
        trace("billboards end");
    return 0;
}

} // namespace cv
