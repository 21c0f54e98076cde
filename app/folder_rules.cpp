#include "app/folder_rules.h"

namespace cv {

namespace {

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsEdgeCharacter(char c) { return c == ' ' || c == '\t' || c == '.'; }

bool IsValidComponent(std::string_view part) {
    if (part.empty() || IsEdgeCharacter(part.front()) || IsEdgeCharacter(part.back()))
        return false;
    for (char c : part)
        if (std::string_view("\"*/:<>?\\|").find(c) != std::string_view::npos)
            return false;
    return true;
}

} // namespace

bool IsValidFolderPath(std::string_view path) {
    if (path.size() < 3 || path.size() > kMaxFolderPath)
        return false;
    if (!IsDriveLetter(path[0]) || path[1] != ':' || path[2] != '\\')
        return false;
    std::string_view rest = path.substr(3);
    if (rest.empty())
        return true;
    while (true) {
        std::size_t cut = rest.find('\\');
        if (!IsValidComponent(rest.substr(0, cut)))
            return false;
        if (cut == std::string_view::npos)
            return true;
        rest.remove_prefix(cut + 1);
    }
}

std::vector<std::string> FolderLevels(std::string_view path) {
    std::vector<std::string> levels;
    if (path.size() <= 3)
        return levels;
    for (std::size_t at = path.find('\\', 3); at != std::string_view::npos; at = path.find('\\', at + 1))
        levels.emplace_back(path.substr(0, at));
    levels.emplace_back(path);
    return levels;
}

} // namespace cv
