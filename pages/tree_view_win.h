#pragma once
/// CMyTreeView: the feature tree of TREEVIEW elements, with the two feature icons as its
/// normal and state images. A selection change goes to `onSelectionChanged` (the custom setup
/// page shows the feature's description and menu there).

#include "framework/controls.h"

#include <functional>

namespace cv {

class CMyTreeView : public CTreeCtrl {
  public:
    /// Builds the image list (32 by 16, icons 152 then 151) and sets it as the normal and the
    /// state image list.
    bool SetUpImages();
    const CImageList& images() const { return images_; }

    std::function<void(CMyTreeView&, const NMTREEVIEWA&)> onSelectionChanged;

  protected:
    bool OnReflectedMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;

  private:
    CImageList images_;
};

} // namespace cv
