#include "engine/step_ini.h"

#include "common/ascii_case.h"
#include "common/text_replace.h"
#include "engine/engine.h"
#include "engine/file_list.h"
#include "engine/step_files.h"
#include "engine/step_table.h"

#include <array>
#include <cctype>

namespace cv {

namespace {

struct IniFile {
    std::string key;
    std::string path;
    bool existed = false;  ///< on the machine before the run
    bool reported = false; ///< IniFileExisted already said
};

// An INI file copied by this run's file step is the product's, not one that was there.
bool InstalledByThisRun(CCVEngine& engine, const std::string& path) {
    for (const FileRecord& record : engine.files())
        if (SameIgnoringAsciiCase(engine.Expand(DestinationPathOf(record)), path))
            return true;
    return false;
}

} // namespace

std::string IniFileKey(const std::string& name) {
    std::string key = name;
    if (!key.empty() && key.back() == '\\')
        key.pop_back();
    ReplaceAll(key, "INI Files\\", "");
    return key;
}

IniItem SplitIniItemPath(const std::string& path) {
    IniItem item;
    std::size_t first = path.find('\\');
    if (first == std::string::npos)
        return item;
    std::size_t second = path.find('\\', first + 1);
    if (second == std::string::npos)
        return item;
    const std::string rest = path.substr(second + 1);
    const std::size_t third = rest.find('\\');
    item.section = rest.substr(0, third);
    if (third != std::string::npos) {
        item.key = rest.substr(third + 1);
        if (!item.key.empty() && item.key.back() == '\\')
            item.key.pop_back();
    }
    return item;
}

void WriteIniEntries(CCVEngine& engine) {
    IInstallTarget& target = engine.target();
    std::array<IniFile, kMaxIniFiles> files;
    std::size_t count = 0;

    const int info_rows = StepTableRows(engine, "INIINFO");
    for (int i = 0; i < info_rows; ++i) {
        const std::string key = IniFileKey(StepTableCell(engine, "INIINFO", "A", i));
        const std::string path = engine.Expand(StepTableCell(engine, "INIINFO", "C", i) + "\\" + key);
        bool known = false;
        for (std::size_t f = 0; f < count; ++f)
            known = known || files[f].key == key;
        if (known)
            continue; // the same file named twice is registered and logged once
        if (count == files.size()) {
            engine.Trace("INIINFO row " + std::to_string(i) + " refused: more than " +
                         std::to_string(kMaxIniFiles) + " INI files: " + path);
            continue;
        }
        IniFile& file = files[count++];
        file.key = key;
        file.path = path;
        file.existed = target.FileExists(path) && !InstalledByThisRun(engine, path);
        engine.WriteLogEntry("FILE", path);
    }

    const int data_rows = StepTableRows(engine, "INIDATA");
    for (int i = 0; i < data_rows; ++i) {
        const std::string item_path = StepTableCell(engine, "INIDATA", "A", i);
        // The file whose name is the path's second part; failing that, the last file whose
        // name occurs anywhere in the path. Taking the last substring match alone would send
        // the entries of "myapp.ini" to "app.ini" when that was registered after it.
        const std::size_t first = item_path.find('\\');
        const std::string named = first == std::string::npos
                                      ? std::string()
                                      : item_path.substr(first + 1, item_path.find('\\', first + 1) - first - 1);
        IniFile* file = nullptr;
        for (std::size_t f = 0; f < count && !file; ++f)
            if (SameIgnoringAsciiCase(files[f].key, named))
                file = &files[f];
        const bool exact = file != nullptr;
        for (std::size_t f = 0; f < count && !exact; ++f)
            if (!files[f].key.empty() && item_path.find(files[f].key) != std::string::npos)
                file = &files[f];
        if (!file)
            continue;
        const IniItem item = SplitIniItemPath(item_path);
        if (item.section.empty() || item.key.empty()) {
            // An empty key would write "=value"; the system reads a missing one as "delete".
            engine.Trace("INIDATA row " + std::to_string(i) + " has no section or key: " + item_path);
            continue;
        }
        const std::string value = engine.Expand(StepTableCell(engine, "INIDATA", "C", i));
        if (file->existed) {
            if (!file->reported)
                engine.prior().IniFileExisted(file->path);
            file->reported = true;
            if (std::optional<std::string> before = target.ReadIniEntry(file->path, item.section, item.key))
                engine.prior().IniEntryReplaced(file->path, item.section, item.key, *before);
            else // the log names only the file: removal learns the new entry from here
                engine.prior().IniEntryAdded(file->path, item.section, item.key);
        }
        if (!target.WriteIniEntry(file->path, item.section, item.key, value))
            engine.Trace("INI entry not written: " + file->path + " [" + item.section + "] " + item.key);
    }
}

} // namespace cv
