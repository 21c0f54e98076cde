#include "engine/variables.h"

#include "common/text_replace.h"

namespace cv {

namespace {

struct Variable {
    std::string_view name;
    std::string PathValues::*value;
};

// Order of replacement of the engine. It matters: a value may itself contain a later name.
constexpr Variable kEngineOrder[] = {
    {"<ProgramFilesFolder>", &PathValues::program_files},
    {"<SystemFolder>", &PathValues::system_folder},
    {"<WindowsFolder>", &PathValues::windows_folder},
    {"<CommonFilesFolder>", &PathValues::common_files},
    {"<WindowsVolume>", &PathValues::windows_volume},
    {"<FavoritesFolder>", &PathValues::favorites_folder},
    {"<PersonalFolder>", &PathValues::personal_folder},
    {"<MyPicturesFolder>", &PathValues::my_pictures_folder},
    {"<TempFolder>", &PathValues::temp_folder},
    {"<SendToFolder>", &PathValues::send_to_folder},
    {"<FontsFolder>", &PathValues::fonts_folder},
    {"<AppDataFolder>", &PathValues::app_data_folder},
    {"<ProductName>", &PathValues::product_name},
    {"<InstallDir>", &PathValues::install_dir},
    {"<Install Dir>", &PathValues::install_dir},
    {"<ProductCode>", &PathValues::product_code},
    {"<CurrentDrive>", &PathValues::current_drive},
    {"<CurrentDirectory>", &PathValues::current_directory},
    {"<UserName>", &PathValues::user_name},
    {"<CompanyName>", &PathValues::company_name},
    {"<Publisher>", &PathValues::publisher},
    {"<ProductVersion>", &PathValues::product_version},
};

// The page texts' order: the current drive and directory come before the install folder, and
// the user name has an upper-case spelling too.
constexpr Variable kPageOrder[] = {
    {"<ProgramFilesFolder>", &PathValues::program_files},
    {"<SystemFolder>", &PathValues::system_folder},
    {"<WindowsFolder>", &PathValues::windows_folder},
    {"<CommonFilesFolder>", &PathValues::common_files},
    {"<WindowsVolume>", &PathValues::windows_volume},
    {"<FavoritesFolder>", &PathValues::favorites_folder},
    {"<PersonalFolder>", &PathValues::personal_folder},
    {"<MyPicturesFolder>", &PathValues::my_pictures_folder},
    {"<TempFolder>", &PathValues::temp_folder},
    {"<SendToFolder>", &PathValues::send_to_folder},
    {"<FontsFolder>", &PathValues::fonts_folder},
    {"<AppDataFolder>", &PathValues::app_data_folder},
    {"<ProductName>", &PathValues::product_name},
    {"<CurrentDrive>", &PathValues::current_drive},
    {"<CurrentDirectory>", &PathValues::current_directory},
    {"<InstallDir>", &PathValues::install_dir},
    {"<Install Dir>", &PathValues::install_dir},
    {"<ProductCode>", &PathValues::product_code},
    {"<UserName>", &PathValues::user_name},
    {"<USERNAME>", &PathValues::user_name},
    {"<CompanyName>", &PathValues::company_name},
    {"<Publisher>", &PathValues::publisher},
    {"<ProductVersion>", &PathValues::product_version},
};

bool HasTrigger(std::string_view text) {
    return text.find_first_of("<>") != std::string_view::npos;
}

template <std::size_t N>
void ReplaceVariables(std::string& text, const Variable (&order)[N], const PathValues& values) {
    for (const Variable& v : order)
        ReplaceAll(text, v.name, values.*v.value);
    for (const UserVariable& u : values.user_variables)
        ReplaceAll(text, u.name, u.value);
}

std::string_view WithoutTrailingBackslash(std::string_view s) {
    if (!s.empty() && s.back() == '\\')
        s.remove_suffix(1);
    return s;
}

/// Moves paths spelled out with the default install folder to the chosen one.
///
/// The folder is matched without its trailing backslash, so that "C:\\Acme" and
/// "C:\\Acme\\bin" both move. Two guards keep the results sound where plain replacement
/// would corrupt them: text that already names the chosen folder is left alone (a chosen
/// folder "C:\\Acme 2\\" starts with the default "C:\\Acme" and would otherwise become
/// "C:\\Acme 2 2\\"), and the chosen folder is inserted without its own trailing backslash
/// (the matched text had none, so "C:\\Acme\\bin" becomes "D:\\X\\bin", not "D:\\X\\\\bin").
void RedirectDefaultInstallDir(std::string& text, const PathValues& values) {
    const std::string& chosen = values.install_dir;
    const std::string& fallback = values.default_install_dir;
    if (chosen == fallback || chosen == "\\" || fallback.empty())
        return;
    std::string_view from(fallback.data(), fallback.size() - 1);
    if (from.empty())
        return;
    std::string_view to = WithoutTrailingBackslash(chosen);
    if (text.find(from) == std::string::npos)
        return;
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::string_view rest = std::string_view(text).substr(pos);
        if (!to.empty() && rest.starts_with(to)) {
            out.append(to);
            pos += to.size();
        } else if (rest.starts_with(from)) {
            out.append(to);
            pos += from.size();
        } else {
            out.push_back(text[pos++]);
        }
    }
    text = std::move(out);
}

} // namespace

std::string ExpandVariables(std::string_view text, const PathValues& values) {
    std::string out(text);
    if (!HasTrigger(text))
        return out;
    ReplaceVariables(out, kEngineOrder, values);
    CollapseDoubleBackslashes(out);
    RedirectDefaultInstallDir(out, values);
    return out;
}

std::string ExpandPageVariables(std::string_view text, const PathValues& values) {
    std::string out(text);
    if (!HasTrigger(text))
        return out;
    for (char& c : out) {
        if (c == '[')
            c = '<';
        else if (c == ']')
            c = '>';
    }
    ReplaceVariables(out, kPageOrder, values);
    CollapseDoubleBackslashes(out);
    return out;
}

std::string ExpandShellFolder(std::string_view location, const PathValues& values) {
    std::string out(location);
    bool start_menu_done = false;
    if (ReplaceAll(out, "Start Menu\\Programs Menu", values.programs_menu) > 0)
        start_menu_done = true;
    if (ReplaceAll(out, "Start Menu\\StartUp", values.startup_folder) > 0)
        start_menu_done = true;
    if (out.find("Active Desktop") != std::string::npos) {
        ReplaceAll(out, "Active Desktop\\", "");
        return values.app_data_folder + "\\Microsoft\\Internet Explorer\\Quick Launch\\" + out;
    }
    ReplaceAll(out, "Desktop", values.desktop_folder);
    ReplaceAll(out, "Favorites", values.favorites_folder);
    if (!start_menu_done)
        ReplaceAll(out, "Start Menu", values.start_menu);
    CollapseDoubleBackslashes(out);
    return out;
}

} // namespace cv
