#pragma once
/// The condition table: the rows of CONDITIONS, how they are read, and the check by name
/// that file actions (and the installation engine) make before they run. Evaluation goes
/// through an expand callback, so the table needs neither the wizard nor Windows.

#include "common/table_section.h"

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace cv {

inline constexpr std::size_t kMaxConditions = 30;
/// The most actions one condition keeps; a larger "F" count is cut.
inline constexpr std::size_t kMaxConditionActions = 100;

/// The condition name of an action that runs without a condition.
inline constexpr std::string_view kNoCondition = "No Condition";

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

using ConditionTable = std::array<Condition, kMaxConditions>;

/// Expands the variables of an operand.
using OperandExpander = std::function<std::string(const std::string&)>;

/// The settings key of action `action` of condition `condition`: both decimals written one
/// after the other (condition 1, action 2 gives "12").
std::string ConditionActionKey(int condition, int action);

/// Reads CONDITIONS into `table`: for each row "A" to "F", then "F" many actions under the
/// keys "%i%i". A TOTAL of 0 leaves the table and `count` as they are; otherwise `count` is
/// the number of rows read. Gives the TOTAL as written and the rows taken.
TableCount ReadConditionRows(const SectionLookup& lookup, ConditionTable& table, int& count);

/// The index of the last of the first `count` conditions called `name`, or -1.
int FindLastCondition(const ConditionTable& table, int count, std::string_view name);

/// Whether `condition` holds with both operands expanded by `expand`.
bool ConditionHolds(const Condition& condition, const OperandExpander& expand);

/// The check by name of an action bound to a condition: "No Condition", an empty name and a
/// name no row carries always pass; otherwise the last of the first `count` rows of that name
/// is evaluated. When it holds, `on_holds` (if given) receives a copy of the row, so that
/// actions that change the table cannot disturb it.
bool CheckConditionByName(const ConditionTable& table, int count, std::string_view name,
                          const OperandExpander& expand,
                          const std::function<void(const Condition&)>& on_holds = {});

} // namespace cv
