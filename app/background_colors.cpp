#include "app/background_colors.h"

namespace cv {

namespace {
int ComponentValue(const std::string& token) {
    if (token == "0x80")
        return 128;
    if (token == "0xC0")
        return 192;
    if (token == "0xFF")
        return 255;
    return 0;
}
} // namespace

Rgb ParseBackgroundColor(const std::string& text) {
    std::size_t at = text.rfind('@');
    if (at == std::string::npos)
        return {};
    int values[3] = {0, 0, 0};
    std::size_t pos = at + 1;
    for (int i = 0; i < 3; ++i) {
        std::size_t comma = text.find(',', pos);
        std::string token = text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
        values[i] = ComponentValue(token);
        if (comma == std::string::npos)
            break;
        pos = comma + 1;
    }
    // The components are written red, green, blue.
    return {values[0], values[1], values[2]};
}

Rgb InterpolateRow(const Rgb& top, const Rgb& bottom, int row, int rows) {
    if (rows <= 0)
        return top;
    auto mix = [&](int a, int b) { return a + (b - a) * row / rows; };
    return {mix(top.red, bottom.red), mix(top.green, bottom.green), mix(top.blue, bottom.blue)};
}

} // namespace cv
