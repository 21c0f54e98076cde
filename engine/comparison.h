#pragma once
/// How a condition compares its two operands.

#include <string_view>

namespace cv {

/// The leading decimal number of `text` as a C library conversion reads it (blanks, a sign,
/// digits with an optional point and exponent); 0 when the text does not start with one.
/// Hexadecimal forms, "inf" and "nan" are not numbers here.
double LeadingDecimal(std::string_view text);

/// Whether `left op right` holds: "==" and "!=" compare the texts byte for byte; ">", "<",
/// ">=" and "=<" compare their leading numbers. Any other operator never holds.
bool ComparisonHolds(std::string_view left, std::string_view op, std::string_view right);

} // namespace cv
