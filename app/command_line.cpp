#include "app/command_line.h"

#include <cctype>

namespace cv {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

/// `arg` begins with `prefix`, compared without regard to case.
bool StartsWithNoCase(std::string_view arg, std::string_view prefix) {
    if (arg.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(arg[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

bool EqualsNoCase(std::string_view arg, std::string_view word) {
    return arg.size() == word.size() && StartsWithNoCase(arg, word);
}

/// Removes blanks around `text` and one pair of quotation marks around what is left.
std::string Unquoted(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    return std::string(text);
}

/// The next argument from `pos`: blanks end it except inside quotation marks, which are
/// dropped. `pos` moves past it.
std::string NextArgument(std::string_view line, std::size_t& pos) {
    std::string arg;
    bool quoted = false;
    for (; pos < line.size(); ++pos) {
        const char c = line[pos];
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && IsBlank(c))
            break;
        arg.push_back(c);
    }
    return arg;
}

} // namespace

CommandLine ParseCommandLine(std::string_view line) {
    CommandLine result;
    std::size_t pos = 0;
    for (;;) {
        while (pos < line.size() && IsBlank(line[pos]))
            ++pos;
        if (pos >= line.size())
            break;
        result.given = true;
        // "/D=" is looked for before the argument is cut at a blank: the folder is the rest of
        // the line, spaces and all, as deployment scripts write it for other installers.
        const std::string_view rest = line.substr(pos);
        if (StartsWithNoCase(rest, "/D=") || StartsWithNoCase(rest, "\"/D=")) {
            std::string folder = Unquoted(rest.substr(rest.front() == '"' ? 4 : 3));
            if (rest.front() == '"' && !folder.empty() && folder.back() == '"')
                folder.pop_back(); // the closing mark of a quoted "/D=..." argument
            if (folder.empty() && result.unknown.empty())
                result.unknown = Unquoted(rest);
            else
                result.installFolder = folder;
            break;
        }
        const std::string arg = NextArgument(line, pos);
        if (EqualsNoCase(arg, "/S")) {
            result.silent = true;
        } else if (EqualsNoCase(arg, "/?")) {
            result.usage = true;
        } else if (StartsWithNoCase(arg, "/LOG=") && arg.size() > 5) {
            result.logFile = arg.substr(5);
        } else if (result.unknown.empty()) {
            result.unknown = arg.empty() ? std::string("\"\"") : arg;
        }
    }
    return result;
}

std::string_view ArgumentsAfterProgram(std::string_view full) {
    std::size_t pos = 0;
    while (pos < full.size() && IsBlank(full[pos]))
        ++pos;
    NextArgument(full, pos);
    while (pos < full.size() && IsBlank(full[pos]))
        ++pos;
    return full.substr(pos);
}

std::string_view UsageText() {
    return "Usage: setup.exe [/S] [/LOG=<file>] [/?] [/D=<folder>]\r\n"
           "\r\n"
           "/S\tinstall silently: no window, no question\r\n"
           "/LOG=<file>\twrite what the setup does to <file>\r\n"
           "/D=<folder>\tinstall into <folder>; it comes last and the rest of the line is the "
           "folder\r\n"
           "/?\tthis text\r\n"
           "\r\n"
           "Exit codes: 0 installed, 1602 cancelled, 1603 failed, 1618 another setup of this "
           "product is "
           "running, 1639 bad command line, 3010 installed, restart needed.";
}

} // namespace cv
