#include "engine/step_table.h"

#include "common/table_section.h"
#include "engine/engine.h"

namespace cv {

int StepTableRows(CCVEngine& engine, const std::string& section, std::size_t bound) {
    const TableCount count = ParseTableCount(engine.Setting(section, std::string(kTotalKey)), bound);
    if (count.Cut())
        engine.Trace(section + " TOTAL " + std::to_string(count.total) + " cut to " + std::to_string(count.rows));
    return count.rows;
}

std::string StepTableCell(CCVEngine& engine, const std::string& section, const char* column, int row) {
    return engine.Setting(section, TableKey(column, row));
}

bool RefusedAsTooLong(CCVEngine& engine, const std::string& what, const std::string& text, std::size_t limit) {
    if (text.size() <= limit)
        return false;
    engine.Trace(what + " refused: " + std::to_string(text.size()) + " characters, at most " +
                 std::to_string(limit) + ": " + text.substr(0, 60) + "...");
    return true;
}

} // namespace cv
