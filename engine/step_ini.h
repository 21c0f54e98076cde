#pragma once
/// The step that creates the INI files and entries of the INIINFO and INIDATA tables.

#include <cstddef>
#include <string>

namespace cv {

class CCVEngine;

/// INI files one installation registers; further INIINFO rows are refused with a trace.
inline constexpr std::size_t kMaxIniFiles = 50;

/// Section and key of an INIDATA item path ("INI Files\\app.ini\\Section\\Key"): the text
/// after the second backslash up to the third is the section, the rest (without a trailing
/// backslash) the key. Empty parts where the path has too few backslashes.
struct IniItem {
    std::string section;
    std::string key;
};
IniItem SplitIniItemPath(const std::string& path);

/// The INI file list's key of an INIINFO file name: without a trailing backslash and with
/// every "INI Files\\" removed.
std::string IniFileKey(const std::string& name);

/// Runs the step; its failures affect only their own item.
void WriteIniEntries(CCVEngine& engine);

} // namespace cv
