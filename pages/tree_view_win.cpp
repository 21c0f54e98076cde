#include "pages/tree_view_win.h"

#include "framework/winapp.h"
#include "resources/resource.h"

namespace cv {

bool CMyTreeView::SetUpImages() {
    if (!images_.Create(32, 16, ILC_COLOR32 | ILC_MASK, 1, 4))
        return false;
    for (int id : {IDI_FEATURE_ON, IDI_FEATURE_OFF}) {
        HICON icon = static_cast<HICON>(
            ::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(id), IMAGE_ICON, 32, 16, 0));
        images_.Add(icon);
        if (icon)
            ::DestroyIcon(icon); // the list keeps its own copy
    }
    SetImageList(images_, TVSIL_NORMAL);
    SetImageList(images_, TVSIL_STATE);
    return true;
}

bool CMyTreeView::OnReflectedMessage(UINT msg, WPARAM, LPARAM l, LRESULT& result) {
    if (msg != WM_NOTIFY)
        return false;
    const auto* header = reinterpret_cast<const NMHDR*>(l);
    switch (header->code) {
    case NM_CLICK:
    case NM_RCLICK:
        result = 0;
        return true;
    case TVN_SELCHANGEDA:
        if (onSelectionChanged)
            onSelectionChanged(*this, *reinterpret_cast<const NMTREEVIEWA*>(l));
        result = 0;
        return true;
    default:
        return false;
    }
}

} // namespace cv
