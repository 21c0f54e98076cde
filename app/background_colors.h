#pragma once
/// Colours of the background window: the settings write each colour as text ending in
/// "@" followed by three components separated by ",", each one of "0x00", "0x80", "0xC0",
/// "0xFF" (anything else stands for 0).

#include <string>

namespace cv {

struct Rgb {
    int red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

/// Reads the components after the last "@"; without "@" every component is 0.
Rgb ParseBackgroundColor(const std::string& text);

/// The colour of pixel row `row` of `rows`: start + (end - start) * row / rows per component.
Rgb InterpolateRow(const Rgb& top, const Rgb& bottom, int row, int rows);

} // namespace cv
