#include "app/precheck_rules.h"
#include "common/path_text.h"

namespace cv {

PreviousVersionStep ChoosePreviousVersionStep(std::string_view a26, std::string_view a27,
                                              std::string_view a29) {
    if (a26 == "New Installation")
        return a29 == "Yes" ? PreviousVersionStep::RemoveOld : PreviousVersionStep::None;
    if (a26 == "Upgrade")
        return a27 == "Auto-Detect" ? PreviousVersionStep::AutoDetectFolder
                                    : PreviousVersionStep::NamedValueFolder;
    return PreviousVersionStep::None;
}

std::string UninstallKeyPath(std::string_view product_code) {
    return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + std::string(product_code);
}

std::optional<RegistryValuePath> SplitRegistryValuePath(std::string_view text) {
    const std::size_t first = text.find('\\');
    if (first == std::string_view::npos)
        return std::nullopt;
    const std::size_t last = text.rfind('\\');
    RegistryValuePath out;
    out.hive = std::string(text.substr(0, first));
    out.value = std::string(text.substr(last + 1));
    if (last > first)
        out.key = std::string(text.substr(first + 1, last - first - 1));
    return out;
}

std::string FolderWithBackslash(std::string folder) {
    return folder.empty() ? folder : WithTrailingBackslash(folder);
}

} // namespace cv
