#include "common/setup_state.h"

namespace cv {

SetupState& setupState() {
    static SetupState state;
    return state;
}

void SetupState::ResetForStart() {
    addOnPending = 0;
    installAborted = -1;
    featureCount = 0;
    previewMode = 0;
}

bool SetupState::AddFeature(const std::string& name) {
    int n = featureCount.load();
    if (n < 0 || static_cast<std::size_t>(n) >= kMaxFeatures)
        return false;
    features[static_cast<std::size_t>(n)] = Feature{name, 0};
    featureCount = n + 1;
    return true;
}

int SetupState::FindFeature(const std::string& name) const {
    int n = featureCount.load();
    for (int i = 0; i < n && static_cast<std::size_t>(i) < kMaxFeatures; ++i) {
        if (features[static_cast<std::size_t>(i)].name == name)
            return i;
    }
    return -1;
}

} // namespace cv
