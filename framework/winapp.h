#pragma once
/// CWinApp: the one application object. The framework's WinMain calls InitInstance and,
/// when it succeeds, runs the message loop until WM_QUIT; the quit code is the exit code.

#include <windows.h>

namespace cv {

class CWnd;

class CWinApp {
  public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    /// Prepares the run and creates the main window; false ends the process.
    virtual BOOL InitInstance() { return TRUE; }
    /// The message loop; returns the code carried by WM_QUIT.
    virtual int Run();
    /// Called when the run ends; its value is the exit code after a failed InitInstance.
    virtual int ExitInstance() { return exit_code_; }

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;

    /// Gives a message to PreTranslateMessage of its window and that window's parents.
    static bool PreTranslate(MSG* msg);

  protected:
    int exit_code_ = 0;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();

} // namespace cv
