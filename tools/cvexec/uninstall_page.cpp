#include "tools/cvexec/uninstall_page.h"

#include "common/ascii_case.h"

#include <cctype>

namespace cv::uninstall {

namespace {

const std::string* ValueOf(std::string_view name, const TextValues& v) {
    static constexpr struct {
        std::string_view name;
        std::string TextValues::*value;
    } kVariables[] = {
        {"ProductName", &TextValues::display_name},  {"DisplayName", &TextValues::display_name},
        {"ProductCode", &TextValues::code},          {"ProductVersion", &TextValues::version},
        {"Publisher", &TextValues::publisher},       {"InstallDir", &TextValues::install_folder},
        {"Install Dir", &TextValues::install_folder}, {"WindowsFolder", &TextValues::windows_folder},
    };
    for (const auto& variable : kVariables)
        if (SameIgnoringAsciiCase(name, variable.name))
            return &(v.*variable.value);
    return nullptr;
}

} // namespace

Windows ChooseWindows(Mode mode, bool page_layout_exists) {
    if (mode == Mode::Silent)
        return Windows::None;
    return page_layout_exists ? Windows::Page : Windows::Plain;
}

std::string PageFolder(const std::string& log_folder) {
    std::string folder = log_folder;
    if (!folder.empty() && folder.back() != '\\')
        folder.push_back('\\');
    return folder + std::string(kThemeFolderName);
}

std::string ExpandText(std::string_view text, const TextValues& values, std::string_view second) {
    std::string out;
    bool name_used = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 1 < text.size() && (text[i + 1] == 's' || text[i + 1] == '%')) {
            if (text[i + 1] == '%')
                out.push_back('%');
            else
                out += name_used ? second : std::string_view(values.display_name);
            name_used = name_used || text[i + 1] == 's';
            ++i;
            continue;
        }
        if (c == '<' || c == '[') {
            const char close = c == '<' ? '>' : ']';
            const std::size_t end = text.find(close, i + 1);
            if (end != std::string_view::npos) {
                if (const std::string* value = ValueOf(text.substr(i + 1, end - i - 1), values)) {
                    out += *value;
                    i = end;
                    continue;
                }
            }
        }
        out.push_back(c);
    }
    return out;
}

PageState StateOf(PageStage stage, const UninstallTexts& texts, const TextValues& values,
                  const std::vector<std::string>& failures) {
    PageState s;
    switch (stage) {
    case PageStage::Question:
        s.text = ExpandText(texts.confirm, values);
        s.remove_shown = s.cancel_shown = s.cancel_enabled = true;
        break;
    case PageStage::Removing:
        s.text = ExpandText(texts.removing, values);
        s.bar_shown = s.cancel_shown = true;
        break;
    case PageStage::Done:
        s.text = ExpandText(texts.done, values);
        s.bar_shown = s.close_shown = true;
        break;
    case PageStage::Failed:
        s.text = ExpandText(texts.failed, values);
        for (std::size_t i = 0; i < failures.size() && i < kListedFailures; ++i)
            s.text += "\r\n" + failures[i];
        s.bar_shown = s.close_shown = true;
        break;
    }
    return s;
}

PageReaction React(PageStage stage, PageEvent event) {
    switch (stage) {
    case PageStage::Question:
        if (event == PageEvent::RemoveClicked)
            return PageReaction::StartRemoval;
        return event == PageEvent::CloseClicked ? PageReaction::Ignore : PageReaction::Decline;
    case PageStage::Removing:
        return PageReaction::Ignore;
    case PageStage::Done:
    case PageStage::Failed:
        return event == PageEvent::RemoveClicked ? PageReaction::Ignore : PageReaction::End;
    }
    return PageReaction::Ignore;
}

} // namespace cv::uninstall
