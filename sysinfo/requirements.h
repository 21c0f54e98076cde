#pragma once
/// The memory, screen and colour comparisons of the requirement check, as pure functions of
/// the measured values (the probes are in system_probes.h). Each answers pass (true) or fail.

#include <cstdint>
#include <string_view>

namespace cv {

/// Memory: the machine's megabytes (bytes / 1048576, remainder dropped) plus one must be at
/// least `required_mb`; the extra megabyte covers memory the firmware keeps for itself, so
/// 63.5 MB of physical memory meets a 64 MB requirement. The count is 64-bit because a 32-bit
/// byte count wraps on machines with 4 GB or more.
bool MemoryMeets(std::uint64_t total_bytes, std::int64_t required_mb);

/// A screen requirement "<width>x<height>"; without an "x" the whole text is the height and
/// the width is 0. A part that is not a number reads as 0.
struct ScreenRequirement {
    std::int64_t width = 0;
    std::int64_t height = 0;
};
ScreenRequirement ParseScreenRequirement(std::string_view text);

/// Screen: "Any resolution" passes; otherwise the screen must be at least as wide and as high
/// as the requirement.
bool ScreenMeets(std::string_view requirement, std::int64_t screen_width,
                 std::int64_t screen_height);

/// Bits per pixel named by a colour requirement: "32bit colors" 32, "24bit colors" 24,
/// "65.636 colors" 16, "256 colors" 8, any other text 0 (compared exactly).
int ColourRequirementBits(std::string_view requirement);

/// Colours: the screen's bits per pixel must be at least what the requirement names.
bool ColoursMeet(std::string_view requirement, int screen_bits_per_pixel);

/// The leading integer of `text` as the C library's atoi reads it (blanks, a sign, digits),
/// 0 when there is none; values beyond 32 bits are held at the 32-bit limits.
std::int64_t LeadingInteger(std::string_view text);

} // namespace cv
