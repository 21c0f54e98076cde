#include "app/caption_map.h"

#include "common/ascii_case.h"

#include <cctype>

namespace cv {

namespace {

struct ControlEntry {
    std::string_view control;
    std::string_view key;
    std::string_view section = {}; ///< empty: the page's own section
};

struct PageEntry {
    std::string_view file;
    std::string_view section;
    std::array<ControlEntry, 13> controls; ///< unused entries have an empty control name
};

constexpr std::string_view kValue = "Value";

constexpr std::array<PageEntry, 14> kCaptionMap = {{
    {"welcome.lcd", "InstallWelcome",
     {{{"IDCANCEL", "0"}, {"IDC_BACK", "1"}, {"IDC_NEXT", "2"}, {"IDC_STATIC1", "3"}, {"IDC_STATIC2", "4"},
       {"IDC_STATIC3", "5"}}}},
    {"license.lcd", "LicenseAgreement",
     {{{"IDCANCEL", "0"}, {"IDC_CVFRAME", "2"}, {"IDC_SUBTITLE", "3"}, {"IDC_TITLE", "4"}, {"IDC_BACK", "5"},
       {"IDC_NEXT", "6"}, {"IDC_ACCEPTLICENSE", "1", kValue}, {"IDC_NOTACCEPTLICENSE", "0", kValue}}}},
    {"readme.lcd", "ReadmeInformation",
     {{{"IDCANCEL", "0"}, {"IDC_CVFRAME", "2"}, {"IDC_SUBTITLE", "3"}, {"IDC_TITLE", "4"}, {"IDC_BACK", "5"},
       {"IDC_NEXT", "6"}}}},
    {"customer.lcd", "CustomerInformation",
     {{{"IDCANCEL", "0"}, {"IDC_CVFRAME", "2"}, {"IDC_SUBTITLE", "3"}, {"IDC_TITLE", "4"}, {"IDC_BACK", "5"},
       {"IDC_NEXT", "6"}, {"IDC_STATIC1", "7"}, {"IDC_STATIC2", "8"}, {"IDC_STATIC3", "9"}, {"IDC_STATIC4", "10"},
       {"IDC_ANYONE", "8", kValue}, {"IDC_ONLYFORME", "9", kValue}}}},
    {"destination.lcd", "DestinationFolder",
     {{{"IDCANCEL", "0"}, {"IDC_CVFRAME", "2"}, {"IDC_SUBTITLE", "3"}, {"IDC_TITLE", "4"}, {"IDC_BACK", "5"},
       {"IDC_NEXT", "6"}, {"IDC_BROWSE", "7"}, {"IDC_STATIC1", "8"}}}},
    {"setuptype.lcd", "SetupType",
     {{{"IDCANCEL", "0"}, {"IDC_CVFRAME", "2"}, {"IDC_SUBTITLE", "3"}, {"IDC_TITLE", "4"}, {"IDC_BACK", "5"},
       {"IDC_STATIC1", "6"}, {"IDC_NEXT", "7"}, {"IDC_STATIC2", "8"}, {"IDC_STATIC4", "9"}, {"IDC_STATIC3", "10"},
       {"IDC_TYPICAL", "2", kValue}, {"IDC_MINIMAL", "3", kValue}, {"IDC_CUSTOM", "4", kValue}}}},
    {"customsetup.lcd", "CustomSetup",
     {{{"IDCANCEL", "2"}, {"IDC_CVFRAME", "4"}, {"IDC_SUBTITLE", "5"}, {"IDC_TITLE", "6"}, {"IDC_BACK", "7"},
       {"IDC_STATIC1", "8"}, {"IDC_NEXT", "9"}, {"IDC_BROWSE", "11"}, {"IDC_GROUPBOX1", "13"}}}},
    {"ready.lcd", "ReadyToInstall",
     {{{"IDCANCEL", "0"}, {"IDC_CVFRAME", "2"}, {"IDC_SUBTITLE", "3"}, {"IDC_TITLE", "4"}, {"IDC_NEXT", "5"},
       {"IDC_BACK", "6"}, {"IDC_STATIC1", "9"}, {"IDC_STATIC2", "16"}}}},
    {"progress.lcd", "SetupProgress",
     {{{"IDCANCEL", "0"}, {"IDC_CVFRAME", "2"}, {"IDC_SUBTITLE", "3"}, {"IDC_TITLE", "4"}, {"IDC_BACK", "5"},
       {"IDC_STATIC1", "6"}, {"IDC_NEXT", "7"}, {"IDC_STATIC2", "11"}}}},
    {"complete.lcd", "SetupCompleteSuccess",
     // The page's Finish button ("IDC_FINISH", the control that ends the run) shares key 1
     // with "IDC_NEXT"; without it that button could never be translated.
     {{{"IDCANCEL", "0"}, {"IDC_NEXT", "1"}, {"IDC_FINISH", "1"}, {"IDC_BACK", "2"}, {"IDC_INSTALLSTATUS", "4"},
       {"IDC_LAUNCHREADME", "6"}, {"IDC_LAUNCHFILE", "7"}}}},
    {"setuperror.lcd", "SetupError",
     {{{"IDYES", "0"}, {"IDNO", "1"}, {"IDCANCEL", "2"}, {"IDOK", "3"}, {"IDABORT", "4"}, {"IDIGNORE", "5"},
       {"IDRETRY", "6"}}}},
    {"cancelsetup.lcd", "CancelSetup", {{{"IDC_STATIC1", "0"}, {"IDNO", "1"}, {"IDYES", "2"}}}},
    {"uninstall.lcd", "SetupProgress", {{{"IDYES", "0"}, {"IDC_STATIC1", "12"}}}},
    {"start.lcd", "SETUP", {{{"IDC_STATIC1", "0"}, {"IDCANCEL", "1"}}}},
}};

struct LanguageName {
    int id;
    std::string_view name;
};

constexpr std::array<LanguageName, 12> kLanguageNames = {{
    {1030, "Danish"}, {1031, "German"}, {1033, "English"}, {1034, "Spanish"}, {1040, "Italian"},
    {1045, "Polish"}, {1046, "Portuguese"}, {1050, "Croatian"}, {1053, "Swedish"}, {1055, "Turkish"},
    {2067, "Dutch"}, {3098, "Serbian"},
}};

} // namespace

std::optional<CaptionKey> FindCaptionKey(std::string_view page_file, std::string_view control_name) {
    if (control_name.empty())
        return std::nullopt;
    for (const PageEntry& page : kCaptionMap) {
        if (!SameIgnoringAsciiCase(page.file, page_file))
            continue;
        auto result = [&](const ControlEntry& c) {
            return CaptionKey{c.section.empty() ? page.section : c.section, c.key};
        };
        for (const ControlEntry& c : page.controls)
            if (c.control == control_name)
                return result(c);
        return std::nullopt;
    }
    return std::nullopt;
}

std::string_view LanguageNameOf(int language_id) {
    for (const LanguageName& l : kLanguageNames)
        if (l.id == language_id)
            return l.name;
    return {};
}

std::string LanguageValueText(std::string_view value) {
    std::size_t brace = value.find('}');
    if (brace != std::string_view::npos)
        value.remove_prefix(brace + 1);
    std::string text(value);
    for (char& c : text) {
        if (c == '[')
            c = '<';
        else if (c == ']')
            c = '>';
    }
    return text;
}

std::string CaptionProperty(std::string_view text) { return "Caption|" + std::string(text) + "|0"; }

std::string ControlPropertyKey(int index, int property) {
    // The control keys run on from 3000 ("3009" then "3010"); pages hold at most 70 controls,
    // so the key always has four digits.
    return std::to_string(3000 + index) + "," + std::to_string(property);
}

std::string PropertyName(std::string_view entry) {
    std::size_t first = entry.find('|');
    if (first == std::string_view::npos)
        return {};
    std::size_t second = entry.find('|', first + 1);
    std::size_t end = second == std::string_view::npos ? entry.size() : second;
    return std::string(entry.substr(first + 1, end - first - 1));
}

std::string LanguageFilePath(std::string_view setup_folder, std::string_view name,
                             bool languages_folder_exists) {
    std::string path(setup_folder);
    if (languages_folder_exists)
        path += "languages\\";
    path += name;
    path += ".lan";
    return path;
}

} // namespace cv
