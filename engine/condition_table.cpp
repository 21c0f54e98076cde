#include "engine/condition_table.h"

#include "engine/comparison.h"

namespace cv {

namespace {

/// The value buffer of the settings reader for the row texts.
constexpr std::size_t kTextBuffer = 255;

} // namespace

std::string ConditionActionKey(int condition, int action) {
    return std::to_string(condition) + std::to_string(action);
}

TableCount ReadConditionRows(const SectionLookup& lookup, ConditionTable& table, int& count) {
    TableCount read = ReadTableCount(lookup, table.size());
    if (read.rows == 0)
        return read;
    count = 0;
    for (int i = 0; i < read.rows; ++i) {
        Condition& c = table[static_cast<std::size_t>(i)];
        c.name = lookup(TableKey("A", i), kTextBuffer);
        c.left = lookup(TableKey("B", i), kTextBuffer);
        c.op = lookup(TableKey("C", i), kTextBuffer);
        c.right = lookup(TableKey("D", i), kTextBuffer);
        c.event = lookup(TableKey("E", i), kTextBuffer);
        int actions = ParseTableCount(lookup(TableKey("F", i), kTextBuffer), kMaxConditionActions).rows;
        c.actions.clear();
        for (int j = 0; j < actions; ++j)
            c.actions.push_back(lookup(ConditionActionKey(i, j), kTextBuffer));
        c.done = 0;
        ++count;
    }
    return read;
}

int FindLastCondition(const ConditionTable& table, int count, std::string_view name) {
    int last = -1;
    for (int i = 0; i < count && i < static_cast<int>(table.size()); ++i)
        if (table[static_cast<std::size_t>(i)].name == name)
            last = i;
    return last;
}

bool ConditionHolds(const Condition& condition, const OperandExpander& expand) {
    std::string left = expand(condition.left);
    std::string right = expand(condition.right);
    return ComparisonHolds(left, condition.op, right);
}

bool CheckConditionByName(const ConditionTable& table, int count, std::string_view name,
                          const OperandExpander& expand, const std::function<void(const Condition&)>& on_holds) {
    if (name == kNoCondition || name.empty() || count <= 0)
        return true;
    int index = FindLastCondition(table, count, name);
    if (index < 0)
        return true;
    const Condition condition = table[static_cast<std::size_t>(index)];
    if (!ConditionHolds(condition, expand))
        return false;
    if (on_holds)
        on_holds(condition);
    return true;
}

} // namespace cv
