#include "ini_generator.h"

#include <cctype>

namespace cv::test {

namespace {

const std::vector<std::string> kSectionPool = {"APPINFO", "Setup", "files", "DialogList",
                                               "a b", "x", "Section.1", "\xc9t\xc9", ""};
const std::vector<std::string> kKeyPool = {"a1", "A2", "TOTAL", "A0", "b0", "Key Name", "k",
                                           "FeatureName0", "\xe9", "x.y", "", ";c", "#h"};
// Candidates for blanks, including bytes a reader might or might not treat as blanks.
const char kBlankPool[] = {' ', ' ', ' ', '\t', '\t', '\v', '\f', '\x1a', '\x1c', '\x1f',
                           '\xa0', '\x85'};

} // namespace

std::string IniGenerator::blanks() {
    std::string s;
    int n = chance(60) ? 0 : pick(3) + 1;
    for (int i = 0; i < n; ++i)
        s += kBlankPool[pick(sizeof kBlankPool)];
    return s;
}

std::string IniGenerator::vary_name(const std::string& name) {
    std::string s = name;
    if (chance(50)) {
        for (char& c : s) {
            if (chance(50))
                c = static_cast<char>(std::islower(static_cast<unsigned char>(c))
                                          ? std::toupper(static_cast<unsigned char>(c))
                                          : std::tolower(static_cast<unsigned char>(c)));
        }
    }
    if (chance(20))
        s = blanks() + s + blanks();
    return s;
}

std::string IniGenerator::name_from(const std::vector<std::string>& pool) {
    return vary_name(pool[pick(static_cast<int>(pool.size()))]);
}

std::string IniGenerator::value() {
    static const char* const kPieces[] = {"value", "C:\\Program Files\\App", "a=b", "; not",
                                          "[x]", "two words", "caf\xe9", "\"", "'", "<InstallDir>",
                                          "0", "255", " "};
    std::string v;
    switch (pick(10)) {
    case 0:
        break; // empty
    case 1:
        v.assign(250 + pick(200), static_cast<char>('a' + pick(26)));
        break;
    default: {
        int n = 1 + pick(3);
        for (int i = 0; i < n; ++i)
            v += kPieces[pick(sizeof kPieces / sizeof *kPieces)];
    }
    }
    switch (pick(6)) {
    case 0:
        v = "\"" + v + "\"";
        break;
    case 1:
        v = "'" + v + "'";
        break;
    case 2:
        v = "\"" + v + "'";
        break;
    default:
        break;
    }
    return blanks() + v + blanks();
}

GeneratedIni IniGenerator::next() {
    GeneratedIni ini;
    static const char* const kEnds[] = {"\n", "\r\n", "\r", "\n\n", "\r\n\r\n"};
    int end_style = pick(4); // 0 LF, 1 CRLF, 2 CR, 3 mixed
    auto eol = [&] {
        if (end_style == 3)
            return std::string(kEnds[pick(5)]);
        return std::string(kEnds[end_style == 2 ? 2 : end_style]);
    };

    int lines = 1 + pick(40);
    for (int i = 0; i < lines; ++i) {
        std::string line;
        int kind = pick(100);
        if (kind < 18) {
            std::string name = name_from(kSectionPool);
            if (chance(15))
                name = blanks() + name + blanks(); // blanks inside the brackets
            ini.sections.push_back(name);
            line = "[" + name + "]";
            if (chance(10))
                line += "junk]after";
            else if (chance(10))
                line = "[" + name; // no closing bracket
        } else if (kind < 80) {
            std::string key = name_from(kKeyPool);
            ini.keys.push_back(key);
            std::string v = value();
            ini.value_lengths.push_back(v.size());
            line = key + blanks() + "=" + v;
        } else if (kind < 86) {
            line = name_from(kKeyPool); // no "="
            ini.keys.push_back(line);
        } else if (kind < 92) {
            line = std::string(chance(50) ? ";" : "#") + " comment " + name_from(kKeyPool) +
                   (chance(50) ? "=x" : "");
        } else if (kind < 96) {
            line = ""; // empty line
        } else if (kind < 98) {
            line = blanks() + blanks(); // blank-only line
        } else {
            // A zero byte inside a line.
            std::string key = name_from(kKeyPool);
            ini.keys.push_back(key);
            line = key + "=ab" + std::string(1, '\0') + "cd";
        }
        ini.bytes += blanks() + line + blanks();
        if (i + 1 < lines || chance(80))
            ini.bytes += eol();
    }
    if (chance(40))
        ini.bytes.append(1 + pick(16), '\0'); // cipher padding
    return ini;
}

} // namespace cv::test
