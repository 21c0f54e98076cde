#pragma once
/// The fixed table that names a processor from its vendor text, family and model.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace cv {

/// The longest name in the table; the processor record holds this many characters.
inline constexpr std::size_t kCpuNameMax = 34;

/// The table's name for the processor, or "unknown" for a combination it does not list.
/// "CyrixInstead" is "Cyrix" and "CentaurHauls" "Centaur" whatever the family. The three
/// Pentium IV names carry the micro sign as byte 0xB5 (the program's single-byte code page).
std::string_view CpuName(std::string_view vendor, std::uint16_t family, std::uint16_t model,
                         std::uint16_t extended_family, std::uint16_t extended_model);

} // namespace cv
