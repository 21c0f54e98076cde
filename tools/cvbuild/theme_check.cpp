#include "tools/cvbuild/theme_check.h"

#include "common/table_section.h"
#include "tools/cvbuild/build_error.h"

#include <cctype>
#include <set>

namespace cv::build {

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

/// The names of the files at the top of `theme_dir`, in lower case.
std::set<std::string> ThemeFiles(const fs::path& theme_dir) {
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(theme_dir, error))
        if (entry.is_regular_file(error))
            names.insert(Lower(entry.path().filename().string()));
    return names;
}

} // namespace

std::vector<std::string> CheckThemeLayouts(const ProfileFile& settings, const fs::path& theme_dir) {
    const std::set<std::string> files = ThemeFiles(theme_dir);
    auto present = [&](const std::string& name) { return files.count(Lower(name)) > 0; };
    const std::string where = theme_dir.string();

    SectionLookup lookup = [&](const std::string& key, std::size_t buffer) {
        return settings.get("DIALOGLIST", key, {}, buffer);
    };
    const TableCount pages = ReadTableCount(lookup, kMaxPages, "TOTAL1");
    for (int i = 0; i < pages.rows; ++i) {
        const std::string key = TableKey("W", i);
        const std::string page = lookup(key, kProfileValueBuffer);
        if (!present(page))
            throw BuildError("setup.inf [DIALOGLIST] " + key + ": the page layout \"" + page +
                             "\" is not in " + where);
    }
    if (settings.get("BUILDING", "2") == "Yes" && !present("progress.lcd"))
        throw BuildError(where + ": missing progress.lcd, which a hidden setup ([BUILDING] 2=Yes) opens");

    std::vector<std::string> warnings;
    if (!present("complete.lcd"))
        warnings.push_back(where + ": missing complete.lcd: the setup ends with a message instead of "
                                   "its completion page");
    return warnings;
}

} // namespace cv::build
