#pragma once
/// The switches of setup.exe for deployment tools: "/S" silent, "/D=<folder>" the install
/// folder (last: the rest of the line is the folder, spaces included), "/LOG=<file>" a run
/// log, "/?" the usage text. Switch names are read without regard to case and in any order.
/// Without arguments the run is the interactive wizard it always was.

#include <optional>
#include <string>
#include <string_view>

namespace cv {

struct CommandLine {
    /// Any argument was given: the run ends with one of the documented exit codes.
    bool given = false;
    bool silent = false;
    bool usage = false;
    /// The install folder of "/D=", as written (no backslash added).
    std::optional<std::string> installFolder;
    /// The run log's path of "/LOG=", as written.
    std::string logFile;
    /// The first argument that is no switch of ours (or a switch without its value); empty
    /// when the line is valid.
    std::string unknown;

    bool Valid() const { return unknown.empty(); }
};

/// Reads the arguments after the program name (WinMain's command line). An argument may be
/// quoted as a whole ("/LOG=C:\my log.txt") or in its value (/LOG="C:\my log.txt"); "/D="
/// takes the rest of the line, a pair of quotation marks around it removed.
CommandLine ParseCommandLine(std::string_view line);

/// The arguments of a whole command line (GetCommandLine's): what follows the program's name
/// (which may be quoted) and the blanks after it.
std::string_view ArgumentsAfterProgram(std::string_view full);

/// The usage text shown for "/?" and for an unknown switch.
std::string_view UsageText();

} // namespace cv
