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

std::string FormatText(const std::string& text, const std::string& name, const std::string& second) {
    std::string out;
    int used = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's') {
            out += used++ == 0 ? name : second;
            ++i;
        } else if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%') {
            out.push_back('%');
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

} // namespace cv::uninstall
