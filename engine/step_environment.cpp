#include "engine/step_environment.h"

#include "engine/engine.h"
#include "engine/registry_changes.h"
#include "engine/step_table.h"

#include <cctype>

namespace cv {

namespace {

constexpr const char* kUserKey = "Environment";
constexpr const char* kSystemKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

std::string Normalised(std::string entry) {
    while (!entry.empty() && (entry.back() == '\\' || entry.back() == ' '))
        entry.pop_back();
    for (char& c : entry)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return entry;
}

// The text of a string value: its bytes up to the first zero.
std::string TextOf(const RegistryData& value) {
    return value.bytes.substr(0, value.bytes.find('\0'));
}

// Sets or appends one variable. A value that cannot be read whole is never written: writing
// then would cut or replace what the user had.
bool SetVariable(CCVEngine& engine, RegistryChanges& changes, RegRoot root, const char* key,
                 const std::string& name, const std::string& value, bool append) {
    IInstallTarget& target = engine.target();
    const std::string where = std::string(RegRootName(root)) + "\\" + key + "\\" + name;
    // Room for the longest value twice over: the narrow reading may announce the size of the
    // value as stored (two bytes a character) before it converts it. A longer text is then
    // refused below, when the appended value would pass the limit.
    const RegistryRead present = target.ReadRegistryValue(root, key, name, 2 * (kMaxEnvironmentValue + 1));
    const bool found = present.status == RegistryRead::Status::Found;
    if (present.status == RegistryRead::Status::Failed ||
        (found && present.value.type != kRegSz && present.value.type != kRegExpandSz)) {
        engine.Trace("environment variable not changed, its value cannot be read as text: " + where);
        return false;
    }
    // An expandable value (a PATH with %SystemRoot%) stays expandable.
    const std::uint32_t type = found ? present.value.type : kRegSz;
    std::string next = value;
    if (append) {
        std::optional<std::string> appended = AppendedPathValue(found ? TextOf(present.value) : "", value);
        if (!appended) {
            engine.Trace("environment variable already holds " + value + ": " + where);
            return false;
        }
        if (appended->size() > kMaxEnvironmentValue) {
            engine.Trace("environment variable not changed, it would pass " +
                         std::to_string(kMaxEnvironmentValue) + " characters: " + where);
            return false;
        }
        next = *appended;
    }
    if (!target.RegistryKeyExists(root, key)) {
        engine.Trace("environment variable not written, its key is missing: " + where);
        return false;
    }
    if (found && append)
        engine.prior().EnvironmentAppended(root, key, name, value);
    else if (found)
        engine.prior().RegistryValueReplaced(root, key, name, present.value.type, present.value.bytes);
    changes.NoteExistingKey(root, key);
    if (!target.SetRegistryValue(root, key, name, StringData(next, type))) {
        engine.Trace("environment variable not written: " + where);
        return false;
    }
    return true;
}

} // namespace

std::optional<std::string> AppendedPathValue(const std::string& present, const std::string& entry) {
    const std::string wanted = Normalised(entry);
    std::size_t start = 0;
    while (start <= present.size()) {
        std::size_t end = present.find(';', start);
        if (end == std::string::npos)
            end = present.size();
        if (end > start && Normalised(present.substr(start, end - start)) == wanted)
            return std::nullopt;
        start = end + 1;
    }
    if (!present.empty() && present.back() == ';')
        return present + entry;
    return present + ";" + entry;
}

void SetEnvironmentVariables(CCVEngine& engine) {
    RegistryChanges changes(engine);
    bool changed = false;
    const int rows = StepTableRows(engine, "ENVIRCV");
    for (int i = 0; i < rows; ++i) {
        const std::string name = StepTableCell(engine, "ENVIRCV", "A", i);
        const std::string value = engine.Expand(StepTableCell(engine, "ENVIRCV", "C", i));
        if (!engine.FeatureLetsThrough(StepTableCell(engine, "ENVIRCV", "B", i)))
            continue;
        const std::string action = StepTableCell(engine, "ENVIRCV", "D", i);
        const bool append = StepTableCell(engine, "ENVIRCV", "E", i) == "Append";
        const bool log_removal = StepTableCell(engine, "ENVIRCV", "F", i) == "Remove";
        const std::string scope = StepTableCell(engine, "ENVIRCV", "G", i);
        RegRoot root;
        const char* key;
        if (scope == "User") {
            root = RegRoot::CurrentUser;
            key = kUserKey;
        } else if (scope == "System") {
            root = RegRoot::LocalMachine;
            key = kSystemKey;
        } else {
            engine.Trace("ENVIRCV row " + std::to_string(i) + " skipped: scope \"" + scope + "\"");
            continue;
        }
        if (name.empty() || RefusedAsTooLong(engine, "ENVIRCV name", name, kMaxEnvironmentText) ||
            RefusedAsTooLong(engine, "ENVIRCV value", value, kMaxEnvironmentText))
            continue;
        if (action == "Remove")
            changed = changes.DeleteValue(root, key, name) || changed;
        else
            changed = SetVariable(engine, changes, root, key, name, value, append) || changed;
        if (log_removal)
            engine.WriteLogEntry("REGVAL", std::string(RegRootName(root)) + "\\" + key + "\\" + name);
    }
    if (changed)
        engine.target().BroadcastEnvironmentChange();
}

} // namespace cv
