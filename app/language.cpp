#include "app/language.h"

#include "app/caption_map.h"
#include "app/language_page.h"
#include "app/main_frame.h"
#include "app/unattended.h"
#include "common/setup_state.h"
#include "common/profile_cache.h"
#include "pages/image_window_win.h"
#include "pages/layout.h"
#include "common/file_system.h"
#include "common/table_section.h"

#include <cstdlib>
#include <vector>

namespace cv {

namespace {

} // namespace

int DetectUiLanguage() {
    using Function = LANGID(WINAPI*)();
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    auto function = kernel ? reinterpret_cast<Function>(
                                 reinterpret_cast<void*>(::GetProcAddress(kernel, "GetUserDefaultUILanguage")))
                           : nullptr;
    return function ? static_cast<int>(function()) : 0;
}

std::string LanguageFileFor(const std::string& setup_folder, const std::string& name) {
    return LanguageFilePath(setup_folder, name, FolderExists(setup_folder + "languages"));
}

std::string CaptionLookup(const std::string& page_file, const std::string& control,
                          const std::string& language_file) {
    std::optional<CaptionKey> key = FindCaptionKey(page_file, control);
    if (!key)
        return {};
    return CaptionProperty(LanguageValueText(GetProfileValue(language_file, key->section, key->key, "", 255)));
}

int RewritePageCaptions(const std::string& folder, const std::string& page_file,
                        const std::string& language_file) {
    const std::string path = folder + page_file;
    const int total = ParseTableCount(GetProfileValue(path, "INFO", "TOTAL"), kMaxPageElements).rows;
    if (total == 0)
        return 0;
    // Every name is read before the first write, so the writes cannot disturb the reads.
    std::vector<std::string> captions;
    for (int i = 0; i < total; ++i) {
        std::string name = PropertyName(GetProfileValue(path, "DADOS", ControlPropertyKey(i, 0)));
        captions.push_back(CaptionLookup(page_file, name, language_file));
    }
    int written = 0;
    for (int i = 0; i < total; ++i) {
        const std::string& caption = captions[static_cast<std::size_t>(i)];
        if (caption.empty())
            continue;
        const std::string key = ControlPropertyKey(i, 1);
        // Every start of a setup rewrites its pages in the same language: a caption that is
        // already there is not written again, as each write costs a rewrite of the whole file.
        // The read's buffer has room for one character more, so a longer value never equals.
        if (GetProfileValue(path, "DADOS", key, "", caption.size() + 2) == caption ||
            ::WritePrivateProfileStringA("DADOS", key.c_str(), caption.c_str(), path.c_str()))
            ++written;
    }
    return written;
}

void RewriteAllPageCaptions(const std::string& theme_folder, const std::string& language_file) {
    for (std::string_view page : kTranslatedPageFiles)
        RewritePageCaptions(theme_folder, std::string(page), language_file);
    // The profile writer may keep what it wrote in memory for a moment; the page window
    // reads the files from disk.
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, nullptr);
}

bool CMainFrame::DecideLanguage() {
    SetupState& state = setupState();
    const std::string& method = strings.languageMethod;
    if (method == "Ask User") {
        // Nobody answers in a silent run: the default language stays.
        if (unattendedRun().Silent())
            return false;
        return ShowLanguagePage();
    }
    if (method != "Auto-Detect")
        return false;
    int id = DetectUiLanguage();
    if (id == 0)
        return false;
    std::string file = LanguageFileFor(state.setupFolder, std::string(LanguageNameOf(id)));
    ApplyLanguage(file);
    return true;
}

bool CMainFrame::ShowLanguagePage() {
    auto* page = new CImageWindow(*this);
    if (!page->Create()) {
        // Without the page nobody could choose: the run goes on with the default language.
        delete page;
        return false;
    }
    page->LoadPage(strings.themeFolder, "askuser.lcd", -1, 50);
    FillLanguageList(*page, setupState().setupFolder, strings.languageSetting);
    page->ShowWindow(SW_SHOW);
    currentPage = page;
    return true;
}

void CMainFrame::ApplyLanguage(const std::string& language_file) {
    setupState().languageFile = language_file;
    RewriteAllPageCaptions(strings.themeFolder, language_file);
    RunStartSequence();
}

} // namespace cv
