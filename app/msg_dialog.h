#pragma once
/// CMsg: the plain message box of template 155 ("Corvane", one OK button), used by the
/// ShowMessage action.

#include "framework/dialog.h"

#include <string>

namespace cv {

class CMsg : public CDialog {
  public:
    explicit CMsg(CWnd* parent = nullptr);
    std::string text;

  protected:
    BOOL OnInitDialog() override;
};

} // namespace cv
