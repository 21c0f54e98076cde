#include "app/splash.h"

#include "common/setup_state.h"
#include "resources/resource.h"
#include "common/file_system.h"

#include <mmsystem.h>

namespace cv {

namespace {

} // namespace

std::string SplashFilePath(const std::string& setup_folder, const std::string& named) {
    std::size_t slash = named.find_last_of("\\/");
    std::size_t dot = named.rfind('.');
    std::string ext = dot == std::string::npos || (slash != std::string::npos && dot < slash) ? "" : named.substr(dot);
    return setup_folder + "setup" + ext;
}

CSplash::CSplash(SplashSettings settings, std::string setup_folder)
    : CDialog(IDD_SPLASH), settings_(std::move(settings)), setup_folder_(std::move(setup_folder)) {}

bool CSplash::Open(CWnd* owner) { return Create(owner); }

BOOL CSplash::OnInitDialog() {
    SetupState& state = setupState();
    const bool with_picture = settings_.showPicture == "Yes";
    const UINT display_ms = static_cast<UINT>(settings_.seconds > 0 ? settings_.seconds : 0) * 1000u;
    if (with_picture) {
        picture_path_ = SplashFilePath(setup_folder_, settings_.pictureFile);
        if (display_ms != 0)
            SetTimer(kTimerDisplayTime, display_ms);
        else
            SetTimer(kTimerWaitForUnpacking, 1000);
    } else {
        // A splash with sound only would otherwise have no timer that ends it, and the first
        // page waits for the splash: it ends once unpacking has finished.
        SetTimer(kTimerWaitForUnpacking, 1000);
    }
    if (state.diskImageMode == kOn)
        SetTimer(kTimerDiskImages, display_ms);

    if (settings_.playSound == "Yes") {
        std::string sound = SplashFilePath(setup_folder_, settings_.soundFile);
        if (FileExists(sound)) {
            sound_path_ = sound;
            sound_flags_ = SND_ASYNC | SND_NODEFAULT | (settings_.soundMode == "Once" ? 0u : SND_LOOP);
            SetTimer(kTimerSound, 1500);
        }
    }

    if (with_picture && FileExists(picture_path_) && picture_.SubclassDlgItem(IDC_SPLASH_PICTURE, m_hWnd) &&
        picture_.LoadFromFile(picture_path_)) {
        SIZE size = picture_.GetSize();
        ::SetWindowPos(picture_.m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        CenterOnPrimaryScreen();
        picture_.Show();
        ShowWindow(SW_SHOW);
        UpdateWindow();
        picture_shown_ = true;
    }
    return FALSE;
}

void CSplash::OnTimer(UINT_PTR id) {
    SetupState& state = setupState();
    switch (id) {
    case kTimerWaitForUnpacking:
    case kTimerDisplayTime:
        if (state.unpacked == kOn)
            End();
        break;
    case kTimerSound:
        KillTimer(id);
        ::sndPlaySoundA(sound_path_.c_str(), sound_flags_);
        break;
    case kTimerDiskImages:
        KillTimer(id);
        state.unpacked = kOn;
        End();
        break;
    default:
        break;
    }
}

void CSplash::End() {
    setupState().splashDone = kOn;
    // The object deletes itself after the window's last message.
    DestroyWindow();
}

} // namespace cv
