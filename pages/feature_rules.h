#pragma once
/// The custom setup page's feature rules: what its popup menu's two entries do to the feature
/// table and the tree, which feature table entry a tree item stands for, and which description
/// the page shows for a selected feature. The page window applies them (feature_tree_win.cpp).

#include "common/setup_state.h"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace cv {

/// Command identifiers of the feature menu's entries, in menu order (0 is "no choice").
enum FeatureMenuCommand : int {
    kFeatureInstall = 1, ///< "This feature will be installed on local hard drive"
    kFeatureLeaveOut = 2 ///< "This feature will not be installed"
};

inline constexpr const char* kFeatureInstallText = "This feature will be installed on local hard drive";
inline constexpr const char* kFeatureLeaveOutText = "This feature will not be installed";

/// Tree images of a feature item: 0 installed (icon 152), 1 left out (icon 151).
inline constexpr int kFeatureImageInstalled = 0;
inline constexpr int kFeatureImageLeftOut = 1;

/// What a menu choice sets: the feature table state and the item's tree image.
struct FeatureSwitch {
    int state = 0;
    int image = 0;
    bool operator==(const FeatureSwitch&) const = default;
};

/// The switch of menu command `command`; none for 0 (menu dismissed) or any other value.
std::optional<FeatureSwitch> FeatureSwitchOf(int command);

/// Index of the last of `features` called `name` (exact comparison), or -1.
int LastFeatureNamed(std::span<const Feature> features, std::string_view name);

/// Reads one key of the settings section "SETUPTYPE" (empty when missing).
using SetupTypeReader = std::function<std::string(const std::string& key)>;

/// The description shown for feature `name`: "Description%i" of the last i from 0 to
/// "TOTAL" - 1 whose "FeatureName%i" equals the name; none when no row names it. "TOTAL" is
/// bounded by kMaxFeatures rows.
std::optional<std::string> FeatureDescriptionOf(const SetupTypeReader& read, std::string_view name);

} // namespace cv
