#pragma once
/// The language page ("askuser.lcd"): its list of the languages found beside setup.exe and
/// the choice the user makes there.

#include <string>
#include <vector>

namespace cv {

class CImageWindow;

/// The names of the language files ("German" for German.lan) in the setup folder's
/// "languages" folder when it exists, else in the setup folder, in the order found.
std::vector<std::string> ListLanguageNames(const std::string& setup_folder);

/// Fills the page's "IDC_LANGUAGE" combo box (emptied first, so filling twice is harmless)
/// and selects the first entry that begins with `preselect` without regard to case. Does
/// nothing on a page without that control.
void FillLanguageList(CImageWindow& page, const std::string& setup_folder, const std::string& preselect);

/// The language file of the entry chosen in "IDC_LANGUAGE", or empty without the control.
std::string ChosenLanguageFile(const CImageWindow& page, const std::string& setup_folder);

} // namespace cv
