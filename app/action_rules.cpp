#include "app/action_rules.h"

#include <array>
#include <cstdlib>
#include <utility>

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

constexpr std::array<std::pair<std::string_view, std::string_view>, 11> kPageTitles = {{
    {"Install Welcome", "welcome.lcd"},
    {"License Agreement", "license.lcd"},
    {"Readme Dialog", "readme.lcd"},
    {"Customer Information", "customer.lcd"},
    {"Destination Folder", "destination.lcd"},
    {"Setup Type", "setuptype.lcd"},
    {"Custom Setup", "customsetup.lcd"},
    {"Ready to Install", "ready.lcd"},
    {"Setup Progress", "progress.lcd"},
    {"Setup Complete", "complete.lcd"},
    {"Installation Start", "start.lcd"},
}};

/// The version names of the mask bits, from bit value 128 down to 1.
constexpr std::array<std::pair<int, std::string_view>, 8> kMaskVersions = {{
    {128, "98"}, {64, "98SE"}, {32, "ME"}, {16, "NT4"}, {8, "2000"}, {4, "XP"}, {2, "NET"}, {1, "VIS"},
}};

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

std::string PageFileForTitle(std::string_view title) {
    for (const auto& [name, file] : kPageTitles)
        if (title == name)
            return std::string(file);
    return std::string(title);
}

std::string ConditionActionKey(int condition, int action) {
    return std::to_string(condition) + std::to_string(action);
}

std::string ShowMessageText(std::string_view action) {
    std::size_t open = action.find('(');
    std::string_view text = open == std::string_view::npos ? action : action.substr(open + 1);
    if (text.size() < 2)
        return {};
    return std::string(text.substr(0, text.size() - 2));
}

bool OperatingSystemAdmitted(int mask, std::string_view version_name) {
    for (const auto& [bit, name] : kMaskVersions)
        if ((mask & bit) == 0 && version_name == name)
            return false;
    return true;
}

} // namespace cv
