#include "pages/page_win.h"

#include "pages/page_rules.h"

namespace cv {

COLORREF ColorOfText(const char* text) {
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    LayoutColor c = ParseLayoutColor(text ? text : "", LayoutColor{GetRValue(face), GetGValue(face), GetBValue(face)});
    return RGB(c.red, c.green, c.blue);
}

} // namespace cv
