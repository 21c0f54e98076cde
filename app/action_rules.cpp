#include "app/action_rules.h"

#include <array>
#include <utility>

namespace cv {

namespace {

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

std::string PageFileForTitle(std::string_view title) {
    for (const auto& [name, file] : kPageTitles)
        if (title == name)
            return std::string(file);
    return std::string(title);
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
