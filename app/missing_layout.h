#pragma once
/// A page whose layout file the theme lacks would open as an empty window of no size, and
/// setup would go on with nothing to click. The wizard checks the file first and, when it
/// is missing, says which file and ends the run cleanly.

#include <string>

namespace cv {

/// The message naming the missing layout file `file`.
std::string MissingLayoutMessage(const std::string& file);

/// True when `theme_folder` + `file` exists. Otherwise shows MissingLayoutMessage (once per
/// run, however many pages are asked for while it shows), removes the work folder and ends
/// the run with exit code 0; false.
bool LayoutFileOrEndRun(const std::string& theme_folder, const std::string& file);

} // namespace cv
