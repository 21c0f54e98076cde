#pragma once
/// CNewLabel: the label of TEXT, RECT, HOTSPOT, ANIMATION and LISTVIEW elements. It paints its
/// own text with its alignment, colours and font; without a background of its own the page's
/// background shows behind the text.

#include "framework/controls.h"
#include "framework/font.h"

#include <string>

namespace cv {

class CNewLabel : public CStatic {
  public:
    CNewLabel();

    /// Face, size in points, bold and italic (255/0); underlined while the link flag is set.
    /// Remembers the description.
    void SetLabelFont(const std::string& face, int points, int bold, int italic);
    /// "Left", "Center" or "Right": word-break with that alignment; repaints.
    void SetAlignment(const char* alignment);
    void SetTextColor(COLORREF color);
    /// "r,g,b" (empty means "COLOR_BTNFACE"). The label fills its background only when the
    /// colour differs from the system button face.
    void SetBackgroundColor(const std::string& color);
    /// 255: blue and underlined; 0: the underline goes, the colour stays.
    void SetLink(int on);
    /// Takes the face name and height of the page font into the label's description.
    void TakePageFont(HFONT page_font);

    UINT formatFlags() const { return format_; }
    COLORREF textColor() const { return text_color_; }
    COLORREF backgroundColor() const { return background_; }
    bool hasBackground() const { return has_background_; }
    bool isLink() const { return link_; }
    const LOGFONTA& logFont() const { return log_font_; }

  protected:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;

  private:
    void RemakeFont();
    void Paint();

    UINT format_ = 0;
    COLORREF text_color_ = RGB(0, 0, 0);
    COLORREF background_;
    UniqueBrush background_brush_;
    bool has_background_ = false;
    bool link_ = false;
    LOGFONTA log_font_{};
    CFont font_;
};

} // namespace cv
