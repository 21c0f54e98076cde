#include "app/wait_dialog.h"

#include "resources/resource.h"

namespace cv {

CWait::CWait() : CDialog(IDD_WAIT) {}

bool CWait::Open(CWnd* parent) {
    if (!Create(parent))
        return false;
    ShowWindow(SW_SHOW);
    UpdateWindow();
    return true;
}

} // namespace cv
