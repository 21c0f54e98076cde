#pragma once
/// CDialog: a dialog from a resource template, modal (DoModal) or modeless (Create).

#include "framework/wnd.h"

namespace cv {

class CDialog : public CWnd {
  public:
    CDialog(UINT template_id, CWnd* parent = nullptr) : template_id_(template_id), parent_(parent) {}

    /// Runs the dialog modally; returns the value given to EndDialog, or -1 when the
    /// template could not be loaded.
    virtual INT_PTR DoModal();
    /// Creates the dialog modeless (not yet shown unless the template says WS_VISIBLE).
    virtual bool Create(CWnd* parent = nullptr);
    void EndDialog(INT_PTR result);
    bool IsModal() const { return modal_; }

    /// Moves the dialog so that its centre is the centre of the primary screen.
    void CenterOnPrimaryScreen();

    /// Modeless dialogs take their keyboard navigation here.
    bool PreTranslateMessage(MSG* msg) override;

  protected:
    /// WM_INITDIALOG; return TRUE to let the system set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    /// WM_COMMAND other than IDOK/IDCANCEL; true when handled.
    virtual bool OnCommand(int id, int code, HWND control) { return false; }
    virtual void OnTimer(UINT_PTR id) {}
    /// Every other message; return TRUE when handled (then `result` is the message's result).
    virtual BOOL OnDialogMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) { return FALSE; }

    UINT template_id_;
    CWnd* parent_;
    bool modal_ = false;

  private:
    static INT_PTR CALLBACK StaticDialogProc(HWND wnd, UINT msg, WPARAM w, LPARAM l);
    INT_PTR DialogProc(UINT msg, WPARAM w, LPARAM l);
};

} // namespace cv
