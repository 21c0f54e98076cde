#pragma once
/// The portable rules of a page's click handling: what a BUTTON's click action text asks
/// for, which standard-page handler a control name calls, the launch flags' toggle and the
/// summary text of the ready page. The page window applies them (control_actions_win.cpp).

#include <string>
#include <string_view>

namespace cv {

/// A BUTTON's own click action, from its action text.
enum class ClickAction {
    PassOn,        ///< "[Do Nothing]", any text holding "0 -", and unknown texts
    CloseWindow,   ///< "1 - Close Window": the cancel request
    Minimize,      ///< "2 - Minimize Window"
    RunApp,        ///< "3 - Run App"
    RunAppAndClose ///< "4 - Run App and Close": run, then the cancel request
};

/// The action of `text`; only "0 -" is looked for inside the text, the others match exactly.
ClickAction ClassifyClickAction(std::string_view text);

/// The standard-page handling a control name gets before the click goes to the wizard.
enum class NamedHandler {
    None,       ///< no handler of its own: the customer check, then the wizard
    Browse,     ///< "IDC_BROWSE"
    Licence,    ///< "IDC_NOTACCEPTLICENSE" (0), "IDC_ACCEPTLICENSE" (1)
    InstallFor, ///< "IDC_ANYONE" (0), "IDC_ONLYFORME" (1)
    SetupType,  ///< "IDC_TYPICAL" (0), "IDC_MINIMAL" (1), "IDC_CUSTOM" (2)
    Launch,     ///< "IDC_LAUNCHFILE" (0), "IDC_LAUNCHREADME" (1)
};

struct NamedHandling {
    NamedHandler handler = NamedHandler::None;
    int choice = 0;
    bool operator==(const NamedHandling&) const = default;
};

/// The handler of control `name` (exact, case-sensitive comparison).
NamedHandling HandlingOfName(std::string_view name);

/// A launch flag after its check box was clicked: 0 becomes 255, anything else 0.
int ToggledLaunchFlag(int flag);

/// Whether the completion page offers a launch check box, from its setting (DIALOGLIST
/// "CT9" for the program, "CT12" for the readme): offered unless the setting is "No".
bool IsLaunchOffered(std::string_view setting);

/// The completion page's launch check boxes, each shown and checked or hidden.
struct LaunchBoxes {
    bool file = false;
    bool readme = false;
    bool operator==(const LaunchBoxes&) const = default;
};
/// The boxes shown: those the settings offer, none after an aborted installation.
LaunchBoxes LaunchBoxesShown(bool fileOffered, bool readmeOffered, bool aborted);

/// The setup type the setup-type page starts with: the stored 0, 1 or 2; anything else 0.
int SetupTypeToShow(int stored);

/// The ready page's summary of the choices made.
std::string SummaryText(int setupType, std::string_view installFolder, std::string_view userName,
                        std::string_view companyName);

/// `text` with every "[" made "<" and every "]" made ">" (language texts write variables in
/// brackets).
std::string BracketsToVariables(std::string_view text);

} // namespace cv
