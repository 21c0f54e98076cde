#include "app/missing_layout.h"

#include "app/trace.h"
#include "app/unattended.h"
#include "common/file_system.h"
#include "common/setup_state.h"

#include <windows.h>

namespace cv {

std::string MissingLayoutMessage(const std::string& file) {
    return "The setup cannot continue: the page layout file \"" + file + "\" is missing from the theme folder.";
}

bool LayoutFileOrEndRun(const std::string& theme_folder, const std::string& file, HWND shown_page) {
    if (FileExists(theme_folder + file))
        return true;
    // The message box dispatches the frame's messages while it shows; a page asked for
    // meanwhile must not show a second message.
    static bool ending = false;
    if (ending)
        return false;
    ending = true;
    SendTrace("missing layout " + file);
    // The page may still be inside its own click handler, so it is hidden, not destroyed; the
    // run ends right after the message anyway.
    if (shown_page && ::IsWindow(shown_page))
        ::ShowWindow(shown_page, SW_HIDE);
    if (unattendedRun().Failure(MissingLayoutMessage(file)))
        ::MessageBoxA(nullptr, MissingLayoutMessage(file).c_str(), nullptr, MB_OK | MB_ICONSTOP);
    const std::string work = setupState().workFolder;
    if (!work.empty())
        RemoveFolderTree(work);
    ::PostQuitMessage(0);
    return false;
}

} // namespace cv
