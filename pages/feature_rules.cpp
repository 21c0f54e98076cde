#include "pages/feature_rules.h"
#include "common/table_section.h"

#include <algorithm>
#include <cstdlib>

namespace cv {

std::optional<FeatureSwitch> FeatureSwitchOf(int command) {
    if (command == kFeatureInstall)
        return FeatureSwitch{kOff, kFeatureImageInstalled};
    if (command == kFeatureLeaveOut)
        return FeatureSwitch{kOn, kFeatureImageLeftOut};
    return std::nullopt;
}

int LastFeatureNamed(std::span<const Feature> features, std::string_view name) {
    for (std::size_t i = features.size(); i-- > 0;)
        if (features[i].name == name)
            return static_cast<int>(i);
    return -1;
}

std::optional<std::string> FeatureDescriptionOf(const SetupTypeReader& read, std::string_view name) {
    const long total = ParseTableCount(read("TOTAL"), kMaxFeatures).rows;
    std::optional<std::string> description;
    // Every matching row sets the text, so the last one is what stays shown.
    for (long i = 0; i < total; ++i)
        if (read("FeatureName" + std::to_string(i)) == name)
            description = read("Description" + std::to_string(i));
    return description;
}

} // namespace cv
