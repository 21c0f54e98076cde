#include "sysinfo/requirements.h"

#include <cstdint>
#include <limits>

namespace cv {

bool MemoryMeets(std::uint64_t total_bytes, std::int64_t required_mb) {
    const std::uint64_t megabytes = total_bytes / 1048576 + 1;
    if (required_mb <= 0)
        return true;
    return megabytes >= static_cast<std::uint64_t>(required_mb);
}

std::int64_t LeadingInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    // Held at the 32-bit limits, so a long run of digits cannot overflow.
    constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit)
            value = kLimit + 1;
    }
    if (negative)
        return -value;
    return value > kLimit ? kLimit : value;
}

ScreenRequirement ParseScreenRequirement(std::string_view text) {
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos)
        return {0, LeadingInteger(text)};
    return {LeadingInteger(text.substr(0, x)), LeadingInteger(text.substr(x + 1))};
}

bool ScreenMeets(std::string_view requirement, std::int64_t screen_width,
                 std::int64_t screen_height) {
    if (requirement == "Any resolution")
        return true;
    const ScreenRequirement need = ParseScreenRequirement(requirement);
    return screen_width >= need.width && screen_height >= need.height;
}

int ColourRequirementBits(std::string_view requirement) {
    if (requirement == "32bit colors")
        return 32;
    if (requirement == "24bit colors")
        return 24;
    if (requirement == "65.636 colors")
        return 16;
    if (requirement == "256 colors")
        return 8;
    return 0;
}

bool ColoursMeet(std::string_view requirement, int screen_bits_per_pixel) {
    return screen_bits_per_pixel >= ColourRequirementBits(requirement);
}

} // namespace cv
