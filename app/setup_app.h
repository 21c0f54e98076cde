#pragma once
/// CCorvaneSetupApp: the application object. InitInstance prepares sockets, the rich-edit
/// library and OLE, closes a running copy of the product and creates the main frame.

#include "framework/handle.h"
#include "framework/winapp.h"

namespace cv {

class CCorvaneSetupApp : public CWinApp {
  public:
    CCorvaneSetupApp();
    BOOL InitInstance() override;
    int ExitInstance() override;

  private:
    UniqueLibrary richEdit_;
    bool socketsReady_ = false;
    bool oleReady_ = false;
};

} // namespace cv
