#pragma once
/// The support files that the setup reads from its work folder under their bare names, as
/// setup.inf and the page layouts name them: the licence and readme texts, the background
/// picture, the billboard pictures, the program files of file actions, the uninstall-time
/// program and its icon, and the list files of combo boxes.

#include "common/path_text.h"
#include "common/profile.h"

#include <filesystem>
#include <string>
#include <vector>

namespace cv::build {

/// Most billboards the setup holds; entries past it are not packed.
inline constexpr int kMaxBillboards = 20;
/// Most file actions the setup holds.
inline constexpr int kMaxFileActions = 13;

struct SupportFile {
    std::string name;      ///< the bare name the setup looks for in its work folder
    std::string reference; ///< the value as written in the settings or the layout
    std::string origin;    ///< where it is named, e.g. "setup.inf [DIALOGLIST] CT0"
};

struct SupportFileList {
    std::vector<SupportFile> files; ///< in the order found; one name may appear twice
    std::vector<std::string> warnings;
};

/// Collects the support files named by `settings` (setup.inf) and by the "*.lcd" files at the
/// top of `theme_dir`. Only names the setup will actually look up are taken: the background
/// picture when the background is switched on, file actions with "<ResourceDir>" when
/// [BUILDING] "4" is "Yes", the uninstall-time program when "a10" is "Yes", its icon unless
/// "a14" is "No"; values with variables in them ("<...>") are files on the target machine
/// and are left out. Raises BuildError for a file-action or list-file name with a folder
/// part, which the setup would look for in a sub folder of the work folder.
SupportFileList FindSupportFiles(const ProfileFile& settings,
                                 const std::filesystem::path& theme_dir);

/// Where a reference lies in the product folder: a relative path (with "\" or "/") under
/// `product_dir`; an absolute path (an author's own machine) by its file-name part at the
/// top of `product_dir`.
std::filesystem::path SupportSourcePath(const std::filesystem::path& product_dir,
                                        const std::string& reference);

} // namespace cv::build
