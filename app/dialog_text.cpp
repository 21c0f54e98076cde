#include "app/dialog_text.h"

#include "app/caption_map.h"
#include "app/main_frame.h"
#include "common/setup_state.h"
#include "common/profile_cache.h"
#include "framework/winapp.h"
#include "pages/page_text.h"

namespace cv {

CMainFrame* TheWizard() {
    CWinApp* app = AfxGetApp();
    return app ? dynamic_cast<CMainFrame*>(app->m_pMainWnd) : nullptr;
}

std::string DialogLanguageText(std::string_view section, std::string_view key, const CMainFrame* wizard) {
    std::string raw = GetProfileValue(setupState().languageFile, section, key, "", 255);
    return ExpandPageText(wizard, LanguageValueText(raw));
}

} // namespace cv
