#include "app/add_on_rules.h"

#include "common/profile_table.h"

namespace cv {

namespace {

constexpr std::size_t kValueBuffer = 255;
constexpr std::string_view kResourceDir = "<ResourceDir>";

} // namespace

AddOnEntry ReadAddOnEntry(const SectionLookup& lookup, int row) {
    AddOnEntry entry;
    entry.systems = ParseLeadingInt(lookup(TableKey("E", row), kValueBuffer));
    entry.feature = lookup(TableKey("F", row), kValueBuffer);
    entry.condition = lookup(TableKey("G", row), kValueBuffer);
    entry.program = lookup(TableKey("C", row), kValueBuffer);
    entry.arguments = lookup(TableKey("D", row), kValueBuffer);
    return entry;
}

bool AddOnFeaturePasses(std::string_view feature, IAddOnMachine& machine) {
    std::string name;
    for (char c : feature)
        if (c != '|')
            name += c;
    if (name.empty())
        return true;
    const int state = machine.FeatureState(name);
    return state == -1 || state == 0;
}

std::string AddOnProgramPath(std::string_view program, std::string_view setup_folder) {
    if (program.find(".exe") == std::string_view::npos)
        return {};
    const std::string support = std::string(setup_folder) + "SupportFiles";
    std::string path(program);
    for (std::size_t at = path.find(kResourceDir); at != std::string::npos;
         at = path.find(kResourceDir, at + support.size()))
        path.replace(at, kResourceDir.size(), support);
    return path;
}

std::string FindMergeModulePackage(std::string_view setup_folder, IAddOnMachine& machine) {
    const std::string folder(setup_folder);
    std::string found;
    if (const std::string support = folder + "SupportFiles\\mergemod.msi"; machine.FileExists(support))
        found = support;
    if (const std::string beside = folder + "mergemod.msi"; machine.FileExists(beside))
        found = beside;
    return found;
}

std::string MergeModuleCommand(std::string_view package) {
    return "<SystemFolder>\\msiexec.exe /i \"" + std::string(package) + "\" /q";
}

void RunAddOnEntry(const AddOnEntry& entry, std::string_view setup_folder, IAddOnMachine& machine) {
    // The checks run in this order, each only when the ones before it passed: a condition's
    // actions run only when its entry is otherwise due.
    if (machine.SystemAdmitted(entry.systems) && AddOnFeaturePasses(entry.feature, machine) &&
        machine.ConditionHolds(entry.condition)) {
        const std::string program = AddOnProgramPath(entry.program, setup_folder);
        if (!program.empty())
            machine.RunProgram(program, entry.arguments);
    }
    if (!machine.ConditionHolds(entry.condition))
        return;
    const std::string package = FindMergeModulePackage(setup_folder, machine);
    if (package.empty())
        return;
    const std::string command = machine.Expand(MergeModuleCommand(package));
    if (machine.SystemAdmitted(entry.systems) && AddOnFeaturePasses(entry.feature, machine))
        machine.RunCommand(command);
}

TableCount RunAddOnEntries(const SectionLookup& lookup, std::string_view setup_folder, IAddOnMachine& machine) {
    const TableCount count = ReadTableCount(lookup, kMaxAddOnEntries);
    for (int i = 0; i < count.rows; ++i)
        RunAddOnEntry(ReadAddOnEntry(lookup, i), setup_folder, machine);
    return count;
}

} // namespace cv
