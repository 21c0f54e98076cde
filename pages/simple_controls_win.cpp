#include "pages/simple_controls_win.h"

namespace cv {

LRESULT CMyEdge::WindowProc(UINT msg, WPARAM w, LPARAM l) {
    if (msg != WM_PAINT)
        return Default(msg, w, l);
    PaintDC paint(m_hWnd);
    RECT rc = GetClientRect();
    ::DrawEdge(paint.dc(), &rc, EDGE_ETCHED, BF_RECT);
    return 0;
}

} // namespace cv
