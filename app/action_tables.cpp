#include "app/action_tables.h"

#include "app/action_rules.h"

#include <cerrno>
#include <cstdlib>

namespace cv {

namespace {

/// The value buffers of the settings reader; counts and switches use the short one.
constexpr std::size_t kTextBuffer = 255;
constexpr std::size_t kShortBuffer = 100;

std::string RowKey(char column, int row) { return column + std::to_string(row); }

/// `folder` followed by exactly one backslash and `name` without its leading backslashes.
std::string JoinWithBackslash(std::string_view folder, std::string_view name) {
    while (!folder.empty() && folder.back() == '\\')
        folder.remove_suffix(1);
    while (!name.empty() && name.front() == '\\')
        name.remove_prefix(1);
    std::string path(folder);
    path += '\\';
    path += name;
    return path;
}

} // namespace

int BoundedCount(std::string_view total_text, std::size_t limit, long* written) {
    std::string text(total_text.substr(0, 32));
    errno = 0;
    long total = std::strtol(text.c_str(), nullptr, 10);
    if (written)
        *written = total;
    if (total <= 0)
        return 0;
    if (errno == ERANGE || static_cast<unsigned long>(total) > limit)
        return static_cast<int>(limit);
    return static_cast<int>(total);
}

RowsRead ReadConditionRows(const SectionLookup& lookup, ConditionTable& table, int& count) {
    RowsRead read;
    read.rows = BoundedCount(lookup("TOTAL", kShortBuffer), table.size(), &read.total);
    if (read.rows == 0)
        return read;
    count = 0;
    for (int i = 0; i < read.rows; ++i) {
        Condition& c = table[static_cast<std::size_t>(i)];
        c.name = lookup(RowKey('A', i), kTextBuffer);
        c.left = lookup(RowKey('B', i), kTextBuffer);
        c.op = lookup(RowKey('C', i), kTextBuffer);
        c.right = lookup(RowKey('D', i), kTextBuffer);
        c.event = lookup(RowKey('E', i), kTextBuffer);
        int actions = BoundedCount(lookup(RowKey('F', i), kTextBuffer), kMaxConditionActions);
        c.actions.clear();
        for (int j = 0; j < actions; ++j)
            c.actions.push_back(lookup(ConditionActionKey(i, j), kTextBuffer));
        c.done = 0;
        ++count;
    }
    return read;
}

RowsRead ReadFileActionRows(const SectionLookup& lookup,
                            const std::function<std::string(const std::string&)>& resolve_file,
                            const std::function<std::string(const std::string&)>& expand,
                            FileActionTable& table, int& count) {
    RowsRead read;
    read.rows = BoundedCount(lookup("TOTAL", kShortBuffer), table.size(), &read.total);
    if (read.rows == 0)
        return read;
    for (int i = 0; i < read.rows; ++i) {
        FileAction& a = table[static_cast<std::size_t>(i)];
        a.file = resolve_file(lookup(RowKey('B', i), kTextBuffer));
        a.argument = expand(lookup(RowKey('C', i), kTextBuffer));
        a.trigger = PageFileForTitle(lookup(RowKey('E', i), kTextBuffer));
        a.f = lookup(RowKey('F', i), kShortBuffer);
        a.g = lookup(RowKey('G', i), kShortBuffer);
        a.h = lookup(RowKey('H', i), kShortBuffer);
        a.systems = static_cast<int>(std::strtol(lookup(RowKey('L', i), kTextBuffer).c_str(), nullptr, 10));
        a.condition = lookup(RowKey('M', i), kTextBuffer);
        a.done = 0;
    }
    count = read.rows;
    return read;
}

int FindLastCondition(const ConditionTable& table, int count, std::string_view name) {
    int last = -1;
    for (int i = 0; i < count && i < static_cast<int>(table.size()); ++i)
        if (table[static_cast<std::size_t>(i)].name == name)
            last = i;
    return last;
}

std::string SupportFilePath(std::string_view file, bool in_work_folder, std::string_view temp_folder,
                            std::string_view work_folder_name, std::string_view setup_folder) {
    if (in_work_folder)
        return JoinWithBackslash(JoinWithBackslash(temp_folder, work_folder_name), file);
    return JoinWithBackslash(JoinWithBackslash(setup_folder, "DiskImage1"), file);
}

} // namespace cv
