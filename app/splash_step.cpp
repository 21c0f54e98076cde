// The start sequence's splash step.

#include "app/main_frame.h"
#include "common/setup_state.h"
#include "app/splash.h"

#include <cstdlib>

namespace cv {

void CMainFrame::ShowSplash() {
    SplashSettings s;
    s.showPicture = Setting("SPLASH", "a1");
    s.pictureFile = Setting("SPLASH", "a2");
    s.seconds = static_cast<int>(std::strtol(Setting("SPLASH", "a3").c_str(), nullptr, 10));
    s.pictureText = Setting("SPLASH", "a4");
    s.playSound = Setting("SPLASH", "a5");
    s.soundFile = Setting("SPLASH", "a6");
    s.soundMode = Setting("SPLASH", "a7");
    // A display time past a day is taken as a day, so the timer period cannot overflow.
    if (s.seconds > 86400)
        s.seconds = 86400;
    auto* splash = new CSplash(std::move(s), setupState().setupFolder);
    splashShown = kOn;
    if (!splash->Open(this)) {
        // Nothing would ever end a splash that does not exist, and the first page waits for it.
        delete splash;
        setupState().splashDone = kOn;
    }
}

} // namespace cv
