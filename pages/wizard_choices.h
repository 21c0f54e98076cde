#pragma once
/// What the user chose on the standard pages, and the completion page's offers. The wizard
/// keeps the one copy; pages read it through the wizard host and report changes, which the
/// wizard takes over. The install
/// folder is not here: the unpacking and the engine read it on their worker threads from
/// the process-wide setup state, its one owner (the wizard writes it when a page reports).

#include <string>

namespace cv {

struct WizardChoices {
    int setupType = -1;        ///< -1 not chosen yet, 0 typical, 1 minimal, 2 custom
    int allUsers = 255;        ///< 255: for anyone who uses the computer, 0: only for the user
    int launchFile = 0;        ///< completion page: 255 runs the program at the finish
    int launchReadme = 0;      ///< completion page: 255 opens the readme at the finish
    std::string userName;      ///< customer page (first the logged-on user)
    std::string companyName;   ///< customer page (first the registered organisation)
    bool customerEntered = false; ///< the customer page was passed; the run writes the names
    /// The completion page's check boxes the settings offer, read at start-up: by the time the
    /// page shows, the settings file may have gone with the work folder.
    bool launchFileOffered = true;
    bool launchReadmeOffered = true;
};

/// The two check boxes of the completion page.
enum class LaunchTarget { File, Readme };

} // namespace cv
