#include "pages/page_text.h"

#include "app/main_frame.h"
#include "common/setup_state.h"
#include "engine/variables.h"

namespace cv {

namespace {

PathValues PathValuesOf(const CMainFrame& wizard) {
    PathValues v = wizard.paths;
    v.install_dir = setupState().installFolder.empty() ? v.install_dir : setupState().installFolder;
    v.user_variables.clear();
    for (int i = 0; i < wizard.userVariableCount && i < static_cast<int>(kMaxUserVariables); ++i) {
        const WizardVariable& u = wizard.userVariables[static_cast<std::size_t>(i)];
        v.user_variables.push_back(UserVariable{u.name, u.value});
    }
    return v;
}

} // namespace

std::string ExpandPageText(const CMainFrame* wizard, std::string_view text) {
    if (!wizard)
        return std::string(text);
    return ExpandPageVariables(text, PathValuesOf(*wizard));
}

} // namespace cv
