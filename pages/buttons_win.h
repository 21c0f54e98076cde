#pragma once
/// CMyButton (BUTTON, GROUPBOX) and CMyRadioButton (RADIO, CHECKBOX).

#include "framework/controls.h"
#include "framework/font.h"

#include <string>

namespace cv {

class CMyButton : public CButton {
  public:
    /// A font from the system message font with this face, size in points, bold and italic
    /// (255/0), given to the button with WM_SETFONT.
    void SetButtonFont(const std::string& face, int points, int bold, int italic);
    /// The inside of a group box; without one (or an empty text) a group box shows the page
    /// behind it. Push buttons paint in the system's look.
    void SetBackgroundColor(const std::string& color);
    COLORREF backgroundColor() const { return background_; }

  protected:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;
    bool OnReflectedMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;

  private:
    bool IsGroupBox() const;
    CFont font_;
    COLORREF background_ = ::GetSysColor(COLOR_BTNFACE);
    bool has_background_ = false;
    UniqueBrush brush_;
};

/// A plain (not automatic) radio button or check box that draws its text in its own colours
/// through the colour request its page reflects back to it.
class CMyRadioButton : public CButton {
  public:
    CMyRadioButton();
    void SetBackgroundColor(const std::string& color);
    void SetTextColor(const std::string& color);
    COLORREF backgroundColor() const { return background_; }
    COLORREF textColor() const { return text_; }

  protected:
    bool OnReflectedMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;

  private:
    COLORREF background_ = ::GetSysColor(COLOR_BTNFACE);
    COLORREF text_ = RGB(0, 0, 0);
    UniqueBrush brush_;
};

} // namespace cv
