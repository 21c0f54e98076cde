#pragma once
/// CFont: an owned GDI font.

#include "framework/handle.h"

namespace cv {

class CFont {
  public:
    /// Creates a font of character height `height` (logical units; negative for the
    /// character height, as CreateFont takes it), weight and face; replaces any earlier one.
    bool Create(int height, int weight, bool italic, bool underline, const char* face) {
        font_.reset(::CreateFontA(height, 0, 0, 0, weight, italic, underline, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_DONTCARE, face));
        return font_.valid();
    }
    void Delete() { font_.reset(); }
    HFONT get() const { return font_.get(); }
    explicit operator bool() const { return font_.valid(); }

  private:
    UniqueFont font_;
};

} // namespace cv
