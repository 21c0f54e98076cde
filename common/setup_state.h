#pragma once
/// The process-wide setup state: one object shared by the main frame, the page windows, the
/// archive code and the installation engine. Its flags are atomic integers holding the
/// runtime's plain values (255 on, 0 off, -1 not set yet, 333 for a third state); each
/// string is written by one side at a time, before the other side reads it. No locks.

#include <array>
#include <atomic>
#include <cstddef>
#include <string>

namespace cv {

inline constexpr int kOn = 255;
inline constexpr int kOff = 0;
inline constexpr int kNotSet = -1;
/// `hiddenWizard` once the hidden progress page exists.
inline constexpr int kHiddenPageCreated = 333;

/// Upper bound of the feature table; features past it are refused when the table is read.
inline constexpr std::size_t kMaxFeatures = 200;

struct Feature {
    std::string name;
    int state = 0; ///< 0 installs the feature, 255 leaves it out
};

struct SetupState {
    std::atomic<int> cancelFlag{0};       ///< 1 once the user confirmed Cancel
    std::atomic<int> installAborted{-1};  ///< 255 once the installation was aborted
    std::atomic<int> hiddenWizard{0};     ///< 255: no visible pages; 333: hidden page created
    std::atomic<int> previewMode{0};      ///< 255: the engine skips the real installation steps
    std::atomic<int> diskImageMode{0};    ///< 255: product files lie in disk-image folders
    std::atomic<int> splitBuild{0};       ///< 255: "Split Files" build
    std::atomic<int> splashDone{0};       ///< 255 once the splash window has finished
    std::atomic<int> unpacked{0};         ///< 255 once the archive was unpacked behind a splash
    std::atomic<int> addOnPending{0};     ///< 255: the add-on step runs after the installation
    std::atomic<int> workFolderCleanup{0}; ///< 255: the work folder is removed at the finish
    std::atomic<int> featureCount{0};

    std::array<Feature, kMaxFeatures> features{};

    std::string workFolder;   ///< with a trailing backslash
    std::string setupInfPath;
    std::string dataInfPath;
    std::string languageFile;
    std::string tempFolder;
    std::string setupFolder;
    std::string productCode;
    /// The install folder, with a trailing backslash: the one copy. The main frame writes
    /// it (settings, previous version, the destination page's report); everyone reads it.
    std::string installFolder;
    std::string defaultInstallFolder; ///< as first read from the settings
    /// 255: after the shortcut step the engine opens the default shortcut folder.
    std::atomic<int> openShortcutFolder{0};

    /// Resets the flags that the application start resets.
    void ResetForStart();
    /// Appends a feature with state 0; false when the table is full.
    bool AddFeature(const std::string& name);
    /// Index of the first feature called `name`, or -1.
    int FindFeature(const std::string& name) const;
};

/// The one instance.
SetupState& setupState();

} // namespace cv
