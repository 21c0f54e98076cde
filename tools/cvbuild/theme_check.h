#pragma once
/// The layout files the setup opens must be in the theme: a page the setup opens without
/// its layout file shows as an empty window with nothing to click.

#include "common/profile.h"

#include <filesystem>
#include <string>
#include <vector>

namespace cv::build {

/// Most pages the setup's page list holds; names past it are never shown.
inline constexpr std::size_t kMaxPages = 20;

/// Checks the layout files that `settings` (setup.inf) makes the setup open against
/// `theme_dir` (names compared without regard to case, as Windows finds them). Raises
/// BuildError naming the first missing page of [DIALOGLIST], or "progress.lcd" for a hidden
/// product ([BUILDING] "2" is "Yes"). Returns the warnings: "complete.lcd", which the setup
/// opens after a confirmed Cancel, missing.
std::vector<std::string> CheckThemeLayouts(const ProfileFile& settings,
                                           const std::filesystem::path& theme_dir);

} // namespace cv::build
