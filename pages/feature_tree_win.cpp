// The custom setup page's feature tree: one item per feature of the settings, and on a
// selection the feature's description and the popup menu that switches it on or off.

#include "common/setup_state.h"
#include "pages/feature_rules.h"
#include "pages/image_window_win.h"
#include "common/table_section.h"

#include <algorithm>
#include <span>

namespace cv {

namespace {

std::span<const Feature> FeatureTable() {
    const SetupState& state = setupState();
    int count = std::clamp(state.featureCount.load(), 0, static_cast<int>(kMaxFeatures));
    return {state.features.data(), static_cast<std::size_t>(count)};
}

void SetItemImage(CMyTreeView& tree, HTREEITEM item, int image) {
    TVITEMA change{};
    change.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    change.hItem = item;
    change.iImage = change.iSelectedImage = image;
    tree.SendMessage(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&change));
}

std::string ItemText(CMyTreeView& tree, HTREEITEM item) {
    char text[256] = "";
    TVITEMA read{};
    read.mask = TVIF_TEXT;
    read.hItem = item;
    read.pszText = text;
    read.cchTextMax = sizeof text;
    if (!tree.SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&read)))
        return {};
    return text;
}

/// The feature menu at the mouse position; the chosen command, 0 when dismissed.
int TrackFeatureMenu(HWND owner) {
    HMENU menu = ::CreatePopupMenu();
    if (!menu)
        return 0;
    ::AppendMenuA(menu, MF_STRING, kFeatureInstall, kFeatureInstallText);
    ::AppendMenuA(menu, MF_STRING, kFeatureLeaveOut, kFeatureLeaveOutText);
    POINT at{};
    ::GetCursorPos(&at);
    int command = static_cast<int>(
        ::TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, owner, nullptr));
    ::DestroyMenu(menu);
    return command;
}

} // namespace

void CImageWindow::FillFeatureTree() {
    // The tree on the lowest-numbered element line: the last one created.
    CMyTreeView* tree = nullptr;
    for (PageElement& element : elements_)
        if (element.layout.type->type == ElementType::TreeView && element.control) {
            tree = dynamic_cast<CMyTreeView*>(element.control);
            break;
        }
    if (!tree)
        return;
    tree->onSelectionChanged = [this](CMyTreeView& changed, const NMTREEVIEWA& change) {
        OnFeatureSelected(changed, change.itemNew.hItem);
    };
    const long total = ParseTableCount(host_.Setting("SETUPFEATURES", "TOTAL", kTableCountBuffer), kMaxFeatures).rows;
    for (long i = 0; i < total; ++i) {
        std::string name = host_.Setting("SETUPFEATURES", std::to_string(i));
        // A feature switched off earlier (the page was left with Back) keeps showing so.
        int index = LastFeatureNamed(FeatureTable(), name);
        bool left_out = index >= 0 && FeatureTable()[static_cast<std::size_t>(index)].state == kOn;
        TVINSERTSTRUCTA item{};
        item.hParent = TVI_ROOT;
        item.hInsertAfter = TVI_LAST;
        item.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        item.item.pszText = name.data();
        item.item.iImage = item.item.iSelectedImage = left_out ? kFeatureImageLeftOut : kFeatureImageInstalled;
        tree->SendMessage(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

void CImageWindow::OnFeatureSelected(CMyTreeView& tree, HTREEITEM item) {
    if (!item)
        return;
    std::string name = ItemText(tree, item);
    if (name.empty())
        return;
    std::optional<std::string> description = FeatureDescriptionOf(
        [this](const std::string& key) { return host_.Setting("SETUPTYPE", key); }, name);
    if (description)
        SetFeatureInfo(*description);

    // The menu's own message loop may run anything; the page stays alive until it returns.
    BusyScope busy(*this);
    std::optional<FeatureSwitch> chosen = FeatureSwitchOf(TrackFeatureMenu(m_hWnd));
    if (!chosen || !m_hWnd || !tree.m_hWnd)
        return;
    SetItemImage(tree, item, chosen->image);
    host_.FeatureSwitched(name, chosen->state);
}

} // namespace cv
