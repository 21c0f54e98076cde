#include "app/msg_dialog.h"

#include "resources/resource.h"

namespace cv {

CMsg::CMsg(CWnd* parent) : CDialog(IDD_MSG, parent) {}

BOOL CMsg::OnInitDialog() {
    ::SetDlgItemTextA(m_hWnd, IDC_TEXT, text.c_str());
    return TRUE;
}

} // namespace cv
