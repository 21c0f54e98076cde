#pragma once
/// CMyStatic: the picture of BITMAP, HOVER and ICON elements. A picture file is loaded through
/// the platform's picture loader (OleLoadPicturePath: bitmap, GIF first frame, JPEG, icon) and
/// drawn at (0, 0) in its own size, never stretched; a built-in icon is drawn 32 by 32 on the
/// background colour. Animated GIFs are the animated picture control's job (CPictureEx), which
/// the splash window uses; a page shows a GIF's first frame.

#include "framework/controls.h"

#include <ocidl.h>
#include <olectl.h>

#include <string>

namespace cv {

/// Icon resources of the built-in icons 0 to 7 ("IDI_EXCLAMATION" ... "IDI_FOLDER").
int BuiltInIconResource(int number);

class CMyStatic : public CStatic {
  public:
    CMyStatic() = default;
    ~CMyStatic() override;

    /// Loads a picture file; a missing or unreadable file leaves the control empty (the page
    /// says so, as the run allows). True when a picture was loaded.
    bool LoadPicture(const std::string& path);
    /// Icon mode with built-in icon `number` (0 to 7); other numbers show nothing.
    void ShowBuiltInIcon(int number);
    /// "r,g,b" (empty means "COLOR_BTNFACE"); repaints.
    void SetBackgroundColor(const std::string& color);

    bool hasPicture() const { return picture_ != nullptr; }
    bool iconMode() const { return icon_mode_ == 255; }
    HICON icon() const { return icon_; }
    int pictureWidth() const { return width_; }
    int pictureHeight() const { return height_; }
    COLORREF backgroundColor() const { return background_; }

  protected:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;

  private:
    void ReleasePicture();
    void Paint();
    void RenderPicture(HDC dc);

    IPicture* picture_ = nullptr; // owned: released in ReleasePicture
    long himetric_width_ = 0, himetric_height_ = 0;
    int width_ = 0, height_ = 0;
    HICON icon_ = nullptr; // shared resource icon, not destroyed
    int icon_mode_ = 0;
    COLORREF background_ = ::GetSysColor(COLOR_BTNFACE);
};

} // namespace cv
