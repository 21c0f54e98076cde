#pragma once
/// The page controls that add nothing or only their look to the standard control:
/// CEditBox (TEXTBOX), CMyComboItem (COMBOBOX), CMyEdge (FRAME), CMyProgress (PROGRESS),
/// CMyRichText (RICHTEXT).

#include "framework/controls.h"

namespace cv {

/// The edit box starts empty and editable; the page logic reads and writes it by name.
class CEditBox : public CEdit {};

class CMyComboItem : public CComboBox {};

class CMyProgress : public CProgressCtrl {};

class CMyRichText : public CRichEditCtrl {};

/// An etched edge around the client rectangle.
class CMyEdge : public CStatic {
  protected:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;
};

} // namespace cv
