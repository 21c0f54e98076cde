#pragma once
/// Thin wrappers of the standard controls. A control is created from its system window class
/// and subclassed, so its messages reach the C++ object's WindowProc first and go on to the
/// class's own procedure through Default. A parent may give a child the notifications it
/// sent (colour requests, WM_NOTIFY) back to the child with Reflect.

#include "framework/handle.h"
#include "framework/wnd.h"

#include <commctrl.h>

#include <string>

namespace cv {

/// Registers the common control classes (progress bar, tree view, tooltips) once.
void EnsureCommonControls();

class CControlWnd : public CWnd {
  public:
    CControlWnd() = default;
    ~CControlWnd() override;

    /// Creates a child of `parent` with window class `window_class` and subclasses it.
    bool CreateControl(const char* window_class, const char* text, DWORD style, const RECT& rect,
                       HWND parent, int id, DWORD ex_style = 0);

    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    void SetFont(HFONT font, bool redraw = true) {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
    void ModifyStyle(DWORD remove, DWORD add);

    /// Gives the child `child` a message that it sent to its parent (WM_CTLCOLOR*, WM_NOTIFY).
    /// True when the child handled it; `result` then holds the answer.
    static bool Reflect(HWND child, UINT msg, WPARAM w, LPARAM l, LRESULT& result);

  protected:
    LRESULT Default(UINT msg, WPARAM w, LPARAM l) override;
    /// A notification the parent reflected back; true when handled.
    virtual bool OnReflectedMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) { return false; }

  private:
    static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM w, LPARAM l);
    void Unsubclass();
    WNDPROC original_ = nullptr;
};

class CButton : public CControlWnd {
  public:
    bool Create(const char* text, DWORD style, const RECT& rect, HWND parent, int id) {
        return CreateControl("BUTTON", text, style, rect, parent, id);
    }
    int GetCheck() const { return static_cast<int>(::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0)); }
    void SetCheck(int state) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
    void SetButtonStyle(UINT style, bool redraw = true) { SendMessage(BM_SETSTYLE, style, redraw); }
};

class CStatic : public CControlWnd {
  public:
    bool Create(const char* text, DWORD style, const RECT& rect, HWND parent, int id) {
        return CreateControl("STATIC", text, style, rect, parent, id);
    }
    void SetIcon(HICON icon) { SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)); }
};

class CEdit : public CControlWnd {
  public:
    bool Create(DWORD style, const RECT& rect, HWND parent, int id) {
        return CreateControl("EDIT", "", style, rect, parent, id, WS_EX_CLIENTEDGE);
    }
};

class CComboBox : public CControlWnd {
  public:
    bool Create(DWORD style, const RECT& rect, HWND parent, int id) {
        return CreateControl("COMBOBOX", "", style, rect, parent, id);
    }
    int AddString(const std::string& text) {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    int GetCount() const { return static_cast<int>(::SendMessageA(m_hWnd, CB_GETCOUNT, 0, 0)); }
    /// Height of the selection field (index -1) or of the list items.
    int GetItemHeight(int index) const {
        return static_cast<int>(::SendMessageA(m_hWnd, CB_GETITEMHEIGHT, static_cast<WPARAM>(index), 0));
    }
};

class CProgressCtrl : public CControlWnd {
  public:
    bool Create(DWORD style, const RECT& rect, HWND parent, int id) {
        EnsureCommonControls();
        return CreateControl(PROGRESS_CLASSA, "", style, rect, parent, id);
    }
    void SetRange(int low, int high) { SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(low), high); }
    void SetPos(int pos) { SendMessage(PBM_SETPOS, static_cast<WPARAM>(pos)); }
    int GetPos() const { return static_cast<int>(::SendMessageA(m_hWnd, PBM_GETPOS, 0, 0)); }
};

/// The rich edit control of "RICHED32.DLL" (class "RICHEDIT"); the library must be loaded.
class CRichEditCtrl : public CControlWnd {
  public:
    bool Create(DWORD style, const RECT& rect, HWND parent, int id) {
        return CreateControl("RICHEDIT", "", style, rect, parent, id, WS_EX_CLIENTEDGE);
    }
};

class CImageList {
  public:
    bool Create(int cx, int cy, UINT flags, int initial, int grow) {
        Destroy();
        list_ = ::ImageList_Create(cx, cy, flags, initial, grow);
        return list_ != nullptr;
    }
    int Add(HICON icon) { return list_ ? ::ImageList_AddIcon(list_, icon) : -1; }
    int GetImageCount() const { return list_ ? ::ImageList_GetImageCount(list_) : 0; }
    HIMAGELIST get() const { return list_; }
    void Destroy() {
        if (list_)
            ::ImageList_Destroy(list_);
        list_ = nullptr;
    }
    CImageList() = default;
    ~CImageList() { Destroy(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

  private:
    HIMAGELIST list_ = nullptr;
};

class CTreeCtrl : public CControlWnd {
  public:
    bool Create(DWORD style, const RECT& rect, HWND parent, int id) {
        EnsureCommonControls();
        return CreateControl(WC_TREEVIEWA, "", style, rect, parent, id, WS_EX_CLIENTEDGE);
    }
    /// `which` is TVSIL_NORMAL or TVSIL_STATE. The list stays owned by the caller.
    void SetImageList(const CImageList& list, int which) {
        SendMessage(TVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(list.get()));
    }
    HIMAGELIST GetImageList(int which) const {
        return reinterpret_cast<HIMAGELIST>(::SendMessageA(m_hWnd, TVM_GETIMAGELIST, static_cast<WPARAM>(which), 0));
    }
};

class CToolTipCtrl : public CControlWnd {
  public:
    /// A tooltip window owned by `owner`.
    bool Create(HWND owner);
    void Activate(bool on) { SendMessage(TTM_ACTIVATE, on); }
    void SetDelayTime(DWORD which, int ms) { SendMessage(TTM_SETDELAYTIME, which, MAKELONG(ms, 0)); }
    /// Adds a tool covering the whole window `tool` with `text`.
    bool AddTool(HWND tool, const std::string& text);
    int GetToolCount() const { return static_cast<int>(::SendMessageA(m_hWnd, TTM_GETTOOLCOUNT, 0, 0)); }
    void RelayEvent(MSG* msg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }

  private:
    HWND owner_ = nullptr;
};

} // namespace cv
