#include "engine/step_file_list.h"

#include "common/text_replace.h"
#include "engine/engine.h"
#include "engine/folder_path.h"
#include "engine/uninstall_log_reader.h"

namespace cv {

bool LoadFileData(CCVEngine& engine, std::string& error) {
    IInstallTarget& target = engine.target();
    std::optional<std::string> text = target.ReadWholeFile(engine.context().data_inf_path);
    if (!text) {
        error = "data.inf cannot be read: " + engine.context().data_inf_path;
        return false;
    }
    FileListResult list = ParseFileList(*text);
    if (!list.ok) {
        error = list.error;
        return false;
    }
    // The folder list is checked before anything is written, so a refused list leaves
    // neither folders nor log lines behind.
    FolderListResult folders = CollectDestinationFolders(list.records);
    if (!folders.ok) {
        error = folders.error;
        return false;
    }
    engine.files() = std::move(list.records);
    const bool preview = engine.context().preview;

    // The log folder must exist before the first line, or "TOTALFILE" of a first
    // installation is lost.
    if (!preview)
        CreateFolderPath(target, engine.log_folder());
    if (!preview)
        engine.WriteLogEntry("TOTALFILE", std::to_string(engine.file_count()));

    engine.SetStatusText(status::kDirectories);
    if (preview)
        return true;

    const std::string install_dir = engine.Expand("<InstallDir>");
    // Folders made above a logged folder are logged before it, so that removal takes them
    // too ("C:\\Vendor" made for "C:\\Vendor\\Product"). Those inside the install folder
    // need no line: removal takes the parents of a logged folder up to the install folder.
    const std::string install_key = WindowsPathKey(install_dir) + "\\";
    std::vector<std::string> parents;
    auto log_made_parents = [&] {
        for (const std::string& parent : parents)
            if (WindowsPathKey(parent).compare(0, install_key.size(), install_key) != 0)
                engine.WriteLogEntry("DIR", parent);
        parents.clear();
    };
    CreateFolderPath(target, install_dir, &parents);
    log_made_parents();
    engine.WriteLogEntry("DIR", install_dir);

    for (std::string folder : folders.folders) {
        ReplaceAll(folder, "Destination Computer\\", "");
        folder = engine.Expand(folder);
        // A failure shows later, when the files of this folder cannot be copied.
        CreateFolderPath(target, folder, &parents);
        log_made_parents();
        engine.WriteLogEntry("DIR", folder);
    }
    return true;
}

} // namespace cv
