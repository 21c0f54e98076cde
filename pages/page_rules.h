#pragma once
/// The computations of a page window that need no window: its style bits, placement, colours,
/// font and the texts of the progress operations. The Win32 page only applies their results.

#include "pages/layout.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cv {

// The window style bits the layout switches (values of the Win32 constants).
inline constexpr std::uint32_t kStyleBorder = 0x00800000;      // WS_BORDER
inline constexpr std::uint32_t kStyleSystemMenu = 0x00080000;  // WS_SYSMENU
inline constexpr std::uint32_t kStyleMinimizeBox = 0x00020000; // WS_MINIMIZEBOX
inline constexpr std::uint32_t kStyleMaximizeBox = 0x00010000; // WS_MAXIMIZEBOX

/// "Yes" exactly.
bool IsYes(std::string_view value);
/// On for every value except exactly "No" (an empty value is on).
bool IsOnUnlessNo(std::string_view value);

/// What a border value asks for: its first character as a number, 0 (also a non-digit or an
/// empty value) removes the bit, 1 adds it, 2 to 9 leave it.
std::uint32_t ApplyBorderRule(std::uint32_t style, std::string_view border);

/// The page window's style after `border`, `minwindow`, `maxwindow` and `closewindow`: the
/// three boxes are on only for "Yes".
std::uint32_t ApplyWindowStyle(std::uint32_t style, const WindowSettings& window);

/// The placement code: the first two characters of `startup` as a number (0 when empty or not
/// a number).
int PlacementCode(std::string_view startup);

struct PageRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const PageRect&) const = default;
};

/// The layout height as shown: reduced by 25 - c when the caption bar height c is at most 24.
int ShownPageHeight(int layoutHeight, int captionHeight);

/// Where a page of `width` by `height` (the layout's values) goes on a screen of
/// `screenWidth` by `screenHeight`: code 0 centres it, 2 top left, 3 top right, 4 bottom left,
/// 5 bottom right (35 pixels above the bottom edge); every other code leaves the window as
/// created (no value). The height is first reduced by the caption-height rule.
std::optional<PageRect> PlacePage(int code, int width, int height, int screenWidth,
                                  int screenHeight, int captionHeight);

struct LayoutColor {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const LayoutColor&) const = default;
};

inline constexpr std::string_view kButtonFaceName = "COLOR_BTNFACE";

/// "r,g,b" as the page writes it ("%u,%u,%u").
std::string ColorText(LayoutColor color);

/// Parses "r,g,b" (components past 255 are clamped, a missing one is 0); an empty text and
/// "COLOR_BTNFACE" give `buttonFace`.
LayoutColor ParseLayoutColor(std::string_view text, LayoutColor buttonFace);

/// The colour text after the layout's special cases: empty or "COLOR_BTNFACE" becomes the
/// button face's "r,g,b".
std::string ResolveColorText(std::string_view text, LayoutColor buttonFace);

/// A font as a layout gives it.
struct LayoutFont {
    std::string face;
    int points = 0;
    bool bold = false;
    bool italic = false;
};

/// The page font of the window settings: bold and italic unless the value is exactly "No".
LayoutFont PageFontOf(const WindowSettings& window);

/// The character height for CreateFont: -(points × pixels per inch / 72).
int FontHeightFromPoints(int points, int pixelsPerInch);

/// HIMETRIC (0.01 mm) to pixels: (himetric × pixels per inch + 1270) / 2540.
int HimetricToPixels(long himetric, int pixelsPerInch);

/// The download progress text "percent,time left,remainder" as the page shows it.
struct DownloadProgress {
    int percent = 0;
    std::string info; ///< "Estimated time left: <time left> - <remainder>"; the remainder alone without a time
};
DownloadProgress ParseDownloadProgress(std::string_view text);

/// The built-in icon number (0 to 7) of an "IDI_..." name, or -1 for an unknown one.
int BuiltInIconNumber(std::string_view name);

/// Text alignment of a TEXT element (0 centre, 1 left, 2 right) as the label's name for it.
const char* AlignmentName(std::string_view alignment);

/// The entries of a combo box list file: the text before each carriage return, the scan going
/// on two characters later (after the line feed). Text after the last carriage return is not
/// an entry.
std::vector<std::string> SplitComboList(std::string_view text);

} // namespace cv
