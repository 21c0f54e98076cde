#pragma once
/// The support files that the setup reads under their bare names, as setup.inf and the page
/// layouts name them: the licence and readme texts, the background picture, the billboard
/// pictures, the program files of file actions, the uninstall-time program and its icon, the
/// live-update and live-support files, and the list files of combo boxes.

#include "common/path_text.h"
#include "common/profile.h"
#include "tools/cvbuild/pack.h"

#include <filesystem>
#include <string>
#include <vector>

namespace cv::build {

/// Most billboards the setup holds; entries past it are not packed.
inline constexpr int kMaxBillboards = 20;
/// Most file actions the setup holds.
inline constexpr int kMaxFileActions = 13;

/// Where the setup looks for a support file; each kind of build puts it there.
enum class SupportReader {
    /// The pages: the work folder, or DiskImage1 when the setup runs from disk images (every
    /// split-files build does). Licence and readme texts, billboards, file-action programs.
    pages,
    /// The installation's source folder: the work folder, DiskImage1 in a disk-image build,
    /// the setup folder itself in a split-files build. The uninstall-time program and its
    /// icon, the live-update and live-support files.
    source_folder,
    /// Only the work folder, which only a compressed build fills: the background picture,
    /// combo-box list files, file-action programs when [BUILDING] "4" is "Yes".
    work_folder,
};

struct SupportFile {
    std::string name;      ///< the bare name the setup looks for
    std::string reference; ///< the value as written in the settings or the layout
    std::string origin;    ///< where it is named, e.g. "setup.inf [DIALOGLIST] CT0"
    SupportReader reader = SupportReader::pages;
};

struct SupportFileList {
    std::vector<SupportFile> files; ///< in the order found; one name may appear twice
    std::vector<std::string> warnings;
};

/// Collects the support files named by `settings` (setup.inf) and by the "*.lcd" files at the
/// top of `theme_dir` for a build of `kind`. Only names the setup will actually look up are
/// taken: the background picture when the background is switched on; file actions with
/// "<ResourceDir>" when [BUILDING] "4" is "Yes" (from the work folder) or the build is not
/// compressed (from DiskImage1; a split-files build ignores "4"); the uninstall-time program
/// when "a10" is "Yes", its icon unless "a14" is "No"; liveupdate.exe and liveupdate.inf when
/// [LIVEUPDATE] "1" is "Yes", livesupport.exe and livesupport.inf when [LIVESUPPORT] "1" is.
/// Values with variables in them ("<...>") are files on the target machine and are left out.
/// Raises BuildError for a file-action or list-file name with a folder part, which the setup
/// would look for in a sub folder.
SupportFileList FindSupportFiles(const ProfileFile& settings,
                                 const std::filesystem::path& theme_dir, BuildKind kind);

/// Where a reference lies in the product folder: a relative path (with "\" or "/") under
/// `product_dir`; an absolute path (an author's own machine) by its file-name part at the
/// top of `product_dir`.
std::filesystem::path SupportSourcePath(const std::filesystem::path& product_dir,
                                        const std::string& reference);

} // namespace cv::build
