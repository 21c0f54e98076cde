#pragma once
/// CImageWindow: the skinned wizard page. A modeless dialog (blank template 131) whose size,
/// placement, caption, background and child controls come from a layout file. It keeps the
/// table of its elements, answers the wizard's and the engine's requests to update named
/// controls (requests for a name the page lacks are ignored) and reports clicks and choices
/// to the wizard through its host interface (pages/wizard_host.h).
///
/// Control identifiers run from 3000 in reverse file order; only 3000 to 3030 react to clicks.
/// SetProgressText, SetFeatureInfo and the download progress operations may be called from
/// worker threads: they find controls by name and change them through window messages.

#include "framework/controls.h"
#include "framework/dialog.h"
#include "pages/buttons_win.h"
#include "pages/label_win.h"
#include "pages/layout.h"
#include "pages/picture_static_win.h"
#include "pages/simple_controls_win.h"
#include "pages/tree_view_win.h"
#include "pages/wizard_host.h"

#include <array>
#include <string>
#include <vector>

namespace cv {

/// Timers of a page window.
enum PageTimer : UINT_PTR {
    kTimerRunInstallation = 1, ///< progress page: ask the wizard to run the installation
    kTimerFinishByEnter = 2,   ///< Enter on a page with a finish button
};

inline constexpr int kLastClickableControlId = 3030;

/// One element of a page: what the layout gave it and what the page made of it.
struct PageElement {
    LayoutElement layout; ///< type, rectangle (as created), identifier, table index, properties
    std::string action = "[Do Nothing]"; ///< click action text (BUTTON property 7)
    std::string argument;                ///< action argument (BUTTON property 8)
    std::string name;                    ///< control name ("IDC_NEXT"), default from the type
    CControlWnd* control = nullptr;      ///< null when the window could not be created
};

class CImageWindow : public CDialog {
  public:
    /// A page of the wizard behind `host`, which must outlive the page.
    explicit CImageWindow(IWizardHost& host);
    ~CImageWindow() override;

    /// Creates the (hidden) dialog window, owned by the host's page owner when it has one.
    bool Create();

    /// Builds the page from folder + file name (folder with its trailing backslash).
    void LoadPage(const std::string& folder, const std::string& file, int page_index, int page_count);

    /// Control identifier of the element named `name` (exact comparison), or -1.
    int FindControlByName(const std::string& name) const;
    /// Index in the element list of control `id`, or -1.
    int ElementIndexOfControl(int id) const;
    /// Index of control `id` within its control table, or -1.
    int TableIndexOfControl(int id) const;
    /// The control window of `id`, or null.
    CControlWnd* ControlOf(int id) const;

    /// `which` 0 sets "IDC_INFO", 1 "IDC_INSTALLINFO", and repaints it.
    void SetProgressText(const std::string& text, int which);
    /// Shows "IDC_DOWNLOADPROGRESS" with the range 0 to 100.
    void ShowDownloadProgress();
    /// "percent,time left,remainder": the bar's position and the "IDC_INFO" text.
    void UpdateDownloadProgress(const std::string& text);
    /// Hides the bar; range 0 to 100, position 0.
    void HideDownloadProgress();
    /// Sets and repaints "IDC_FEATUREINFO".
    void SetFeatureInfo(const std::string& text);

    /// The cancel request of the Cancel button, Escape and the close box: on confirmation the
    /// run is cancelled and the wizard takes its cancellation path.
    void RequestCancel();

    const std::string& layoutFile() const { return file_; }
    const std::string& layoutFolder() const { return folder_; }
    int pageIndex() const { return page_index_; }
    int pageCount() const { return page_count_; }
    const WindowSettings& windowSettings() const { return window_; }
    const std::vector<PageElement>& elements() const { return elements_; }
    const std::vector<std::string>& layoutWarnings() const { return warnings_; }
    const std::string& backgroundColorText() const { return background_text_; }
    int backgroundPictureLoaded() const { return picture_loaded_; }
    bool hasFinishButton() const { return finish_ == 255; }
    int tableUsed(ControlTable table) const { return table_used_[static_cast<std::size_t>(table)]; }

    /// True (the default) when the page deletes itself after its window is gone, as the
    /// wizard's pages made with new do.
    bool deleteOnDestroy = true;

    bool PreTranslateMessage(MSG* msg) override;

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override {}
    void OnCancel() override {}
    void OnTimer(UINT_PTR id) override;
    BOOL OnDialogMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;
    void PostNcDestroy() override;

  private:
    /// Keeps the object alive while a handler calls out to the wizard, which may close the
    /// page (and so delete it) before the handler has finished.
    class BusyScope {
      public:
        explicit BusyScope(CImageWindow& page) : page_(page) { ++page_.busy_; }
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

      private:
        CImageWindow& page_;
    };

    void ResetPage();
    void ApplyWindowSettings();
    void SetPageFont();
    void SetBackgroundColor(const std::string& color);
    void LoadBackgroundPicture(const std::string& path);
    void CreateElement(PageElement& element);
    CControlWnd* CreateControl(PageElement& element, RECT& rect);
    void ApplyProperties(PageElement& element);
    void PlaceWindow();
    void PaintBackground(HDC dc, POINT origin);
    void SetNamedText(const char* name, const std::string& text);
    HFONT PageFont() const;

    // Click handling (image_window_click_win.cpp).
    void HandleControlClick(int id);
    void ForwardToWizard(int id, int index, int action, const std::string& name);
    std::string Expand(std::string_view text) const { return host_.ExpandText(text); }
    /// True when the click action finished the click.
    bool RunClickAction(const PageElement& element);

    // The standard pages' handling of well-known control names (control_actions_win.cpp)
    // and their set-up by layout file name (control_actions_setup_win.cpp).
    /// True when a handler of the name finished the click (or the customer check stopped it).
    bool HandleNamedControl(const std::string& name);
    void ChooseInstallFolder();
    void LicenceChoice(int choice);
    void InstallForChoice(int choice);
    void SetupTypeChoice(int choice);
    void LaunchChoice(int choice);
    /// Stores the customer page's names (file and registry); passes at once on other pages.
    bool CheckCustomerInformation();
    void SetUpStandardPage();
    // The feature tree (feature_tree_win.cpp).
    void FillFeatureTree();
    /// Shows the feature's description and its menu, and applies the choice.
    void OnFeatureSelected(CMyTreeView& tree, HTREEITEM item);
    void SetUpProgressPage();
    void SetUpCompletePage();
    void ShowTextFile(const char* file_key, const char* control_key);
    void SetCheckOf(const char* name, bool checked);
    void EnableNamed(const char* name, bool enabled);
    void ShowNamed(const char* name, bool shown);
    /// A plain message box over the page, when the wizard lets it show (not in a silent run).
    void ShowMessage(const std::string& text);
    std::string TextOfNamed(const char* name) const;

    IWizardHost& host_;
    HFONT page_font_ = nullptr; ///< the host's page font once this page has set it
    CToolTipCtrl tooltip_;
    std::string folder_, file_;
    int page_index_ = 0, page_count_ = 0;
    WindowSettings window_;
    std::vector<std::string> warnings_;

    std::string background_text_;
    UniqueBrush background_brush_;
    UniqueBitmap background_picture_;
    int picture_width_ = 0, picture_height_ = 0;
    int picture_loaded_ = 0;

    std::vector<PageElement> elements_;
    std::array<int, kControlTableCount> table_used_{};
    int finish_ = 0;
    int busy_ = 0;
    bool delete_pending_ = false;

    template <class T> using Table = std::array<T, kMaxControlsPerTable>;
    Table<CNewLabel> rects_, texts_, hotspots_, animations_, listviews_;
    Table<CMyButton> buttons_, groupboxes_;
    Table<CMyStatic> pictures_, icons_;
    Table<CEditBox> edits_;
    Table<CMyComboItem> combos_;
    Table<CMyRadioButton> radios_, checkboxes_;
    Table<CMyProgress> progress_;
    Table<CMyEdge> frames_;
    Table<CMyTreeView> trees_;
    Table<CMyRichText> richtexts_;
};

} // namespace cv
