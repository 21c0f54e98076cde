#include "engine/step_associations.h"

#include "engine/engine.h"
#include "engine/file_list.h"
#include "engine/registry_changes.h"
#include "engine/step_table.h"

namespace cv {

namespace {

constexpr const char* kClassesRoot = "HKEY_CLASSES_ROOT\\";

void CreateOneAssociation(CCVEngine& engine, RegistryChanges& changes, int row) {
    auto cell = [&](const char* column) { return StepTableCell(engine, "EXTCV", column, row); };
    const std::string extension = cell("C");
    const std::string class_key = cell("D");
    // Removal deletes the logged keys with everything below them: an empty name would log
    // the whole of HKEY_CLASSES_ROOT.
    if (extension.empty() || class_key.empty()) {
        engine.Trace("EXTCV row " + std::to_string(row) + " skipped: no extension or class key");
        return;
    }
    const RegRoot root = RegRoot::ClassesRoot;
    engine.WriteLogEntry("REMKEY", kClassesRoot + class_key);
    changes.CreateKey(root, extension);
    engine.WriteLogEntry("REMKEY", kClassesRoot + extension);
    const std::string icon_key = class_key + "\\DefaultIcon";
    const std::string command_key = class_key + "\\shell\\Open\\Command";
    changes.CreateKey(root, icon_key);
    changes.CreateKey(root, command_key);

    changes.SetValue(root, extension, "", StringData(class_key));
    changes.SetValue(root, class_key, "", StringData(cell("E")));
    // Expanded first, so that an icon given as "<InstallDir>doc.ico" is named "doc.ico".
    const std::string icon_name(FileNamePart(engine.Expand(cell("H"))));
    const std::string icon = engine.context().paths.install_dir + icon_name;
    // Without an icon file the "icon" would be the install folder itself.
    if (!icon_name.empty())
        changes.SetValue(root, icon_key, "", StringData(icon));
    changes.SetValue(root, command_key, "", StringData(OpenCommandOf(engine.Expand(cell("B")), cell("G"))));
    if (!icon_name.empty()) {
        engine.target().CopyFileReplacing(
            engine.Expand("<TempFolder>" + engine.context().work_folder_name + "\\" + icon_name), icon);
        engine.WriteLogEntry("FILE", icon);
    }
}

} // namespace

std::string OpenCommandOf(const std::string& program, const std::string& arguments) {
    return "\"" + program + "\" " + arguments;
}

void CreateFileAssociations(CCVEngine& engine) {
    RegistryChanges changes(engine);
    const int rows = StepTableRows(engine, "EXTCV");
    for (int i = 0; i < rows; ++i)
        CreateOneAssociation(engine, changes, i);
}

} // namespace cv
