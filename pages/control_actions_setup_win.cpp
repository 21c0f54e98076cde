// The standard pages' set-up at the end of LoadPage, chosen by the layout file name: the
// licence and readme texts, the customer and destination pages, the feature tree, the
// progress page's start timer, the completion page's launch choices, the setup type shown
// again and the ready page's summary.

#include "common/setup_state.h"
#include "common/profile_cache.h"
#include "pages/control_actions.h"
#include "pages/image_window_win.h"
#include "common/path_text.h"

#include <richedit.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>

namespace cv {

namespace {

/// Licence and readme files are shown whole up to this size; the rest is left out.
constexpr std::size_t kMaxShownTextFile = 4u << 20;

bool ReadWholeFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (text.size() > kMaxShownTextFile)
        text.resize(kMaxShownTextFile);
    return true;
}

bool EndsWithRtf(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name.size() >= 4 && name.compare(name.size() - 4, 4, ".rtf") == 0;
}

struct StreamSource {
    const std::string* text;
    std::size_t offset;
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    std::size_t left = source->text->size() - source->offset;
    std::size_t n = std::min(left, static_cast<std::size_t>(wanted > 0 ? wanted : 0));
    std::memcpy(buffer, source->text->data() + source->offset, n);
    source->offset += n;
    *given = static_cast<LONG>(n);
    return 0;
}

std::string LanguageText(const char* section, const char* key) {
    const std::string& file = setupState().languageFile;
    return file.empty() ? std::string() : GetProfileValue(file, section, key, "", 255);
}

} // namespace

void CImageWindow::SetUpStandardPage() {
    if (file_ == "license.lcd") {
        ShowTextFile("CT0", "CT1");
        LicenceChoice(0);
    }
    if (file_ == "readme.lcd")
        ShowTextFile("CT2", "CT3");
    if (file_ == "customer.lcd") {
        InstallForChoice(0);
        if (CControlWnd* name = ControlOf(FindControlByName("IDC_USERNAME")))
            ::SetFocus(name->m_hWnd);
    }
    const WizardChoices& choices = host_.Choices();
    if (file_ == "destination.lcd") {
        InstallForChoice(0);
        SetNamedText("IDC_INSTALLDIR", setupState().installFolder);
    }
    if (file_ == "customsetup.lcd") {
        SetNamedText("IDC_INSTALLDIR", setupState().installFolder);
        SetNamedText("IDC_FEATUREINFO", "");
        FillFeatureTree();
    }
    if (file_ == "progress.lcd")
        SetUpProgressPage();
    if (file_ == "complete.lcd")
        SetUpCompletePage();
    if (file_ == "customer.lcd") {
        if (host_.Setting("DIALOGLIST", "CT19") == "Yes") {
            SetNamedText("IDC_USERNAME", choices.userName);
            SetNamedText("IDC_ORGANIZATION", choices.companyName);
        }
        if (FindControlByName("IDC_ANYONE") != -1) {
            SetCheckOf("IDC_ANYONE", choices.allUsers != 0);
            SetCheckOf("IDC_ONLYFORME", choices.allUsers == 0);
        }
    }
    if (file_ == "setuptype.lcd")
        SetupTypeChoice(SetupTypeToShow(choices.setupType));
    if (file_ == "ready.lcd") {
        SetNamedText("IDC_SETTINGS",
                     SummaryText(choices.setupType, setupState().installFolder, choices.userName, choices.companyName));
        if (CControlWnd* settings = ControlOf(FindControlByName("IDC_SETTINGS")))
            ::SetWindowLongPtrA(settings->m_hWnd, GWL_EXSTYLE,
                                ::GetWindowLongPtrA(settings->m_hWnd, GWL_EXSTYLE) | 0x1004);
    }
}

void CImageWindow::ShowTextFile(const char* file_key, const char* control_key) {
    std::string name = FileNamePart(host_.Setting("DIALOGLIST", file_key));
    CControlWnd* control = ControlOf(FindControlByName(host_.Setting("DIALOGLIST", control_key)));
    if (name.empty() || !control || !control->m_hWnd)
        return;
    const SetupState& state = setupState();
    std::string path = state.diskImageMode == kOn ? state.setupFolder + "DiskImage1\\" + name
                                                  : state.workFolder + name;
    std::string text;
    if (!ReadWholeFile(path, text))
        return;
    if (EndsWithRtf(name)) {
        StreamSource source{&text, 0};
        EDITSTREAM stream{};
        stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
        stream.pfnCallback = &ReadStream;
        control->SendMessage(EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    } else {
        control->SetWindowText(text);
    }
}

void CImageWindow::SetUpProgressPage() {
    EnableNamed("IDC_NEXT", false);
    EnableNamed("IDC_BACK", false);
    SetNamedText("IDC_INFO", "Starting copying files...");
    SetNamedText("IDC_INSTALLINFO", "");
    SetTimer(kTimerRunInstallation, 300);
}

void CImageWindow::SetUpCompletePage() {
    const bool aborted = setupState().installAborted == kOn;
    if (aborted) {
        ShowNamed("IDC_LAUNCHREADME", false);
        ShowNamed("IDC_LAUNCHFILE", false);
        SetNamedText("IDC_INSTALLSTATUS",
                     Expand(BracketsToVariables(LanguageText("SetupCompleteError", "3"))));
    }
    ShowNamed("IDC_LAUNCHREADME", false);
    if (CControlWnd* readme = ControlOf(FindControlByName("IDC_LAUNCHREADME")))
        readme->SetWindowText(LanguageText("SetupCompleteSuccess", "7"));
    ShowNamed("IDC_LAUNCHFILE", false);
    if (CControlWnd* launch = ControlOf(FindControlByName("IDC_LAUNCHFILE")))
        launch->SetWindowText(LanguageText("SetupCompleteSuccess", "6"));
    // The offers are settings; what the user ends up choosing is the wizard's.
    const WizardChoices& choices = host_.Choices();
    const LaunchBoxes boxes = LaunchBoxesShown(choices.launchFileOffered, choices.launchReadmeOffered, aborted);
    if (boxes.file) {
        ShowNamed("IDC_LAUNCHFILE", true);
        SetCheckOf("IDC_LAUNCHFILE", true);
        host_.LaunchChosen(LaunchTarget::File, true);
    }
    if (boxes.readme) {
        ShowNamed("IDC_LAUNCHREADME", true);
        SetCheckOf("IDC_LAUNCHREADME", true);
        host_.LaunchChosen(LaunchTarget::Readme, true);
    }
}

} // namespace cv
