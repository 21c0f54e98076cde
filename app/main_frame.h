#pragma once
/// CMainFrame: the hidden frame that owns the run. Its creation handler prepares folders
/// and settings and runs the start sequence; afterwards it only reacts to page reports,
/// its timers and painting. With a background configured it becomes a maximised window
/// behind the pages.

#include "app/action_tables.h"
#include "app/background_colors.h"
#include "app/condition_api.h"
#include "app/page_order.h"
#include "app/variable_sources.h"
#include "framework/dialog.h"
#include "framework/font.h"
#include "framework/framewnd.h"
#include "engine/condition_table.h"
#include "engine/path_values.h"
#include "framework/handle.h"
#include "pages/wizard_host.h"

#include <array>
#include <memory>
#include <string>

namespace cv {

/// Timer identifiers of the main frame.
enum MainFrameTimer : UINT_PTR {
    kTimerStartPageDone = 1, ///< first page once the splash has finished (after unpacking)
    kTimerAddOn = 2,         ///< add-on step
    kTimerDiskImageSplash = 3, ///< first page once the splash has finished (disk images)
    kTimerCloseFrame = 4,    ///< end of the run
};

/// Posted to the frame to maximise the background window once creation has finished.
inline constexpr UINT kMsgMaximizeBackground = WM_APP + 1;

/// One row of the VARIABLES table as the main frame keeps it (the engine's copy is
/// cv::UserVariable of engine/path_values.h).
struct WizardVariable {
    std::string name, text, value;
};

/// The strings of the run that no variable stands for (those are in PathValues).
struct FrameStrings {
    std::string themeFolder, workFolderName, commonDocuments, music;
    std::string language, languageSetting, languageMethod;
    std::string launchFile, launchParameters, readmeFile;
    std::string pageText17, pageText18, pageText19;
    std::string defaultLanguageFile;
};

class CImageWindow;
class CRijndaelFILE;

class CMainFrame : public CFrameWnd, public IWizardHost {
  public:
    CMainFrame();
    ~CMainFrame() override;

    // ---- the wizard host (pages/wizard_host.h); wizard_host.cpp
    /// Next (action 1 or "IDC_NEXT"), back (2 or "IDC_BACK") and finish; nothing else once
    /// the wizard is blocked.
    void ForwardClick(const PageClick& click, CImageWindow& page) override;
    void RunInstallation() override;
    void PageOpened(CImageWindow& page) override;
    void PageClosed(CImageWindow& page) override;
    void SetupTypeChosen(int type) override;
    void InstallForChosen(bool all_users) override;
    void LaunchChosen(LaunchTarget target, bool chosen) override;
    /// Keeps the names and stores them where the product finds them: "userinfo.ini" in the
    /// Windows folder and, when the settings name a key (DIALOGLIST "CT17"/"CT18"), the
    /// registry.
    void CustomerEntered(const std::string& user, const std::string& company) override;
    void InstallFolderChosen(const std::string& folder) override;
    void FeatureSwitched(const std::string& name, int state) override;
    bool IsCurrentPage(const CImageWindow& page) const override;
    /// The settings value of `section`/`key`, read into a buffer of `buffer_size` bytes
    /// with an empty default.
    std::string Setting(std::string_view section, std::string_view key, std::size_t buffer_size = 255) const override;
    std::string ExpandText(std::string_view text) const override;
    const WizardChoices& Choices() const override { return choices_; }
    CWnd* PageOwner() override { return this; }
    const CFont& UsePageFont(const LayoutFont& font, int height) override;
    bool ConfirmCancel(CWnd& owner) override;
    std::optional<std::string> ChooseFolder(CWnd& owner, const std::string& title) override;
    bool ShowsMessage(std::string_view text) override;
    bool ApplyLanguageFrom(CImageWindow& page) override;

    /// The values the variables of texts stand for: the folders and product strings, the
    /// user's names and install folder, the user variables.
    PathValues VariableValues() const;
    /// Moves on from the current page: skips the custom-setup page after a non-custom setup
    /// type, runs the actions bound to the page entered, and in hidden mode creates the hidden
    /// progress page instead. Past the end of the list the completion page follows.
    void ShowNextPage();
    /// Steps back (never before the first page, which is then shown again); no actions run.
    void ShowPreviousPage();
    /// The completion page, one position past the current one, with Back and Cancel disabled.
    void ShowCompletionPage();
    /// Blocks the wizard, marks the installation aborted and shows the completion page.
    void AbortToCompletionPage();
    /// Where the wizard goes once the installation is over: the completion page after an
    /// abort, the add-on step when one is pending, the finish in hidden mode, else next page.
    void ContinueAfterInstallation();
    /// The Finish button (finish.cpp): the finish's file actions and conditions, launch file
    /// and readme, the restart question, the work folder, and timer 4 that ends the run.
    void Finish();
    /// Removes the work folder unless a later step still needs it (finish_rules.h).
    void RemoveWorkFolder();
    /// The page "3rdparty.lcd" and timer 2, which runs the add-on step.
    void ShowAddOnPage();

    /// Evaluates condition `index` with its operands' variables expanded; when it holds its
    /// actions run in order. 255 when it held, -1 otherwise (also for an index outside the
    /// table).
    int EvaluateCondition(int index);
    /// 1 when `name` is "No Condition", empty or no condition's name, or when the last
    /// condition of that name holds (its actions then run); 0 when it does not hold.
    int CheckConditionByName(const std::string& name);
    /// Runs file action `index` (once only when it is marked so), subject to its
    /// operating-system mask and its condition.
    void RunFileAction(int index);
    /// Runs the file actions bound to `trigger` that are not done, then evaluates the
    /// conditions whose event it is and that are not done. `trigger` is a page file name or
    /// the finish trigger.
    void RunActionsBoundTo(const std::string& trigger);
    /// Switches to `language_file`: it becomes the process-wide language file, the page files
    /// of the theme folder take their captions from it, then the start sequence runs.
    void ApplyLanguage(const std::string& language_file);

    /// The page the condition actions' messages belong to: the current page while its
    /// window lives, else the frame.
    CWnd* MessageOwner();

  protected:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;
    int OnCreate(CREATESTRUCTA* cs) override;
    void OnTimer(UINT_PTR id);
    bool OnEraseBackground(HDC dc);
    void OnPaint();

  private:
    // Creation steps.
    void ResolveBasicFolders();
    void PrepareThemeFolder();
    void ReadRegistryValues();
    void DetermineBuildKind();
    /// 1 when both settings files were found and decrypted, 0 when one is missing.
    int PrepareWorkFolderAndDecrypt();
    bool DecryptSettingsFile(const std::string& source, const std::string& target);
    void ResolveShellFolders();
    void ReadProductSettings();
    void DetermineWindowsVersionName();
    /// The command line's part of the settings: silent mode, the install folder of "/D=", the
    /// product's mutex. False when another setup of the product runs and this one ends.
    bool ApplyCommandLine();
    /// True when the language page is shown; the run then continues from that page.
    bool DecideLanguage();
    /// Shows "askuser.lcd" with the language list; false when the page cannot be created.
    bool ShowLanguagePage();

    /// The start sequence; 0 on success, -1 when a step failed (a quit message is posted).
    int RunStartSequence();
    void ShowSplash();
    bool CheckRequirements();
    bool CheckAdministratorRights();
    void ReadConditions();
    bool HandlePreviousVersion();
    void BuildPageList();
    void ReadFileActions();
    void ReadFeatures();
    bool StartPageAndUnpack();
    void RunPageActions(int position);
    bool CreateStartPage();
    bool UnpackArchive();
    void CloseCurrentPage();
    /// Creates, loads and (when `visible`) shows a page, which becomes the current page.
    bool OpenPage(const PageOpening& opening, bool visible);
    void ShowBackgroundWindow();
    void LoadBackgroundPicture();
    void CoverWorkArea();
    static RECT WorkArea();
    static void BringPageToFront(HWND page);
    void StartBillboards();
    void ReadUserVariables();
    void PrepareAddOnStep();
    void RunAddOnStep();

    void FailStartSequence();

    bool frameCreated_ = false;

    // ---- the run's state; only the frame's own steps touch it
    PageOrder order;
    CWnd* currentPage = nullptr;
    CImageWindow* pageBeingBuilt = nullptr;
    /// The one copy of the user's choices; pages report changes through the host.
    WizardChoices choices_;

    // Flags: 255 on, 0 off.
    int splashShown = 0;
    int wizardBlocked = 0;
    int backgroundShown = 0;
    int backgroundPictureLoaded = 0;
    int programFilesMissing = 0;
    int restartRequested = 0;
    /// The engine's run is under way (its worker may still be undoing a cancelled run).
    int engineRunning = 0;
    /// Finish was pressed while the engine ran: it is carried out when the run has ended.
    int finishDeferred = 0;

    /// Folders and product strings that variables stand for. The user's names and the
    /// install folder are not kept here but in `choices_`; VariableValues() joins them.
    PathValues paths;
    /// The running Windows version: "98", "98SE", "ME", "NT4", "2000", "XP", "NET", "VIS"
    /// or empty.
    std::string windowsVersionName;
    FrameStrings strings;
    std::string settingsPath; ///< the decrypted setup.inf

    std::array<WizardVariable, kMaxUserVariables> userVariables{};
    int userVariableCount = 0;
    FileActionTable fileActions{};
    int fileActionCount = 0;
    ConditionTable conditions{};
    int conditionCount = 0;
    /// Runs the actions of conditions that hold.
    CConditionAPI conditionApi{this};

    std::array<std::string, 5> background{}; ///< title, corner text, top colour, bottom colour, picture
    UniqueBitmap backgroundBitmap;

    CFont pageFont;

    /// The settings cipher, created on first use.
    std::unique_ptr<CRijndaelFILE> cipher;
    /// Support files named in file actions come from the work folder ("BUILDING" "4").
    int supportFilesInWorkFolder = 0;
};

} // namespace cv
