#pragma once
/// CWait: the modeless "Please Wait, Retrieving System Information..." window (template
/// 156) shown while slow variables are resolved.

#include "framework/dialog.h"

namespace cv {

class CWait : public CDialog {
  public:
    CWait();
    /// Creates the window with `parent` as its owner, shows and paints it at once (the caller
    /// goes on working without dispatching messages). False when it could not be created.
    bool Open(CWnd* parent);
    /// Destroys the window; harmless when it is not open.
    void Close() { DestroyWindow(); }
};

} // namespace cv
