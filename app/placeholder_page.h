#pragma once
/// The page shown where the wizard's first page belongs until the page engine builds real
/// pages: a blank page (template 131) with the product's name, a short text and a Close
/// button that ends the run.

#include "framework/dialog.h"

#include <string>

namespace cv {

class PlaceholderPage : public CDialog {
  public:
    PlaceholderPage(CWnd* owner, std::string title, std::string layout_name);

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnCancel() override;
    void PostNcDestroy() override { delete this; }

  private:
    std::string title_, layout_name_;
};

} // namespace cv
