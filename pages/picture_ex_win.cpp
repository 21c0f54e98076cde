#include "pages/picture_ex_win.h"

#include "pages/gif_frames.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>
#include <span>

namespace cv {

namespace {

constexpr DWORD kStopWaitMs = 5000;
/// No frame is shown longer than this, whatever its delay says.
constexpr DWORD kLongestFrameWaitMs = 10000;
constexpr int kHimetricPerInch = 2540;

/// Releases a COM interface at the end of a scope.
template <class T> struct ComScope {
    T* p = nullptr;
    ~ComScope() {
        if (p)
            p->Release();
    }
};

/// GlobalLock/GlobalUnlock for a scope.
class GlobalLockScope {
  public:
    explicit GlobalLockScope(HGLOBAL block) : block_(block), bytes_(::GlobalLock(block)) {}
    ~GlobalLockScope() {
        if (bytes_)
            ::GlobalUnlock(block_);
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    const unsigned char* bytes() const { return static_cast<const unsigned char*>(bytes_); }

  private:
    HGLOBAL block_;
    void* bytes_;
};

/// Decodes a picture from a stream over `block`. With `free_block` the stream owns the block
/// and frees it when released (also when decoding fails); otherwise the caller keeps it.
IPicture* DecodePicture(HGLOBAL block, DWORD size, bool free_block) {
    ComScope<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(block, free_block ? TRUE : FALSE, &stream.p))) {
        if (free_block)
            ::GlobalFree(block);
        return nullptr;
    }
    IPicture* picture = nullptr;
    if (FAILED(::OleLoadPicture(stream.p, static_cast<LONG>(size), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(&picture))))
        return nullptr;
    return picture;
}

/// Draws the whole picture into (x, y, width, height) of `dc`. Picture sizes are HIMETRIC,
/// whose y axis points up, hence the source starts at the bottom with a negative height.
bool RenderPicture(IPicture* picture, HDC dc, int x, int y, int width, int height) {
    OLE_XSIZE_HIMETRIC hm_width = 0;
    OLE_YSIZE_HIMETRIC hm_height = 0;
    if (!picture || FAILED(picture->get_Width(&hm_width)) || FAILED(picture->get_Height(&hm_height)))
        return false;
    return SUCCEEDED(picture->Render(dc, x, y, width, height, 0, hm_height, hm_width, -hm_height, nullptr));
}

/// Asks the control's own thread to repaint it. Without a window there is nothing to ask
/// (a null target would post to the animation thread's own queue).
void RequestRepaint(HWND target) {
    if (target)
        ::PostMessageA(target, CPictureEx::kFrameDrawnMessage, 0, 0);
}

} // namespace

/// The off-screen drawing surface: a memory DC with a bitmap of the picture size selected.
struct CPictureEx::Surface {
    HDC dc = nullptr;
    UniqueBitmap bitmap;
    HGDIOBJ previous = nullptr;

    Surface() = default;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    ~Surface() {
        if (!dc)
            return;
        if (previous)
            ::SelectObject(dc, previous);
        ::DeleteDC(dc);
    }
};

void CPictureEx::PictureRelease::operator()(IPicture* p) const {
    if (p)
        p->Release();
}

CPictureEx::CPictureEx() : stop_event_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    ::InitializeCriticalSection(&surface_lock_);
}

CPictureEx::~CPictureEx() {
    Unload();
    if (m_hWnd) {
        HWND wnd = m_hWnd;
        Unsubclass();
        if (owns_window_)
            ::DestroyWindow(wnd);
    }
    ::DeleteCriticalSection(&surface_lock_);
}

bool CPictureEx::Create(HWND parent, const RECT& rect, UINT id, DWORD style) {
    HWND wnd = ::CreateWindowExA(0, "STATIC", "", style, rect.left, rect.top, rect.right - rect.left,
                                 rect.bottom - rect.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                 ::GetModuleHandleA(nullptr), nullptr);
    if (!wnd)
        return false;
    if (!SubclassWindow(wnd)) {
        ::DestroyWindow(wnd);
        return false;
    }
    owns_window_ = true;
    return true;
}

bool CPictureEx::SubclassWindow(HWND control) {
    if (!control || m_hWnd || FromHandlePermanent(control))
        return false;
    Attach(control);
    previous_proc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    if (!previous_proc_) {
        Detach();
        return false;
    }
    owns_window_ = false;
    return true;
}

void CPictureEx::Unsubclass() {
    if (!m_hWnd)
        return;
    if (previous_proc_)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_proc_));
    Detach();
}

LRESULT CALLBACK CPictureEx::SubclassProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    // Only CPictureEx objects install this procedure, so the bound object is one.
    auto* self = static_cast<CPictureEx*>(FromHandlePermanent(wnd));
    if (!self)
        return ::DefWindowProcA(wnd, msg, w, l);
    LRESULT result = self->WindowProc(msg, w, l);
    if (msg == WM_NCDESTROY) {
        self->Unsubclass();
        self->owns_window_ = false;
    }
    return result;
}

LRESULT CPictureEx::Default(UINT msg, WPARAM w, LPARAM l) {
    return ::CallWindowProcA(previous_proc_, m_hWnd, msg, w, l);
}

LRESULT CPictureEx::WindowProc(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
    case WM_PAINT:
        if (!ready_)
            break;
        Paint();
        return 0;
    case kFrameDrawnMessage:
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        return 0;
    case WM_DESTROY:
        StopPlaying();
        break;
    default:
        break;
    }
    return Default(msg, w, l);
}

void CPictureEx::Paint() {
    PaintDC paint(m_hWnd);
    SurfaceLock lock(surface_lock_);
    if (surface_)
        ::BitBlt(paint.dc(), 0, 0, size_.cx, size_.cy, surface_->dc, 0, 0, SRCCOPY);
}

COLORREF CPictureEx::GetSurfacePixel(int x, int y) {
    SurfaceLock lock(surface_lock_);
    if (!surface_ || x < 0 || y < 0 || x >= size_.cx || y >= size_.cy)
        return CLR_INVALID;
    return ::GetPixel(surface_->dc, x, y);
}

bool CPictureEx::LoadFromFile(const std::string& path) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD high = 0;
    DWORD size = ::GetFileSize(file.get(), &high);
    if (size == INVALID_FILE_SIZE || high != 0 || size == 0 || size > kMaxFileSize)
        return false;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return false;
    bool read = false;
    if (void* target = ::GlobalLock(block)) {
        DWORD got = 0;
        read = ::ReadFile(file.get(), target, size, &got, nullptr) && got == size;
        ::GlobalUnlock(block);
    }
    if (!read) {
        ::GlobalFree(block);
        return false;
    }
    return LoadFromMemory(block, size);
}

bool CPictureEx::LoadFromMemory(HGLOBAL block, DWORD size) {
    Unload();
    if (!block)
        return false;
    source_ = block;
    source_size_ = size;
    bool loaded = false;
    {
        GlobalLockScope lock(block);
        if (lock.bytes() && size > 0 && ::GlobalSize(block) >= size) {
            std::span<const unsigned char> data(lock.bytes(), size);
            if (!gif::HasGifSignature(data)) {
                loaded = LoadStill(block, size, true, SIZE{0, 0});
            } else {
                is_gif_ = true;
                gif::Split split = gif::SplitFrames(data);
                SIZE screen{split.screen.width, split.screen.height};
                if (split.frames.size() == 1)
                    loaded = LoadStill(block, size, false, screen);
                else if (split.frames.size() > 1)
                    loaded = LoadFrames(lock.bytes(), size);
            }
        }
    }
    if (!loaded)
        Unload();
    return loaded;
}

bool CPictureEx::LoadStill(HGLOBAL block, DWORD size, bool size_from_picture, SIZE screen) {
    // The stream only reads the source block, which stays ours.
    picture_.reset(DecodePicture(block, size, false));
    if (!picture_)
        return false;
    if (!size_from_picture)
        return PrepareSurface(screen.cx, screen.cy);
    OLE_XSIZE_HIMETRIC hm_width = 0;
    OLE_YSIZE_HIMETRIC hm_height = 0;
    if (FAILED(picture_->get_Width(&hm_width)) || FAILED(picture_->get_Height(&hm_height)))
        return false;
    ClientDC dc(m_hWnd);
    if (!dc.dc())
        return false;
    int width = ::MulDiv(hm_width, ::GetDeviceCaps(dc.dc(), LOGPIXELSX), kHimetricPerInch);
    int height = ::MulDiv(hm_height, ::GetDeviceCaps(dc.dc(), LOGPIXELSY), kHimetricPerInch);
    return PrepareSurface(width, height);
}

bool CPictureEx::LoadFrames(const unsigned char* bytes, DWORD size) {
    std::span<const unsigned char> data(bytes, size);
    gif::Split split = gif::SplitFrames(data);
    frames_.reserve(split.frames.size());
    for (const gif::Frame& cut : split.frames) {
        const std::size_t one_size = gif::StandaloneSize(split, cut);
        HGLOBAL one = ::GlobalAlloc(GMEM_FIXED, one_size);
        if (!one)
            continue;
        auto* target = static_cast<unsigned char*>(one); // a fixed block's handle is its address
        if (!gif::WriteStandalone(data, split, cut, std::span<unsigned char>(target, one_size))) {
            ::GlobalFree(one);
            continue;
        }
        // The stream frees the frame's block when the loader is done with it.
        PicturePtr picture(DecodePicture(one, static_cast<DWORD>(one_size), true));
        if (!picture)
            continue;
        Frame frame;
        frame.picture = std::move(picture);
        frame.width = cut.width;
        frame.height = cut.height;
        frame.left = cut.left;
        frame.top = cut.top;
        frame.delay = cut.delay;
        frame.disposal = cut.disposal;
        frames_.push_back(std::move(frame));
    }
    if (frames_.empty())
        return false;
    return PrepareSurface(split.screen.width, split.screen.height);
}

bool CPictureEx::PrepareSurface(int width, int height) {
    if (width <= 0 || height <= 0)
        return false;
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ClientDC window_dc(m_hWnd);
    if (!window_dc.dc())
        return false;
    auto surface = std::make_unique<Surface>();
    surface->dc = ::CreateCompatibleDC(window_dc.dc());
    if (!surface->dc)
        return false;
    // Compatible with the window, not with the fresh memory DC (which is monochrome).
    surface->bitmap.reset(::CreateCompatibleBitmap(window_dc.dc(), width, height));
    if (!surface->bitmap)
        return false;
    surface->previous = ::SelectObject(surface->dc, surface->bitmap.get());
    RECT all{0, 0, width, height};
    ::FillRect(surface->dc, &all, ::GetSysColorBrush(COLOR_MENU));
    SurfaceLock lock(surface_lock_);
    surface_ = std::move(surface);
    size_ = SIZE{width, height};
    background_ = ::GetSysColor(COLOR_BTNFACE);
    ready_ = true;
    return true;
}

bool CPictureEx::Show() {
    if (!ready_)
        return false;
    if (is_gif_ && frames_.size() > 1) {
        if (!StopPlaying())
            return false;
        HWND target = m_hWnd;
        thread_ = std::make_unique<CWinThread>([this, target] { return Animate(target); });
        if (!thread_->CreateThread()) {
            thread_.reset();
            return false;
        }
        return true;
    }
    {
        SurfaceLock lock(surface_lock_);
        RenderPicture(picture_.get(), surface_->dc, 0, 0, size_.cx, size_.cy);
    }
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return true;
}

unsigned CPictureEx::Animate(HWND target) {
    UniqueKernelHandle timer(::CreateWaitableTimerA(nullptr, TRUE, nullptr));
    if (!timer)
        return 1;
    const HBRUSH background = ::CreateSolidBrush(background_);
    UniqueBrush background_owner(background);
    for (size_t i = 0; i < frames_.size(); ++i) {
        const Frame& frame = frames_[i];
        const RECT area{frame.left, frame.top, frame.left + frame.width, frame.top + frame.height};
        UniqueBitmap saved;
        bool drawn = false;
        {
            SurfaceLock lock(surface_lock_);
            HDC dc = surface_->dc;
            if (frame.disposal == 3 && frame.width > 0 && frame.height > 0) {
                saved.reset(::CreateCompatibleBitmap(dc, frame.width, frame.height));
                MemoryDC copy(dc);
                if (saved && copy.dc()) {
                    SelectScope select(copy.dc(), saved.get());
                    ::BitBlt(copy.dc(), 0, 0, frame.width, frame.height, dc, frame.left, frame.top, SRCCOPY);
                }
            }
            drawn = RenderPicture(frame.picture.get(), dc, frame.left, frame.top, frame.width, frame.height);
        }
        if (drawn) {
            frames_drawn_.fetch_add(1);
            RequestRepaint(target);
        }
        if (stop_.load())
            return 0;
        const DWORD wait_ms = gif::FrameWaitMs(frame.delay);
        if (wait_ms > 0) {
            LARGE_INTEGER due;
            due.QuadPart = -static_cast<LONGLONG>(wait_ms) * 10000; // relative, 100 ns units
            if (::SetWaitableTimer(timer.get(), &due, 0, nullptr, nullptr, FALSE)) {
                HANDLE waits[2] = {timer.get(), stop_event_.get()};
                ::WaitForMultipleObjects(2, waits, FALSE, kLongestFrameWaitMs);
            } else {
                ::WaitForSingleObject(stop_event_.get(), wait_ms < kLongestFrameWaitMs ? wait_ms : kLongestFrameWaitMs);
            }
        }
        if (stop_.load())
            return 0;
        // A disposal method says what to do before the next frame; the last frame has none
        // after it, so the composed picture stays as it is.
        if (i + 1 == frames_.size())
            break;
        SurfaceLock lock(surface_lock_);
        HDC dc = surface_->dc;
        if (frame.disposal == 2) {
            // Cleared to the control's background, not to the GIF's background colour.
            ::FillRect(dc, &area, background);
        } else if (frame.disposal == 3 && saved) {
            MemoryDC copy(dc);
            if (copy.dc()) {
                SelectScope select(copy.dc(), saved.get());
                ::BitBlt(dc, frame.left, frame.top, frame.width, frame.height, copy.dc(), 0, 0, SRCCOPY);
            }
        }
        if (frame.disposal == 2 || frame.disposal == 3)
            RequestRepaint(target);
    }
    return 0;
}

bool CPictureEx::StopPlaying() {
    if (!thread_)
        return true;
    stop_.store(true);
    ::SetEvent(stop_event_.get());
    if (::WaitForSingleObject(thread_->handle(), kStopWaitMs) != WAIT_OBJECT_0)
        return false; // still running: the stop request stays until it has ended
    thread_.reset();
    ::ResetEvent(stop_event_.get());
    stop_.store(false);
    return true;
}

void CPictureEx::Clear() {
    if (!StopPlaying()) {
        // The thread still uses the frames and the surface: wait for it in full.
        thread_.reset();
        ::ResetEvent(stop_event_.get());
        stop_.store(false);
    }
    SurfaceLock lock(surface_lock_);
    picture_.reset();
    frames_.clear();
    surface_.reset();
    ready_ = false;
}

void CPictureEx::Unload() {
    Clear();
    if (source_)
        ::GlobalFree(source_);
    source_ = nullptr;
    source_size_ = 0;
    is_gif_ = false;
    size_ = SIZE{0, 0};
}

} // namespace cv
