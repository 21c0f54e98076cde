#pragma once
/// CPictureEx: a static picture control that shows any picture the OLE picture loader reads
/// (bitmap, JPEG, icon, metafile, one-image GIF) and plays animated GIFs. An animated GIF is
/// cut into standalone one-image GIFs (pages/gif_frames.h), each decoded once at load time;
/// a worker thread then composes them into an off-screen bitmap, frame by frame, following
/// each frame's delay and disposal method, and the control paints from that bitmap.
///
/// Threads: the animation thread draws only into the off-screen bitmap, under a lock that
/// WM_PAINT also takes, and reaches the window only by posting a message that asks for a
/// repaint. StopPlaying is the way to stop it; loading, Clear and destruction stop it first.
///
/// Loading decodes through OleLoadPicture, which needs COM initialised on the loading
/// thread for GIF and JPEG data (the application initialises it at start-up).

#include "framework/handle.h"
#include "framework/thread.h"
#include "framework/wnd.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

struct IPicture;

namespace cv {

class CPictureEx : public CWnd {
  public:
    /// Posted by the animation thread to the control after it drew a frame.
    static constexpr UINT kFrameDrawnMessage = WM_APP + 0x2E1;
    /// The longest file LoadFromFile reads.
    static constexpr DWORD kMaxFileSize = 64u << 20;

    CPictureEx();
    ~CPictureEx() override;

    /// Creates the control as a child static window of `parent` and binds it.
    bool Create(HWND parent, const RECT& rect, UINT id,
                DWORD style = WS_CHILD | WS_VISIBLE | SS_NOTIFY);
    /// Binds the control to an existing static window (such as a dialog's picture item) by
    /// subclassing it; the window's owner keeps destroying it.
    bool SubclassWindow(HWND control);
    bool SubclassDlgItem(int id, HWND dialog) { return SubclassWindow(::GetDlgItem(dialog, id)); }

    /// Reads the whole file (shared for reading only, so nobody writes it meanwhile) into a
    /// new movable memory block and loads from it. False when the file cannot be opened or
    /// read, is empty or longer than kMaxFileSize, or LoadFromMemory fails.
    bool LoadFromFile(const std::string& path);

    /// Loads the picture in the first `size` bytes of `block`, taking ownership of the block:
    /// it is kept while the picture is loaded and freed by the next load, by destruction, or
    /// at once when loading fails. Whatever was loaded before is stopped and released first.
    /// A `size` larger than the block is refused. A GIF with more than one frame is
    /// cut into frames, each decoded now; a frame that does not decode is left out. Other
    /// pictures and one-frame GIFs are decoded whole. On success the control is resized to
    /// the picture (the GIF's logical screen, or the picture's own size) and its off-screen
    /// surface is prepared; nothing is drawn until Show.
    bool LoadFromMemory(HGLOBAL block, DWORD size);

    /// Starts showing: an animated GIF starts the animation thread (one pass over the
    /// frames); a still picture is drawn once into the surface and the control repainted.
    /// False when nothing is loaded or the thread cannot be started.
    bool Show();

    /// Stops the animation thread: sets the stop flag, signals the stop event and waits up
    /// to 5000 ms. True when no thread is left running. A thread that did not end in time
    /// keeps its stop request and is waited for in full before its frames are released.
    bool StopPlaying();

    /// Stops, then releases the pictures, the frames and the off-screen surface.
    void Clear();

    bool IsGif() const { return is_gif_; }
    /// Frames decoded from an animated GIF (0 for still pictures).
    size_t GetFrameCount() const { return frames_.size(); }
    /// The picture size in pixels, and the control's size once loaded.
    SIZE GetSize() const { return size_; }
    bool IsReady() const { return ready_; }
    /// True while the animation thread has not ended.
    bool IsPlaying() const { return thread_ && thread_->running(); }
    /// Frames the animation thread has drawn since the control was created.
    int GetFramesDrawn() const { return frames_drawn_.load(); }
    /// The colour disposal method 2 clears to.
    COLORREF GetBackgroundColor() const { return background_; }
    /// One pixel of the off-screen picture, read under the surface lock; CLR_INVALID when
    /// nothing is prepared or the point is outside.
    COLORREF GetSurfacePixel(int x, int y);

  protected:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;
    LRESULT Default(UINT msg, WPARAM w, LPARAM l) override;

  private:
    struct Surface;
    struct PictureRelease {
        void operator()(IPicture* p) const;
    };
    using PicturePtr = std::unique_ptr<IPicture, PictureRelease>;

    /// One decoded frame and where and how long it is shown.
    struct Frame {
        PicturePtr picture;
        int width = 0;
        int height = 0;
        int left = 0;
        int top = 0;
        int delay = -1;   ///< hundredths; -1 without a graphic control extension
        int disposal = 0; ///< 0..7
    };

    /// Holds the surface lock for a scope.
    class SurfaceLock {
      public:
        explicit SurfaceLock(CRITICAL_SECTION& cs) : cs_(cs) { ::EnterCriticalSection(&cs_); }
        ~SurfaceLock() { ::LeaveCriticalSection(&cs_); }
        SurfaceLock(const SurfaceLock&) = delete;
        SurfaceLock& operator=(const SurfaceLock&) = delete;

      private:
        CRITICAL_SECTION& cs_;
    };

    static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM w, LPARAM l);
    void Unsubclass();
    void Unload();
    bool LoadStill(HGLOBAL block, DWORD size, bool size_from_picture, SIZE screen);
    bool LoadFrames(const unsigned char* bytes, DWORD size);
    bool PrepareSurface(int width, int height);
    unsigned Animate(HWND target);
    void Paint();

    HGLOBAL source_ = nullptr;
    DWORD source_size_ = 0;
    bool is_gif_ = false;
    SIZE size_{0, 0};
    COLORREF background_ = RGB(255, 255, 255);
    std::unique_ptr<Surface> surface_;
    bool ready_ = false;
    PicturePtr picture_;
    std::vector<Frame> frames_;

    std::unique_ptr<CWinThread> thread_;
    std::atomic<bool> stop_{false};
    UniqueKernelHandle stop_event_;
    std::atomic<int> frames_drawn_{0};
    CRITICAL_SECTION surface_lock_;

    WNDPROC previous_proc_ = nullptr;
    bool owns_window_ = false;
};

} // namespace cv
