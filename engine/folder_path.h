#pragma once
/// CreateFolderPath: makes a folder exist, creating the missing parents first.

#include "common/path_limit.h"
#include "engine/install_target.h"

#include <string>
#include <vector>

namespace cv {

/// Longest folder path CreateFolderPath takes (the system's 260-character path buffer with its
/// terminating zero).
inline constexpr std::size_t kMaxCreatedFolderPath = kMaxPathLength;

/// Creates `path` (trailing backslashes ignored) and every missing folder above it. Each
/// folder is tried at most twice (once on the way up, once on the way down), so a path of n
/// components takes at most 2n+1 attempts however deep below an existing folder it lies.
/// Returns true when the folder exists at the end; an empty path, one longer than
/// kMaxCreatedFolderPath or one that cannot be created gives false. The folders above `path`
/// that this call created are appended to `created_parents` (when given), outermost first:
/// the installation logs them, so that removal takes them too.
bool CreateFolderPath(IInstallTarget& target, const std::string& path,
                      std::vector<std::string>* created_parents = nullptr);

} // namespace cv
