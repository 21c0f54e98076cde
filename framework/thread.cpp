#include "framework/thread.h"

#include "framework/winapp.h"

namespace cv {

bool WaitDispatchingMessages(HANDLE object) {
    bool quit_seen = false;
    WPARAM quit_code = 0;
    for (;;) {
        DWORD r = ::MsgWaitForMultipleObjects(1, &object, FALSE, INFINITE, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0)
            break;
        if (r != WAIT_OBJECT_0 + 1)
            return false;
        MSG msg;
        bool ended = false;
        // Take every pending message, in the character set of its window, and look at the
        // thread after each one so a finished worker is noticed at once.
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            BOOL wide = msg.hwnd && ::IsWindowUnicode(msg.hwnd);
            // Remove exactly the message just looked at, in the right character set.
            const HWND target = msg.hwnd;
            const UINT id = msg.message;
            BOOL got = wide ? ::PeekMessageW(&msg, target, id, id, PM_REMOVE)
                            : ::PeekMessageA(&msg, target, id, id, PM_REMOVE);
            if (!got)
                continue;
            if (msg.message == WM_QUIT) {
                quit_seen = true;
                quit_code = msg.wParam;
            } else if (!CWinApp::PreTranslate(&msg)) {
                ::TranslateMessage(&msg);
                if (wide)
                    ::DispatchMessageW(&msg);
                else
                    ::DispatchMessageA(&msg);
            }
            if (::WaitForSingleObject(object, 0) == WAIT_OBJECT_0) {
                ended = true;
                break;
            }
        }
        if (ended)
            break;
    }
    if (quit_seen)
        ::PostQuitMessage(static_cast<int>(quit_code));
    return true;
}

CWinThread::~CWinThread() {
    if (handle_)
        ::WaitForSingleObject(handle_.get(), INFINITE);
}

bool CWinThread::CreateThread() {
    if (handle_)
        return false;
    handle_.reset(::CreateThread(nullptr, 0, &CWinThread::Entry, this, 0, nullptr));
    return handle_.valid();
}

bool CWinThread::running() const {
    return handle_ && ::WaitForSingleObject(handle_.get(), 0) == WAIT_TIMEOUT;
}

unsigned CWinThread::WaitDispatching() {
    if (!handle_ || !WaitDispatchingMessages(handle_.get()))
        return ~0u;
    DWORD code = ~0u;
    ::GetExitCodeThread(handle_.get(), &code);
    return code;
}

unsigned CWinThread::Join() {
    if (!handle_)
        return ~0u;
    ::WaitForSingleObject(handle_.get(), INFINITE);
    DWORD code = ~0u;
    ::GetExitCodeThread(handle_.get(), &code);
    return code;
}

DWORD WINAPI CWinThread::Entry(void* self) {
    auto* thread = static_cast<CWinThread*>(self);
    return thread->body_ ? thread->body_() : 0;
}

} // namespace cv
