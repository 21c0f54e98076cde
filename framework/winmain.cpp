// The process entry point of a program built on the framework: the program defines one
// global CWinApp-derived object; this runs it.
#include "framework/winapp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    cv::CWinApp* app = cv::AfxGetApp();
    if (!app)
        return 1;
    app->m_hInstance = instance;
    if (!app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}
