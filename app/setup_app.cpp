// winsock2.h must come before windows.h.
#include <winsock2.h>

#include "app/setup_app.h"

#include "app/main_frame.h"
#include "common/setup_state.h"
#include "framework/framewnd.h"
#include "resources/resource.h"

#include <ole2.h>

#include <commctrl.h>

namespace cv {

CCorvaneSetupApp::CCorvaneSetupApp() { setupState().cancelFlag = 0; }

BOOL CCorvaneSetupApp::InitInstance() {
    WSADATA wsa;
    if (::WSAStartup(MAKEWORD(2, 2), &wsa) != 0) {
        char text[256] = "Windows sockets initialization failed.";
        ::LoadStringA(m_hInstance, IDS_SOCKETS_INIT_FAILED, text, sizeof text);
        ::MessageBoxA(nullptr, text, nullptr, MB_OK);
        return FALSE;
    }
    socketsReady_ = true;

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    richEdit_.reset(::LoadLibraryA("RICHED32.DLL"));
    if (!richEdit_)
        ::MessageBoxA(nullptr, "Can't load RICHTEXT library.", nullptr, MB_OK | MB_ICONEXCLAMATION);

    setupState().ResetForStart();

    // Pages may hold ActiveX controls and pictures come through OLE.
    oleReady_ = SUCCEEDED(::OleInitialize(nullptr));

    if (HWND product = ::FindWindowA("HalvardClass", nullptr)) {
        ::PostMessageA(product, WM_CLOSE, 0, 0);
        ::PostMessageA(product, WM_QUIT, 0, 0);
    }
    (void)::FindWindowA("AmbrelEvent", nullptr);

    auto* frame = new CMainFrame;
    m_pMainWnd = frame;
    // On failure the frame has already deleted itself after its last message.
    return frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr);
}

int CCorvaneSetupApp::ExitInstance() {
    if (oleReady_)
        ::OleUninitialize();
    if (socketsReady_)
        ::WSACleanup();
    return CWinApp::ExitInstance();
}

} // namespace cv

/// The one application object.
cv::CCorvaneSetupApp theApp;
