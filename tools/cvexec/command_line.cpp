#include "tools/cvexec/command_line.h"

namespace cv::uninstall {

namespace {

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return s;
}

bool IsSwitch(const std::string& arg) { return arg.size() == 2 && (arg[0] == '/' || arg[0] == '-'); }

} // namespace

bool IsSafeProductCode(const std::string& code) {
    if (code.empty() || code.size() > 200 || code == "." || code.find("..") != std::string::npos)
        return false;
    for (char c : code) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 32 || c == '\\' || c == '/' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
            c == '>' || c == '|')
            return false;
    }
    return true;
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    bool remove = false, silent = false, modify = false;
    for (const std::string& arg : args) {
        if (IsSwitch(arg)) {
            const char s = Upper(arg)[1];
            if (s == 'R')
                remove = true;
            else if (s == 'S')
                silent = true;
            else if (s == 'M')
                modify = true;
            else {
                line.error = "unknown option " + arg;
                return line;
            }
        } else if (line.code.empty()) {
            line.code = arg;
        } else {
            line.error = "more than one product code";
            return line;
        }
    }
    if (modify && (remove || silent)) {
        line.error = "/M cannot be combined with /R or /S";
        return line;
    }
    if (!remove && !silent && !modify) {
        line.error = "no option: use /R, /S or /M with the product code";
        return line;
    }
    line.mode = modify ? Mode::Modify : silent ? Mode::Silent : Mode::Remove;
    if (line.code.empty())
        line.error = "no product code";
    else if (!IsSafeProductCode(line.code))
        line.error = "not a product code: " + line.code;
    return line;
}

std::vector<std::string> SplitCommandLine(const std::string& text) {
    std::vector<std::string> args;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        while (i < n && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        if (i >= n)
            break;
        std::string arg;
        bool quoted = false;
        while (i < n && (quoted || (text[i] != ' ' && text[i] != '\t'))) {
            if (text[i] == '\\') {
                std::size_t slashes = 0;
                while (i < n && text[i] == '\\') {
                    ++slashes;
                    ++i;
                }
                if (i < n && text[i] == '"') {
                    arg.append(slashes / 2, '\\');
                    if (slashes % 2) {
                        arg.push_back('"');
                        ++i;
                    }
                } else {
                    arg.append(slashes, '\\');
                }
            } else if (text[i] == '"') {
                quoted = !quoted;
                ++i;
            } else {
                arg.push_back(text[i++]);
            }
        }
        args.push_back(arg);
    }
    return args;
}

} // namespace cv::uninstall
