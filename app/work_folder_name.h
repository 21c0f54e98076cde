#pragma once
/// The name of the run's private work folder below the temp folder. The start time
/// ("cv%H%M%S") alone is not unique: two setups started in the same second (as a deployment
/// script starts them) would share one folder, and the first to finish would delete the
/// other's files; a folder left by a crashed run at that time of another day would be reused
/// with its old files. So the folder is created, not reused: the first name of
/// "cv142305", "cv142305_1", "cv142305_2", ... that does not exist yet, each tried by
/// creating it, which the system does atomically.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace cv {

/// How many names are tried before the run gives up.
inline constexpr int kMaxWorkFolderAttempts = 100;

/// The name tried at `attempt` (0 is the plain name).
std::string WorkFolderCandidate(std::string_view base, int attempt);

enum class FolderCreation {
    Created,
    Exists, ///< a file or folder of that name is there
    Failed, ///< anything else (no temp folder, no right to write): another name will not help
};

/// Creates the first candidate that does not exist through `create` and returns its name;
/// nullopt when creation failed otherwise or every name of the bound exists.
std::optional<std::string>
CreateUniqueWorkFolder(std::string_view base,
                       const std::function<FolderCreation(const std::string&)>& create);

} // namespace cv
