#include "tools/cvexec/uninstall_texts.h"

namespace cv::uninstall {

namespace {

// Only "%s" and "%%" are directives the texts may hold.
bool OnlyNameDirectives(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        if (i + 1 >= text.size() || (text[i + 1] != 's' && text[i + 1] != '%'))
            return false;
        ++i;
    }
    return true;
}

void Take(const ProfileFile& file, const char* key, std::string& text) {
    const std::string value = file.get("Uninstall", key);
    if (!value.empty() && OnlyNameDirectives(value))
        text = value;
}

} // namespace

UninstallTexts LoadTexts(const ProfileFile* language) {
    UninstallTexts t;
    if (!language)
        return t;
    Take(*language, "Title", t.title);
    Take(*language, "Confirm", t.confirm);
    Take(*language, "Removing", t.removing);
    Take(*language, "Done", t.done);
    Take(*language, "Failed", t.failed);
    Take(*language, "RestartNote", t.restart_note);
    Take(*language, "NotInstalled", t.not_installed);
    Take(*language, "ModifyQuestion", t.modify_question);
    Take(*language, "Repair", t.repair);
    Take(*language, "Remove", t.remove);
    Take(*language, "Cancel", t.cancel);
    Take(*language, "NoSetup", t.no_setup);
    return t;
}

} // namespace cv::uninstall
