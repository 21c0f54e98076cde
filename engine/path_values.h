#pragma once
/// The folder and product strings that installation texts refer to with variables. The main
/// frame computes them once at start-up and copies them into the engine, which never
/// recomputes them; the expansion functions are pure functions of these values.

#include <string>
#include <vector>

namespace cv {

/// One entry of the setup's VARIABLES table. `name` is the whole text searched for (it
/// carries its own brackets if it has any).
struct UserVariable {
    std::string name;
    std::string value;
};

struct PathValues {
    std::string windows_folder;      ///< "<WindowsFolder>", no trailing backslash
    std::string windows_volume;      ///< "<WindowsVolume>", e.g. "C:"
    std::string system_folder;       ///< "<SystemFolder>", with trailing backslash
    std::string temp_folder;         ///< "<TempFolder>", with trailing backslash
    std::string current_directory;   ///< "<CurrentDirectory>", with trailing backslash
    std::string current_drive;       ///< "<CurrentDrive>", e.g. "C:\\"
    std::string program_files;       ///< "<ProgramFilesFolder>", as stored
    std::string common_files;        ///< "<CommonFilesFolder>", as stored
    std::string favorites_folder;    ///< "<FavoritesFolder>"
    std::string my_pictures_folder;  ///< "<MyPicturesFolder>"
    std::string send_to_folder;      ///< "<SendToFolder>"
    std::string fonts_folder;        ///< "<FontsFolder>"
    std::string app_data_folder;     ///< "<AppDataFolder>"
    std::string personal_folder;     ///< "<PersonalFolder>"
    std::string user_name;           ///< "<UserName>" (page texts also "<USERNAME>")
    std::string company_name;        ///< "<CompanyName>"
    std::string product_name;        ///< "<ProductName>"
    std::string install_dir;         ///< "<InstallDir>", "<Install Dir>": the chosen install folder
    std::string product_code;        ///< "<ProductCode>"
    std::string publisher;           ///< "<Publisher>"
    std::string product_version;     ///< "<ProductVersion>"

    /// The install folder as first computed from the settings, kept when the user picks another.
    std::string default_install_dir;

    // Shell folders without a variable of their own, used for shortcut locations.
    std::string programs_menu;       ///< start-menu programs
    std::string startup_folder;      ///< start-up
    std::string start_menu;          ///< start menu
    std::string desktop_folder;      ///< desktop directory

    /// The user variables in table order.
    std::vector<UserVariable> user_variables;
};

} // namespace cv
