#pragma once
/// CConditionAPI: runs the actions of a condition that holds.

#include <string>

namespace cv {

class CMainFrame;

class CConditionAPI {
  public:
    explicit CConditionAPI(CMainFrame* wizard) : wizard_(wizard) {}

    /// Runs one action: exactly "CancelInstall();" aborts the installation to the completion
    /// page; an action containing "ShowMessage" shows its text (after the first "(", without
    /// the last two characters) in the message dialog and waits for OK. Anything else is
    /// ignored.
    void Execute(const std::string& action);

  private:
    CMainFrame* wizard_;
};

} // namespace cv
