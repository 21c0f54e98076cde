#include "engine/folder_path.h"

#include <algorithm>

namespace cv {

bool CreateFolderPath(IInstallTarget& target, const std::string& path_in,
                      std::vector<std::string>* created_parents) {
    std::string path = path_in;
    while (path.size() > 1 && path.back() == '\\')
        path.pop_back();
    if (path.empty() || path.size() > kMaxCreatedFolderPath)
        return false;
    const std::size_t components = static_cast<std::size_t>(std::count(path.begin(), path.end(), '\\')) + 1;
    const std::size_t max_attempts = 2 * components + 1;
    std::size_t length = path.size(); // the prefix of `path` being tried
    for (std::size_t attempt = 0; attempt < max_attempts; ++attempt) {
        std::string current = path.substr(0, length);
        const CreateFolderResult result = target.CreateFolder(current);
        switch (result) {
        case CreateFolderResult::PathNotFound: {
            // The parent is missing: try it first.
            std::size_t cut = current.rfind('\\');
            if (cut == std::string::npos || cut == 0)
                return false;
            length = cut;
            break;
        }
        case CreateFolderResult::Created:
        case CreateFolderResult::AlreadyExists: {
            if (length == path.size())
                return true;
            if (created_parents && result == CreateFolderResult::Created)
                created_parents->push_back(current);
            // Put the next cut part back.
            std::size_t next = path.find('\\', length + 1);
            length = next == std::string::npos ? path.size() : next;
            break;
        }
        case CreateFolderResult::Failed:
            return target.FolderExists(path);
        }
    }
    return target.FolderExists(path);
}

} // namespace cv
