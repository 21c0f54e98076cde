#include "app/dialog_text.h"

#include "app/caption_map.h"
#include "app/main_frame.h"
#include "common/setup_state.h"
#include "common/profile_cache.h"
#include "framework/winapp.h"

namespace cv {

IWizardHost* TheWizard() {
    CWinApp* app = AfxGetApp();
    return app ? dynamic_cast<CMainFrame*>(app->m_pMainWnd) : nullptr;
}

std::string DialogLanguageText(std::string_view section, std::string_view key, const IWizardHost* wizard) {
    std::string raw = GetProfileValue(setupState().languageFile, section, key, "", 255);
    std::string text = LanguageValueText(raw);
    return wizard ? wizard->ExpandText(text) : text;
}

} // namespace cv
