#pragma once
/// CFrameWnd: a top-level frame created from a resource id (menu, icon and title string of
/// that id). The main frame of the application posts the quit message when it is destroyed.

#include "framework/wnd.h"

namespace cv {

/// Frame style flag: the document title is added to the caption. It is not a window style
/// and is removed before the window is created.
inline constexpr DWORD FWS_ADDTOTITLE = 0x00008000L;

class CFrameWnd : public CWnd {
  public:
    /// Creates the frame with menu resource `resource_id`, the icon and title string of the
    /// same id when they exist. Returns false when the window could not be created (for
    /// example because the creation handler returned -1); the object is then already deleted
    /// if it was allocated with new and `delete_on_destroy` holds.
    virtual BOOL LoadFrame(UINT resource_id, DWORD style, CWnd* parent = nullptr,
                           void* context = nullptr);

    /// True when the frame deletes itself after its last message (frames made with new).
    bool delete_on_destroy = true;

  protected:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;
    /// WM_CREATE; -1 makes the creation fail.
    virtual int OnCreate(CREATESTRUCTA* cs) { return 0; }
    void PostNcDestroy() override;
};

} // namespace cv
