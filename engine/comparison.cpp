#include "engine/comparison.h"

#include <cstdlib>
#include <string>

namespace cv {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

/// The length of the decimal number at the start of `text` (after its blanks), 0 without one.
std::size_t DecimalPrefixLength(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i]))
        ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0;
    // An exponent counts only when digits follow it ("1e" is the number 1 and a letter).
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

} // namespace

double LeadingDecimal(std::string_view text) {
    std::size_t length = DecimalPrefixLength(text);
    if (length == 0)
        return 0.0;
    // The prefix is a plain decimal number, so the library conversion reads all of it.
    std::string number(text.substr(0, length));
    return std::strtod(number.c_str(), nullptr);
}

bool ComparisonHolds(std::string_view left, std::string_view op, std::string_view right) {
    if (op == "==")
        return left == right;
    if (op == "!=")
        return left != right;
    if (op != ">" && op != "<" && op != ">=" && op != "=<")
        return false;
    double l = LeadingDecimal(left), r = LeadingDecimal(right);
    if (op == ">")
        return l > r;
    if (op == "<")
        return l < r;
    if (op == ">=")
        return l >= r;
    return l <= r;
}

} // namespace cv
