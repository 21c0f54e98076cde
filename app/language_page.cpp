#include "app/language_page.h"

#include "app/language.h"
#include "framework/handle.h"
#include "pages/image_window_win.h"
#include "common/file_system.h"

#include <cstring>

namespace cv {

namespace {

HWND LanguageList(const CImageWindow& page) {
    CControlWnd* list = page.ControlOf(page.FindControlByName("IDC_LANGUAGE"));
    return list ? list->m_hWnd : nullptr;
}

bool EndsWithLan(const char* name) {
    std::size_t n = std::strlen(name);
    return n > 4 && ::lstrcmpiA(name + n - 4, ".lan") == 0;
}

} // namespace

std::vector<std::string> ListLanguageNames(const std::string& setup_folder) {
    std::string languages = setup_folder + "languages";
    bool in_folder = FolderExists(languages);
    std::string pattern = in_folder ? languages + "\\*.lan" : setup_folder + "*.lan";
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    UniqueFind find(::FindFirstFileA(pattern.c_str(), &found));
    if (!find)
        return names;
    do {
        // A pattern also matches longer extensions through short names; only ".lan" counts.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !EndsWithLan(found.cFileName))
            continue;
        std::string name = found.cFileName;
        names.push_back(name.substr(0, name.size() - 4));
    } while (::FindNextFileA(find.get(), &found));
    return names;
}

void FillLanguageList(CImageWindow& page, const std::string& setup_folder, const std::string& preselect) {
    HWND list = LanguageList(page);
    if (!list)
        return;
    ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& name : ListLanguageNames(setup_folder))
        ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    // CB_SELECTSTRING picks the first entry beginning with the text, ignoring case.
    ::SendMessageA(list, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(preselect.c_str()));
}

std::string ChosenLanguageFile(const CImageWindow& page, const std::string& setup_folder) {
    HWND list = LanguageList(page);
    if (!list)
        return {};
    char name[256] = "";
    ::GetWindowTextA(list, name, sizeof name);
    return LanguageFileFor(setup_folder, name);
}

} // namespace cv
