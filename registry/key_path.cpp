#include "registry/key_path.h"

#include "common/text_replace.h"

namespace cv {

int RegistryRootIndex(std::string_view name) {
    for (std::size_t i = 0; i < std::size(kRegistryRootNames); ++i) {
        if (name == kRegistryRootNames[i])
            return static_cast<int>(i);
    }
    return -1;
}

std::string StripRegistryRootNames(std::string_view path) {
    std::string out(path);
    for (std::string_view root : kRegistryRootNames)
        ReplaceAll(out, std::string(root) + "\\", "");
    return out;
}

std::string CutRegistryText(std::string_view text) {
    return std::string(text.substr(0, kMaxRegistryText));
}

} // namespace cv
