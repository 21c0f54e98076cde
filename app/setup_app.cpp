// winsock2.h must come before windows.h.
#include <winsock2.h>

#include "app/setup_app.h"

#include "app/main_frame.h"
#include "app/unattended.h"
#include "common/setup_state.h"
#include "framework/framewnd.h"
#include "resources/resource.h"

#include <ole2.h>

#include <commctrl.h>

namespace cv {

CCorvaneSetupApp::CCorvaneSetupApp() { setupState().cancelFlag = 0; }

BOOL CCorvaneSetupApp::InitInstance() {
    UnattendedRun& run = unattendedRun();
    run.Start(ArgumentsAfterProgram(::GetCommandLineA()));
    if (run.outcome().badCommandLine || run.outcome().usageShown) {
        // The usage text answers "/?" and a line we cannot read; nothing is installed.
        const std::string usage(UsageText());
        const UINT icon = run.outcome().badCommandLine ? MB_ICONEXCLAMATION : 0;
        if (run.Message(usage))
            ::MessageBoxA(nullptr, usage.c_str(), "Setup", MB_OK | icon);
        return FALSE;
    }

    WSADATA wsa;
    if (::WSAStartup(MAKEWORD(2, 2), &wsa) != 0) {
        char text[256] = "Windows sockets initialization failed.";
        ::LoadStringA(m_hInstance, IDS_SOCKETS_INIT_FAILED, text, sizeof text);
        if (run.Failure(text))
            ::MessageBoxA(nullptr, text, nullptr, MB_OK);
        return FALSE;
    }
    socketsReady_ = true;

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    richEdit_.reset(::LoadLibraryA("RICHED32.DLL"));
    if (!richEdit_ && run.Message("Can't load RICHTEXT library."))
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
    // A run with arguments ends with the code of what happened, not the quit code.
    SetupState& state = setupState();
    RunOutcome& outcome = unattendedRun().outcome();
    if (state.installAborted == kOn)
        outcome.failed = true;
    exit_code_ = unattendedRun().End(exit_code_);
    if (oleReady_)
        ::OleUninitialize();
    if (socketsReady_)
        ::WSACleanup();
    return CWinApp::ExitInstance();
}

} // namespace cv

/// The one application object.
cv::CCorvaneSetupApp theApp;
