#include "app/work_folder_name.h"

namespace cv {

std::string WorkFolderCandidate(std::string_view base, int attempt) {
    std::string name(base);
    if (attempt > 0)
        name += "_" + std::to_string(attempt);
    return name;
}

std::optional<std::string>
CreateUniqueWorkFolder(std::string_view base,
                       const std::function<FolderCreation(const std::string&)>& create) {
    for (int attempt = 0; attempt < kMaxWorkFolderAttempts; ++attempt) {
        std::string name = WorkFolderCandidate(base, attempt);
        switch (create(name)) {
        case FolderCreation::Created:
            return name;
        case FolderCreation::Exists:
            continue;
        case FolderCreation::Failed:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace cv
