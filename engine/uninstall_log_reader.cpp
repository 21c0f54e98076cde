#include "engine/uninstall_log_reader.h"

#include <algorithm>
#include <charconv>

namespace cv {

namespace {

void AddOnce(std::vector<std::string>& list, std::string value) {
    for (const std::string& have : list)
        if (SameWindowsPath(have, value))
            return;
    list.push_back(std::move(value));
}

} // namespace

std::string WindowsPathKey(std::string_view path) {
    std::string key(path);
    while (!key.empty() && (key.back() == '\\' || key.back() == '/'))
        key.pop_back();
    for (char& c : key) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (c == '/')
            c = '\\';
    }
    return key;
}

bool SameWindowsPath(std::string_view a, std::string_view b) {
    return WindowsPathKey(a) == WindowsPathKey(b);
}

WholeLines SplitWholeLines(std::string_view text) {
    WholeLines whole;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) {
            whole.cut_short = true;
            break;
        }
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!line.empty())
            whole.lines.push_back(line);
    }
    return whole;
}

UninstallLogContent ReadUninstallLog(std::string_view text) {
    UninstallLogContent log;
    const WholeLines whole = SplitWholeLines(text);
    log.cut_short = whole.cut_short;
    for (const std::string_view line : whole.lines) {
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || line.find('\0') != std::string_view::npos) {
            ++log.skipped_lines;
            continue;
        }
        const std::string_view key = line.substr(0, eq);
        std::string value(line.substr(eq + 1));
        if (key == "TOTALFILE") {
            int n = -1;
            auto [p, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
            log.total_files = (ec == std::errc() && p == value.data() + value.size()) ? n : -1;
        } else if (key == "DIR") {
            AddOnce(log.folders, std::move(value));
        } else if (key == "FILE") {
            AddOnce(log.files, std::move(value));
        } else if (key == "SHORTCUT") {
            AddOnce(log.shortcuts, std::move(value));
        } else if (key == "REGKEY") {
            AddOnce(log.registry_keys, std::move(value));
        } else if (key == "REGVAL") {
            // A value name may differ from another only in trailing text; keep exact repeats once.
            if (std::find(log.registry_values.begin(), log.registry_values.end(), value) ==
                log.registry_values.end())
                log.registry_values.push_back(std::move(value));
        } else if (key == "REMKEY") {
            AddOnce(log.class_keys, std::move(value));
        } else if (key == "NTSERVICE") {
            AddOnce(log.services, std::move(value));
        } else if (key == "RUN3RD") {
            log.uninstall_program = std::move(value);
        } else if (key == "RUN3RDCMD") {
            log.uninstall_program_command = std::move(value);
        } else if (key == "REMOVEALL") {
            log.remove_all = value == "Yes";
        } else {
            ++log.skipped_lines;
        }
    }
    return log;
}

} // namespace cv
