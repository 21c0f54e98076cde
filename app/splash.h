#pragma once
/// CSplash: the modeless splash window (template 144) that shows the product's picture
/// (animated GIFs play) and plays its sound while the archive is unpacked. It ends itself
/// once unpacking has finished and its display time is over, sets `splashDone` and deletes
/// itself.

#include "framework/dialog.h"
#include "pages/picture_ex_win.h"

#include <string>

namespace cv {

/// The `SPLASH` section of the settings.
struct SplashSettings {
    std::string showPicture; ///< a1: "Yes" shows the picture
    std::string pictureFile; ///< a2: its extension selects "setup<ext>" in the setup folder
    int seconds = 0;         ///< a3: display time
    std::string pictureText; ///< a4
    std::string playSound;   ///< a5: "Yes" plays the sound
    std::string soundFile;   ///< a6: its extension selects "setup<ext>"
    std::string soundMode;   ///< a7: "Once" plays once, anything else loops
};

/// "<setup folder>setup<ext>" where <ext> is the extension (with its dot) of the file
/// `named`; "setup" alone when that name has none.
std::string SplashFilePath(const std::string& setup_folder, const std::string& named);

class CSplash : public CDialog {
  public:
    enum Timer : UINT_PTR {
        kTimerWaitForUnpacking = 1, ///< ends the splash once unpacking has finished
        kTimerSound = 2,            ///< starts the sound
        kTimerDisplayTime = 3,      ///< as 1, first fired after the display time
        kTimerDiskImages = 4,       ///< disk images: nothing is unpacked, ends after the time
    };

    CSplash(SplashSettings settings, std::string setup_folder);

    /// Creates the window owned by `owner`, starts its timers and sound, and shows the
    /// picture when there is one. False when the window could not be created (the caller
    /// then deletes the object).
    bool Open(CWnd* owner);

    const std::string& picturePath() const { return picture_path_; }
    const std::string& soundPath() const { return sound_path_; }
    /// The sndPlaySoundA flags chosen for the sound.
    UINT soundFlags() const { return sound_flags_; }
    bool pictureShown() const { return picture_shown_; }
    const CPictureEx& picture() const { return picture_; }

  protected:
    BOOL OnInitDialog() override;
    void OnTimer(UINT_PTR id) override;
    void OnOK() override {}
    void OnCancel() override {}
    void PostNcDestroy() override { delete this; }

  private:
    void End();

    SplashSettings settings_;
    std::string setup_folder_;
    std::string picture_path_;
    std::string sound_path_;
    UINT sound_flags_ = 0;
    bool picture_shown_ = false;
    CPictureEx picture_;
};

} // namespace cv
