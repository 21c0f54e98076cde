#pragma once
/// The VARIABLES section: one row's keys, and how the source named in the row gives the
/// variable its value. The machine is reached through VariableSources, so the rules of the
/// six sources need no Windows.

#include <cstddef>
#include <functional>
#include <string>

namespace cv {

inline constexpr std::size_t kMaxUserVariables = 50;

/// The keys of one row ("A" to "J" and "L" to "Q"; there is no "K").
struct VariableRow {
    std::string name;          ///< "A"
    std::string fallback;      ///< "B": the value of "Nowhere" and the default of the slow sources
    std::string text;          ///< "C": kept with the variable
    std::string source;        ///< "D": which of the six sources
    std::string hive;          ///< "E": registry root name
    std::string key;           ///< "F": registry key path
    std::string valueName;     ///< "G": registry value name
    std::string iniFile;       ///< "H"
    std::string iniSection;    ///< "I"
    std::string iniEntry;      ///< "J"
    std::string path;          ///< "L": file or folder that must exist
    std::string m, n;          ///< "M", "N": read, not used
    std::string url;           ///< "O": web page
    std::string windowClass;   ///< "P"
    std::string windowTitle;   ///< "Q"
};

/// Reads row `row` through `lookup` (key to value, empty when missing).
VariableRow ReadVariableRow(const std::function<std::string(const std::string&)>& lookup, int row);

/// What the variable sources ask of the machine.
class VariableSources {
  public:
    virtual ~VariableSources() = default;
    /// The page-side variable expansion (user variables read so far included).
    virtual std::string Expand(const std::string& text) = 0;
    /// The string value `name` of `key` under the root named `hive`; empty when unreadable.
    virtual std::string RegistryValue(const std::string& hive, const std::string& key,
                                      const std::string& name) = 0;
    /// Whether a file or folder exists at `path`.
    virtual bool PathExists(const std::string& path) = 0;
    /// Entry `entry` of `section` in the INI file `file`; empty when missing.
    virtual std::string IniValue(const std::string& file, const std::string& section,
                                 const std::string& entry) = 0;
    /// The body of the web page at `url`; empty when it cannot be fetched.
    virtual std::string WebPage(const std::string& url) = 0;
    /// Whether a top-level window with this class and title exists; an empty text stands for
    /// any class or any title.
    virtual bool WindowExists(const std::string& window_class, const std::string& title) = 0;
    /// A slow source ("Find File/Folder", "Retrive from Web") is about to be resolved.
    virtual void SlowSourceStarting() {}
};

/// The value of the variable of `row`: "Nowhere" gives "B"; "Registry", "INI Files" and
/// "Retrive from Web" give what they read, or "B" when that is empty; "Find File/Folder" and
/// "Find Window" give "TRUE" or "FALSE". Any other source gives an empty value.
std::string ResolveVariableValue(const VariableRow& row, VariableSources& sources);

} // namespace cv
