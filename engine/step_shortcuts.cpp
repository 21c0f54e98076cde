#include "engine/step_shortcuts.h"

#include "engine/engine.h"
#include "engine/file_backup.h"
#include "engine/file_list.h"
#include "engine/folder_path.h"
#include "engine/step_table.h"
#include "engine/uninstall_log_reader.h"
#include "engine/variables.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace cv {

namespace {

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// The icon travels from the work folder to the install folder, where it stays for the link.
std::string InstallIcon(CCVEngine& engine, const std::string& icon) {
    const std::string name(FileNamePart(icon));
    const std::string copy = engine.Expand("<InstallDir>") + name;
    engine.target().CopyFileReplacing(engine.source_folder() + name, copy);
    engine.WriteLogEntry("FILE", copy);
    return copy;
}

// A shortcut that is already there (the user's own, or another program's) is copied before it
// is replaced, so that removal and a rollback put it back instead of deleting it. One that
// this step made moments ago (two rows of the same name) is the product's and is not copied.
void BackUpShortcut(CCVEngine& engine, std::vector<std::string>& made, const std::string& path,
                    const std::string& label) {
    if (std::none_of(made.begin(), made.end(), [&](const std::string& m) { return SameWindowsPath(m, path); }))
        BackUpBeforeReplacing(engine, path, label);
    made.push_back(path);
}

void CreateOneShortcut(CCVEngine& engine, int row, std::vector<std::string>& made) {
    IInstallTarget& target = engine.target();
    auto cell = [&](const char* column) { return StepTableCell(engine, "FOLDERCV", column, row); };
    const std::string location = cell("A");
    const std::string folder = ShortcutFolder(location, engine.context().paths);
    const std::string name = engine.Expand(cell("B"));
    const std::string description = engine.Expand(cell("D"));
    const std::string arguments = engine.Expand(cell("G"));
    const std::string target_text = cell("C");

    if (CreatesShortcutFolder(location)) {
        CreateFolderPath(target, folder);
        engine.WriteLogEntry("DIR", folder);
    }
    if (IsUrlTarget(target_text)) {
        // The folder ends with its backslash; a second one would make a path other tools
        // do not find again.
        const std::string url_path = folder + name + ".url";
        BackUpShortcut(engine, made, url_path, "url" + std::to_string(row));
        if (target.CreateInternetShortcut(url_path, target_text))
            engine.WriteLogEntry("SHORTCUT", url_path);
        else
            engine.Trace("Internet shortcut not created: " + url_path);
    }

    ShellLinkSpec link;
    link.path = folder + name + ".lnk";
    link.target = engine.Expand(target_text);
    link.working_folder = engine.Expand(cell("F"));
    link.arguments = arguments;
    link.description = description;
    const std::string icon = engine.Expand(cell("H"));
    if (!icon.empty()) {
        link.icon = InstallIcon(engine, icon);
        link.icon_index = std::atoi(cell("I").c_str());
    }
    link.show_command = ShowCommandOf(cell("E"));
    BackUpShortcut(engine, made, link.path, "lnk" + std::to_string(row));
    if (target.CreateShellLink(link))
        engine.WriteLogEntry("SHORTCUT", link.path);
    else
        engine.Trace("shortcut not created: " + link.path);
}

} // namespace

std::string ShortcutFolder(const std::string& location, const PathValues& values) {
    std::string place = location;
    if (!place.empty() && place.back() == '\\')
        place.pop_back();
    std::string path = ExpandVariables(ExpandShellFolder(place, values), values);
    const std::size_t cut = path.rfind('\\');
    path = cut == std::string::npos ? std::string() : path.substr(0, cut);
    return path + "\\";
}

bool CreatesShortcutFolder(const std::string& location) {
    if (!Contains(location, "Start Menu") && !Contains(location, "Desktop"))
        return false;
    if (Contains(location, "Start Menu\\Programs Menu"))
        return std::count(location.begin(), location.end(), '\\') > 1;
    return Contains(location, "\\");
}

int ShowCommandOf(const std::string& window_state) {
    if (window_state == "Maximized")
        return 3; // SW_SHOWMAXIMIZED
    if (window_state == "Minimized")
        return 6; // SW_MINIMIZE
    return 0;
}

bool IsUrlTarget(const std::string& target) {
    return Contains(target, "http") || Contains(target, "HTTP");
}

void CreateShortcuts(CCVEngine& engine) {
    const int rows = StepTableRows(engine, "FOLDERCV");
    std::vector<std::string> made;
    for (int i = 0; i < rows; ++i) {
        if (engine.FeatureLetsThrough(StepTableCell(engine, "FOLDERCV", "J", i)))
            CreateOneShortcut(engine, i, made);
    }
    if (engine.Setting("APPINFO", "a9") == "Yes")
        engine.target().OpenWithShell(ExpandShellFolder(engine.Setting("FOLDERCV", "DEFAULTFOLDER"),
                                                        engine.context().paths));
}

} // namespace cv
