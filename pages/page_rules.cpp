#include "pages/page_rules.h"

#include <algorithm>
#include <cstdio>

namespace cv {

bool IsYes(std::string_view value) { return value == "Yes"; }
bool IsOnUnlessNo(std::string_view value) { return value != "No"; }

std::uint32_t ApplyBorderRule(std::uint32_t style, std::string_view border) {
    int digit = !border.empty() && border[0] >= '0' && border[0] <= '9' ? border[0] - '0' : 0;
    if (digit == 0)
        return style & ~kStyleBorder;
    if (digit == 1)
        return style | kStyleBorder;
    return style;
}

namespace {
std::uint32_t Switch(std::uint32_t style, std::uint32_t bit, std::string_view value) {
    return IsYes(value) ? style | bit : style & ~bit;
}
} // namespace

std::uint32_t ApplyWindowStyle(std::uint32_t style, const WindowSettings& window) {
    style = ApplyBorderRule(style, window.border);
    style = Switch(style, kStyleMinimizeBox, window.minwindow);
    style = Switch(style, kStyleMaximizeBox, window.maxwindow);
    return Switch(style, kStyleSystemMenu, window.closewindow);
}

int PlacementCode(std::string_view startup) { return LeadingNumber(startup.substr(0, 2)); }

int ShownPageHeight(int layoutHeight, int captionHeight) {
    return captionHeight <= 24 ? layoutHeight - (25 - captionHeight) : layoutHeight;
}

std::optional<PageRect> PlacePage(int code, int w, int height, int sw, int sh, int captionHeight) {
    int h = ShownPageHeight(height, captionHeight);
    switch (code) {
    case 0:
        return PageRect{sw / 2 - w / 2, sh / 2 - h / 2, w, h};
    case 2:
        return PageRect{0, 0, w, h};
    case 3:
        return PageRect{sw - w, 0, w, h};
    case 4:
        return PageRect{0, sh - h - 35, w, h};
    case 5:
        return PageRect{sw - w, sh - h - 35, w, h};
    default:
        return std::nullopt;
    }
}

std::string ColorText(LayoutColor c) {
    char text[16];
    std::snprintf(text, sizeof text, "%u,%u,%u", unsigned{c.red}, unsigned{c.green}, unsigned{c.blue});
    return text;
}

LayoutColor ParseLayoutColor(std::string_view text, LayoutColor buttonFace) {
    if (text.empty() || text == kButtonFaceName)
        return buttonFace;
    int parts[3] = {0, 0, 0};
    std::size_t start = 0;
    for (int i = 0; i < 3 && start <= text.size(); ++i) {
        std::size_t comma = text.find(',', start);
        std::string_view part = text.substr(start, comma == std::string_view::npos ? text.npos : comma - start);
        parts[i] = std::clamp(LeadingNumber(part), 0, 255);
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return LayoutColor{static_cast<std::uint8_t>(parts[0]), static_cast<std::uint8_t>(parts[1]),
                       static_cast<std::uint8_t>(parts[2])};
}

std::string ResolveColorText(std::string_view text, LayoutColor buttonFace) {
    if (text.empty() || text == kButtonFaceName)
        return ColorText(buttonFace);
    return std::string(text);
}

LayoutFont PageFontOf(const WindowSettings& window) {
    return LayoutFont{window.fontname, LeadingNumber(window.fontsize), IsOnUnlessNo(window.fontbold),
                      IsOnUnlessNo(window.fontitalic)};
}

int FontHeightFromPoints(int points, int pixelsPerInch) {
    return -static_cast<int>(static_cast<long long>(points) * pixelsPerInch / 72);
}

int HimetricToPixels(long himetric, int pixelsPerInch) {
    return static_cast<int>((static_cast<long long>(himetric) * pixelsPerInch + 1270) / 2540);
}

DownloadProgress ParseDownloadProgress(std::string_view text) {
    std::size_t first = text.find(',');
    std::string_view percent = text.substr(0, first);
    std::string_view timeLeft, remainder;
    if (first != std::string_view::npos) {
        std::string_view rest = text.substr(first + 1);
        std::size_t second = rest.find(',');
        timeLeft = rest.substr(0, second);
        if (second != std::string_view::npos)
            remainder = rest.substr(second + 1);
    }
    DownloadProgress p;
    p.percent = std::clamp(LeadingNumber(percent), 0, 100);
    // A download whose length the server did not give has no time left to show.
    if (timeLeft.empty())
        p.info = std::string(remainder);
    else
        p.info = "Estimated time left: " + std::string(timeLeft) + " - " + std::string(remainder);
    return p;
}

int BuiltInIconNumber(std::string_view name) {
    static constexpr std::string_view kNames[] = {"IDI_EXCLAMATION", "IDI_INFO",    "IDI_ERROR",
                                                  "IDI_TYPICAL",     "IDI_MINIMAL", "IDI_CUSTOM",
                                                  "IDI_SETUP",       "IDI_FOLDER"};
    for (int i = 0; i < 8; ++i)
        if (name == kNames[i])
            return i;
    return -1;
}

const char* AlignmentName(std::string_view alignment) {
    switch (LeadingNumber(alignment)) {
    case 1:
        return "Left";
    case 2:
        return "Right";
    default:
        return "Center";
    }
}

std::vector<std::string> SplitComboList(std::string_view text) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    for (;;) {
        std::size_t cr = text.find('\r', start);
        if (cr == std::string_view::npos)
            break;
        entries.emplace_back(text.substr(start, cr - start));
        start = cr + 2;
        if (start >= text.size())
            break;
    }
    return entries;
}

} // namespace cv
