#pragma once
/// The two questions a page's controls put to the user: the cancel confirmation and the
/// folder chooser. Each is one function so the page does not depend on how it is asked.

#include "app/cancel_setup.h"
#include "framework/wnd.h"

#include <string>

namespace cv {

// The cancel confirmation is ConfirmCancel of app/cancel_setup.h.

/// Lets the user choose a folder in the folder browser titled `title` (`prompt` is not shown); true with the folder (no
/// trailing backslash added) when the user chose one.
bool ChooseFolder(CWnd* owner, const std::string& title, const std::string& prompt, std::string& folder);

} // namespace cv
