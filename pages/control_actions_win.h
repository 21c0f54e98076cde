#pragma once
/// The two questions a page's controls put to the user: the cancel confirmation and the
/// folder chooser. Each is one function so the page does not depend on how it is asked.

#include "framework/wnd.h"

#include <string>

namespace cv {

/// Asks whether to cancel the setup (the cancel dialog's template); true when confirmed.
bool ConfirmCancel(CWnd* owner);

/// Lets the user choose a folder under `title` and `prompt`; true with the folder (no
/// trailing backslash added) when the user chose one.
bool ChooseFolder(CWnd* owner, const std::string& title, const std::string& prompt, std::string& folder);

} // namespace cv
