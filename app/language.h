#pragma once
/// The language step: detecting the user-interface language, and writing the translated
/// caption of every known control of the standard pages into their layout files, so that
/// the page window itself knows nothing about languages. CMainFrame::DecideLanguage and
/// CMainFrame::ApplyLanguage (language.cpp) drive it.

#include <string>

namespace cv {

/// The system's default user-interface language (GetUserDefaultUILanguage, looked up at run
/// time in the kernel library), or 0 when the function is missing.
int DetectUiLanguage();

/// The language file of language `name` for the setup folder (which ends with a backslash):
/// in its "languages" folder when that exists, else beside setup.exe.
std::string LanguageFileFor(const std::string& setup_folder, const std::string& name);

/// "Caption|<text>|0" for control `control` of page `page_file` from `language_file`, or an
/// empty text when the caption map has no entry for it.
std::string CaptionLookup(const std::string& page_file, const std::string& control,
                          const std::string& language_file);

/// Rewrites the captions of one layout file (`folder` + `page_file`): for every control the
/// caption map knows, its second property becomes the looked-up caption. A missing file is
/// left alone; at most the page's element limit is read. A caption the file already holds is
/// not written again. Returns the captions that hold the looked-up text (written or kept).
int RewritePageCaptions(const std::string& folder, const std::string& page_file,
                        const std::string& language_file);

/// Rewrites every translated page of the theme folder from `language_file`.
void RewriteAllPageCaptions(const std::string& theme_folder, const std::string& language_file);

} // namespace cv
