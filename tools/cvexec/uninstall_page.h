#pragma once
/// The uninstaller's skinned page, as far as it needs no window: when it is shown instead of
/// the plain dialogs, how its texts are expanded, what each of its named controls shows at
/// each stage of the removal and what a click means there. The page window itself is
/// uninstall_page_win; the controls an author puts on it are listed in docs/uninstall-page.md.

#include "tools/cvexec/command_line.h"
#include "tools/cvexec/uninstall_texts.h"

#include <string>
#include <string_view>
#include <vector>

namespace cv::uninstall {

/// The page's layout file, in the theme folder that the runtime copies into the log folder
/// when the product's settings ask for it ([APPINFO] a10 "Yes").
inline constexpr std::string_view kPageLayoutFile = "uninstall.lcd";
/// The theme folder inside the log folder (with its trailing backslash).
inline constexpr std::string_view kThemeFolderName = "theme\\";

/// The names of the controls the uninstaller drives; any other element of the layout is
/// shown as the layout says.
inline constexpr std::string_view kTextControl = "IDC_UNINSTALLTEXT";
inline constexpr std::string_view kBarControl = "IDC_UNINSTALLPROGRESS";
inline constexpr std::string_view kRemoveButton = "IDC_REMOVE";
inline constexpr std::string_view kCancelButton = "IDCANCEL";
inline constexpr std::string_view kCloseButton = "IDC_CLOSE";

/// What the uninstaller shows while it removes.
enum class Windows {
    None,  ///< silent: no window at all
    Plain, ///< the plain dialogs of the uninstaller's resources
    Page,  ///< the product's skinned page
};

/// `/S` shows nothing; otherwise the page when the log folder's theme copy holds its layout
/// file, else the plain dialogs. (`/M` asks Repair or Remove in its plain dialog first; a
/// removal chosen there shows its progress and result on the page as well.)
Windows ChooseWindows(Mode mode, bool page_layout_exists);

/// The page's folder: `<log folder>theme\` (the log folder given with its trailing backslash).
std::string PageFolder(const std::string& log_folder);

/// The values of the variables an uninstaller text may hold, from the Add/Remove entry.
struct TextValues {
    std::string display_name;   ///< "%s", <ProductName>, <DisplayName>
    std::string code;           ///< <ProductCode>
    std::string version;        ///< <ProductVersion>
    std::string publisher;      ///< <Publisher>
    std::string install_folder; ///< <InstallDir>, <Install Dir>
    std::string windows_folder; ///< <WindowsFolder>
};

/// `text` with its directives and variables replaced in one pass (a value is never expanded
/// again): the first "%s" is the display name and any later one `second`, "%%" is "%", and a
/// variable named above, written "<Name>" or, as the language files write them, "[Name]"
/// (names compared without regard to case), is its value. An unknown variable stays as written.
std::string ExpandText(std::string_view text, const TextValues& values, std::string_view second = {});

enum class PageStage {
    Question, ///< "Remove <name> and all of its components?": Remove or Cancel
    Removing, ///< the bar moves; nothing can be clicked
    Done,     ///< removed; Close ends
    Failed,   ///< removed but for the items listed; Close ends
};

/// What the named controls show at a stage.
struct PageState {
    std::string text; ///< of IDC_UNINSTALLTEXT
    bool bar_shown = false;
    bool remove_shown = false;
    bool cancel_shown = false;
    bool cancel_enabled = false;
    bool close_shown = false;

    bool operator==(const PageState&) const = default;
};

/// At most this many failures are listed on the page (and in the plain dialog's message).
inline constexpr std::size_t kListedFailures = 20;

/// The state of the page at `stage`; `failures` are listed, one a line, under the text of
/// a failed removal.
PageState StateOf(PageStage stage, const UninstallTexts& texts, const TextValues& values,
                  const std::vector<std::string>& failures = {});

/// What happened on the page.
enum class PageEvent {
    RemoveClicked, ///< IDC_REMOVE
    CloseClicked,  ///< IDC_CLOSE
    CloseRequest,  ///< IDCANCEL, Escape, the close box, or a "Close Window" button
    WindowGone,    ///< the page's window was destroyed
};

enum class PageReaction {
    Ignore,
    StartRemoval,
    Decline, ///< nothing is removed; the uninstaller ends (exit code 4)
    End,     ///< the removal is over and the user closed the page
};

/// What the uninstaller does about `event` at `stage`: a removal once started is never cut
/// short (closing requests are ignored while it runs).
PageReaction React(PageStage stage, PageEvent event);

} // namespace cv::uninstall
