// Starting the billboard slide show (billboard/): the list is read here, on the window
// thread, and handed to the show's own thread with the folders its pictures lie in.

#include "app/main_frame.h"
#include "app/trace.h"
#include "billboard/billboard_win.h"
#include "common/setup_state.h"

#include <windows.h>

namespace cv {

void CMainFrame::StartBillboards() {
    SectionLookup lookup = [this](const std::string& key, std::size_t buffer) {
        return Setting("BILLBOARDSCV", key.c_str(), buffer);
    };
    BillboardShow show;
    show.list = ReadBillboardList(lookup);
    if (show.list.Cut())
        SendTrace("BILLBOARDSCV TOTAL " + std::to_string(show.list.total) + " cut to " +
                  std::to_string(show.list.count));
    if (show.list.count < 1)
        return;
    show.folders.workFolder = setupState().workFolder;
    char current[MAX_PATH + 1] = {};
    if (::GetCurrentDirectoryA(sizeof current, current) > 0)
        show.folders.currentFolder = current;
    show.trace = SendTrace;
    if (!CBillBoardTH::Start(std::move(show)))
        SendTrace("billboard thread not started");
}

} // namespace cv
