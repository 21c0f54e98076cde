#include "engine/file_backup.h"

#include "engine/engine.h"

namespace cv {

std::string BackupFolder(const CCVEngine& engine) {
    return engine.Expand("<TempFolder>\\" + engine.context().work_folder_name + "\\backup\\");
}

void BackUpBeforeOverwrite(CCVEngine& engine, const std::string& destination, int position) {
    BackUpBeforeReplacing(engine, destination, std::to_string(position));
}

void BackUpBeforeReplacing(CCVEngine& engine, const std::string& destination, const std::string& label) {
    if (!engine.keeps_prior_state())
        return;
    IInstallTarget& target = engine.target();
    if (!target.FileExists(destination))
        return;
    const std::string folder = BackupFolder(engine);
    target.CreateFolder(folder.substr(0, folder.size() - 1));
    const std::string backup = folder + engine.context().work_folder_name + "_" + label + "_" +
                               std::string(FileNamePart(destination));
    engine.prior().FileReplaced(destination, target.CopyFileReplacing(destination, backup) ? backup : std::string());
}

void NoteKeptFile(CCVEngine& engine, const std::string& destination) {
    if (engine.keeps_prior_state())
        engine.prior().FileReplaced(destination, "");
}

void KeepBackups(CCVEngine& engine) {
    const std::string folder = BackupFolder(engine);
    if (engine.keeps_prior_state() && engine.target().FolderExists(folder.substr(0, folder.size() - 1)))
        engine.target().CopyTree(folder.substr(0, folder.size() - 1), engine.log_folder());
}

} // namespace cv
