#pragma once
/// The file-action table of the wizard and how its section of setup.inf is read. Reading goes
/// through a lookup of one key of the section, so the reader needs neither the settings file
/// nor Windows. The condition table is engine/condition_table.h.

#include "common/table_section.h"

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace cv {

inline constexpr std::size_t kMaxFileActions = 13;

/// One row of FILEACTION.
struct FileAction {
    std::string file;      ///< "B": program, library or web address, ready to use
    std::string argument;  ///< "C": command line of a program, function name in a library
    std::string trigger;   ///< "E": page file (from the page title) or the finish trigger
    std::string f, g, h;   ///< G "Yes": run once; H "Yes": wait for the program; F unused
    int systems = 0;       ///< "L": operating-system mask
    std::string condition; ///< "M": condition that must hold, or "No Condition"
    int done = 0;          ///< 255 once a run-once action has run
};

using FileActionTable = std::array<FileAction, kMaxFileActions>;

/// Reads FILEACTION into `table`. `resolve_file` turns the "B" text into the file to run
/// (variables, support-file form) and `expand` expands the "C" text. A TOTAL of 0 leaves the
/// table and `count` as they are. Gives the TOTAL as written and the rows taken.
TableCount ReadFileActionRows(const SectionLookup& lookup,
                            const std::function<std::string(const std::string&)>& resolve_file,
                            const std::function<std::string(const std::string&)>& expand,
                            FileActionTable& table, int& count);

/// Where a support file of a file action lies. `file` is the action's file with the
/// "<ResourceDir>" marker removed. With `in_work_folder` it is in the work folder
/// (`temp_folder` + `work_folder_name`), otherwise in the first disk image of `setup_folder`.
/// Exactly one backslash separates the parts.
std::string SupportFilePath(std::string_view file, bool in_work_folder, std::string_view temp_folder,
                            std::string_view work_folder_name, std::string_view setup_folder);

/// The marker of a support file in a file action's file.
inline constexpr std::string_view kResourceDirMarker = "<ResourceDir>";

} // namespace cv
