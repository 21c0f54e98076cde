#include "pages/page_text.h"

#include "app/main_frame.h"
#include "app/setup_state.h"
#include "engine/variables.h"

namespace cv {

namespace {

PathValues PathValuesOf(const CMainFrame& wizard) {
    const FrameStrings& s = wizard.strings;
    PathValues v;
    v.windows_folder = s.windowsFolder;
    v.windows_volume = s.windowsVolume;
    v.system_folder = s.systemFolder;
    v.temp_folder = s.tempFolder;
    v.current_directory = s.setupFolder;
    v.current_drive = s.setupDrive;
    v.program_files = s.programFiles;
    v.common_files = s.commonFiles;
    v.favorites_folder = s.favorites;
    v.my_pictures_folder = s.pictures;
    v.send_to_folder = s.sendTo;
    v.fonts_folder = s.fonts;
    v.app_data_folder = s.appData;
    v.personal_folder = s.personal;
    v.user_name = s.userName;
    v.company_name = s.companyName;
    v.product_name = s.productName;
    v.install_dir = s.installFolder;
    v.publisher = s.publisher;
    v.product_code = setupState().productCode;
    v.product_version = s.productVersion;
    v.programs_menu = s.programs;
    v.startup_folder = s.startup;
    v.start_menu = s.startMenu;
    v.desktop_folder = s.desktop;
    for (int i = 0; i < wizard.userVariableCount && i < static_cast<int>(kMaxUserVariables); ++i) {
        const WizardVariable& u = wizard.userVariables[static_cast<std::size_t>(i)];
        v.user_variables.push_back(UserVariable{u.name, u.value});
    }
    return v;
}

} // namespace

std::string ExpandPageText(const CMainFrame* wizard, std::string_view text) {
    if (!wizard)
        return std::string(text);
    return ExpandPageVariables(text, PathValuesOf(*wizard));
}

} // namespace cv
