#include "common/path_text.h"

namespace cv {

std::string WithTrailingBackslash(std::string_view folder) {
    std::string path(folder);
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path;
}

std::string WithoutTrailingBackslash(std::string_view path) {
    while (!path.empty() && path.back() == '\\')
        path.remove_suffix(1);
    return std::string(path);
}

std::string FileNamePart(std::string_view path) {
    std::size_t slash = path.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

} // namespace cv
