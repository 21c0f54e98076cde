#pragma once
/// Windows helpers shared by a page window and its controls.

#include <windows.h>

namespace cv {

/// Sent by a control without a background of its own to its page: the page paints its
/// background (picture or colour) into the control's device context (wParam, an HDC) for
/// the control's window (lParam, an HWND), so text can be drawn over it. Returns TRUE when
/// the page painted.
inline constexpr UINT kMsgPaintPageBackground = WM_APP + 0x40;

/// COLORREF of a layout colour text ("r,g,b"; empty or "COLOR_BTNFACE" for the button face).
COLORREF ColorOfText(const char* text);

} // namespace cv
