#pragma once
/// A page whose layout file the theme lacks would open as an empty window of no size, and
/// setup would go on with nothing to click. The wizard checks the file first and, when it
/// is missing, says which file and ends the run cleanly.

#include <string>

#include <windows.h>

namespace cv {

/// The message naming the missing layout file `file`.
std::string MissingLayoutMessage(const std::string& file);

/// True when `theme_folder` + `file` exists. Otherwise shows MissingLayoutMessage (once per
/// run, however many pages are asked for while it shows), removes the work folder and ends
/// the run with exit code 0; false. `shown_page`, the window of the page still on screen (or
/// null), is hidden first, so that only the message is left to answer.
bool LayoutFileOrEndRun(const std::string& theme_folder, const std::string& file, HWND shown_page);

} // namespace cv
