#include "app/action_tables.h"

#include "app/action_rules.h"
#include "common/path_text.h"

#include <cstdlib>

namespace cv {

namespace {

/// The value buffers of the settings reader; counts and switches use the short one.
constexpr std::size_t kTextBuffer = 255;
constexpr std::size_t kShortBuffer = 100;

/// `folder` followed by exactly one backslash and `name` without its leading backslashes.
std::string JoinWithBackslash(std::string_view folder, std::string_view name) {
    while (!name.empty() && name.front() == '\\')
        name.remove_prefix(1);
    std::string path = WithoutTrailingBackslash(folder);
    path += '\\';
    path += name;
    return path;
}

} // namespace

TableCount ReadFileActionRows(const SectionLookup& lookup,
                              const std::function<std::string(const std::string&)>& resolve_file,
                              const std::function<std::string(const std::string&)>& expand,
                              FileActionTable& table, int& count) {
    TableCount read = ReadTableCount(lookup, table.size());
    if (read.rows == 0)
        return read;
    for (int i = 0; i < read.rows; ++i) {
        FileAction& a = table[static_cast<std::size_t>(i)];
        a.file = resolve_file(lookup(TableKey("B", i), kTextBuffer));
        a.argument = expand(lookup(TableKey("C", i), kTextBuffer));
        a.trigger = PageFileForTitle(lookup(TableKey("E", i), kTextBuffer));
        a.f = lookup(TableKey("F", i), kShortBuffer);
        a.g = lookup(TableKey("G", i), kShortBuffer);
        a.h = lookup(TableKey("H", i), kShortBuffer);
        a.systems = static_cast<int>(std::strtol(lookup(TableKey("L", i), kTextBuffer).c_str(), nullptr, 10));
        a.condition = lookup(TableKey("M", i), kTextBuffer);
        a.done = 0;
    }
    count = read.rows;
    return read;
}

std::string SupportFilePath(std::string_view file, bool in_work_folder, std::string_view temp_folder,
                            std::string_view work_folder_name, std::string_view setup_folder) {
    if (in_work_folder)
        return JoinWithBackslash(JoinWithBackslash(temp_folder, work_folder_name), file);
    return JoinWithBackslash(JoinWithBackslash(setup_folder, "DiskImage1"), file);
}

} // namespace cv
