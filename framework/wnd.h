#pragma once
/// CWnd: one C++ object bound to one window. The object is passed in the create
/// parameters, picked up in WM_NCCREATE (or WM_INITDIALOG for dialogs) and kept in
/// GWLP_USERDATA; messages then reach the virtual WindowProc of that object.

#include <windows.h>

#include <string>

namespace cv {

class CWnd {
  public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }

    /// The CWnd bound to `wnd`, or null when the window is not one of ours.
    static CWnd* FromHandlePermanent(HWND wnd);

    /// Registers a window class whose procedure dispatches to CWnd objects. Registering a
    /// name twice is harmless.
    static bool RegisterWindowClass(const char* name, UINT style, HICON icon, HBRUSH background);

    /// Creates the window; `this` is bound to it before WM_NCCREATE returns, so WM_CREATE
    /// already reaches WindowProc.
    bool CreateEx(DWORD ex_style, const char* class_name, const char* title, DWORD style, int x,
                  int y, int width, int height, HWND parent, HMENU menu_or_id);

    bool DestroyWindow();
    bool ShowWindow(int how) { return ::ShowWindow(m_hWnd, how) != FALSE; }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    void Invalidate(bool erase = true) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void SetWindowText(const std::string& text) { ::SetWindowTextA(m_hWnd, text.c_str()); }
    std::string GetWindowText() const;
    UINT_PTR SetTimer(UINT_PTR id, UINT period_ms) { return ::SetTimer(m_hWnd, id, period_ms, nullptr); }
    bool KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id) != FALSE; }
    LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) { return ::SendMessageA(m_hWnd, msg, w, l); }
    bool PostMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) { return ::PostMessageA(m_hWnd, msg, w, l) != FALSE; }
    RECT GetClientRect() const;
    RECT GetWindowRect() const;
    bool MoveWindow(int x, int y, int width, int height, bool repaint = true);
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void EnableWindow(bool enable) { ::EnableWindow(m_hWnd, enable); }

    /// Called by the message loop for every message aimed at this window or its children
    /// before it is translated and dispatched; true means the message was used up.
    virtual bool PreTranslateMessage(MSG* msg) { return false; }

  protected:
    /// The window's message handler; unhandled messages go to Default.
    virtual LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l);
    /// The default handling of a message (DefWindowProc for plain windows).
    virtual LRESULT Default(UINT msg, WPARAM w, LPARAM l);
    /// Runs after the last message (WM_NCDESTROY), when m_hWnd is already null.
    virtual void PostNcDestroy() {}

    /// Binds `this` to `wnd`.
    void Attach(HWND wnd);
    /// Unbinds; called on WM_NCDESTROY.
    void Detach();

    static LRESULT CALLBACK StaticWindowProc(HWND wnd, UINT msg, WPARAM w, LPARAM l);
    friend class CDialog;
};

} // namespace cv
