#pragma once
/// Worker threads and the one message-dispatching wait that the window thread waits for
/// them with. A worker never touches a window directly; it sends or posts messages.

#include "framework/handle.h"

#include <functional>

namespace cv {

/// Waits until `object` is signalled while the calling (window) thread keeps dispatching
/// its messages, so windows repaint and buttons keep working. A WM_QUIT seen during the wait
/// is posted again once the wait ends. Returns false when the wait itself failed.
bool WaitDispatchingMessages(HANDLE object);

/// A thread that runs one function. It owns its handle and cannot be copied; the destructor
/// waits for a thread that is still running (a worker must be given a way to stop).
class CWinThread {
  public:
    explicit CWinThread(std::function<unsigned()> body) : body_(std::move(body)) {}
    virtual ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    /// Starts the thread; false when it could not be created.
    bool CreateThread();
    HANDLE handle() const { return handle_.get(); }
    bool running() const;
    /// Waits with WaitDispatchingMessages; returns the thread's exit code (or ~0u).
    unsigned WaitDispatching();
    /// Plain blocking wait (for threads without windows).
    unsigned Join();

  private:
    static DWORD WINAPI Entry(void* self);
    std::function<unsigned()> body_;
    UniqueKernelHandle handle_;
};

} // namespace cv
