#pragma once
/// The condition and file-action tables of the wizard and how their sections of setup.inf
/// are read. Reading goes through a lookup of one key of the section, so the readers need
/// neither the settings file nor Windows.

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace cv {

inline constexpr std::size_t kMaxFileActions = 13;
inline constexpr std::size_t kMaxConditions = 30;
/// The most actions one condition keeps; a larger "F" count is cut.
inline constexpr std::size_t kMaxConditionActions = 100;

/// One row of CONDITIONS.
struct Condition {
    std::string name;  ///< "A": how file actions refer to it
    std::string left;  ///< "B": variables expanded when evaluated
    std::string op;    ///< "C": "==", "!=", ">", "<", ">=" or "=<"
    std::string right; ///< "D": variables expanded when evaluated
    std::string event; ///< "E": the page file at whose entry it runs, or the finish trigger
    std::vector<std::string> actions; ///< keys "%i%i", at most kMaxConditionActions
    int done = 0;      ///< 255 keeps the page entry from evaluating it
};

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

using ConditionTable = std::array<Condition, kMaxConditions>;
using FileActionTable = std::array<FileAction, kMaxFileActions>;

/// The value of one key of the section being read (empty when missing). The second
/// argument is the buffer size the key is read with.
using SectionLookup = std::function<std::string(const std::string& key, std::size_t buffer)>;

/// What a reader did with the TOTAL of its section.
struct RowsRead {
    long total = 0; ///< TOTAL as written
    int rows = 0;   ///< rows taken into the table (TOTAL cut to the table's size)
};

/// A table count from a TOTAL text: the decimal at its start, negative values as 0, larger
/// values than `limit` as `limit`.
int BoundedCount(std::string_view total_text, std::size_t limit, long* written = nullptr);

/// Reads CONDITIONS into `table`: for each row "A" to "F", then "F" many actions under the
/// keys "%i%i". A TOTAL of 0 leaves the table and `count` as they are; otherwise `count` is
/// the number of rows read.
RowsRead ReadConditionRows(const SectionLookup& lookup, ConditionTable& table, int& count);

/// Reads FILEACTION into `table`. `resolve_file` turns the "B" text into the file to run
/// (variables, support-file form) and `expand` expands the "C" text. A TOTAL of 0 leaves the
/// table and `count` as they are.
RowsRead ReadFileActionRows(const SectionLookup& lookup,
                            const std::function<std::string(const std::string&)>& resolve_file,
                            const std::function<std::string(const std::string&)>& expand,
                            FileActionTable& table, int& count);

/// The index of the last of the first `count` conditions called `name`, or -1.
int FindLastCondition(const ConditionTable& table, int count, std::string_view name);

/// Where a support file of a file action lies. `file` is the action's file with the
/// "<ResourceDir>" marker removed. With `in_work_folder` it is in the work folder
/// (`temp_folder` + `work_folder_name`), otherwise in the first disk image of `setup_folder`.
/// Exactly one backslash separates the parts.
std::string SupportFilePath(std::string_view file, bool in_work_folder, std::string_view temp_folder,
                            std::string_view work_folder_name, std::string_view setup_folder);

/// The marker of a support file in a file action's file.
inline constexpr std::string_view kResourceDirMarker = "<ResourceDir>";

} // namespace cv
