#pragma once
/// Reads the uninstall log back: one "key=value" line per thing an installation created, in
/// the order it was written. The reader is forgiving where a crash or another tool may have
/// left the file: a last line without its CR LF was cut short while being written and is
/// left out (a cut path could name something else); a line holding a NUL byte, or one
/// without "=", is skipped; a key it does not know is skipped. Values are taken as written.

#include <string>
#include <string_view>
#include <vector>

namespace cv {

struct UninstallLogContent {
    int total_files = -1;                 ///< "TOTALFILE"; -1 when missing or not a number
    std::vector<std::string> folders;     ///< "DIR", in log order, repeats kept once
    std::vector<std::string> files;       ///< "FILE"
    std::vector<std::string> shortcuts;   ///< "SHORTCUT"
    std::vector<std::string> registry_keys;   ///< "REGKEY": root name, "\", sub-key
    std::vector<std::string> registry_values; ///< "REGVAL": root name, "\", sub-key, "\", name
    std::vector<std::string> class_keys;  ///< "REMKEY": "HKEY_CLASSES_ROOT\" and a key
    std::vector<std::string> services;    ///< "NTSERVICE"
    std::string uninstall_program;        ///< "RUN3RD" (the last one): a file name or a URL
    std::string uninstall_program_command; ///< "RUN3RDCMD"
    bool remove_all = false;              ///< "REMOVEALL" is "Yes"

    int skipped_lines = 0;                ///< lines without "=", with a NUL or an unknown key
    bool cut_short = false;               ///< the last line had no CR LF and was left out
};

UninstallLogContent ReadUninstallLog(std::string_view text);

/// The lines of a file written one whole line at a time: each without its LF or CR LF, empty
/// lines left out. A text that ends inside a line was cut short (by a crash, while writing):
/// that last line is left out, since a cut path could name something else.
struct WholeLines {
    std::vector<std::string_view> lines; ///< views into the text
    bool cut_short = false;
};
WholeLines SplitWholeLines(std::string_view text);

/// True when `a` and `b` name the same path or key as Windows compares them: without regard
/// to ASCII case, and without trailing backslashes.
bool SameWindowsPath(std::string_view a, std::string_view b);
/// The comparison key of SameWindowsPath: upper case, trailing backslashes cut.
std::string WindowsPathKey(std::string_view path);

} // namespace cv
