#include "engine/step_uninstall_program.h"

#include "engine/engine.h"

namespace cv {

void InstallUninstallProgram(CCVEngine& engine) {
    const std::string program = engine.Setting("APPINFO", "a11");
    const std::string name(FileNamePart(program));
    const std::string path = program.find('<') != std::string::npos
                                 ? engine.Expand(program)
                                 : engine.source_folder() + name;
    // An empty "a11" would name the source folder itself: only a file counts.
    if (!program.empty() && engine.target().FileExists(path)) {
        const std::string copied(FileNamePart(path));
        engine.target().CopyFileReplacing(path, engine.log_folder() + copied);
        engine.WriteLogEntry("RUN3RD", copied);
        engine.WriteLogEntry("RUN3RDCMD", engine.Expand(engine.Setting("APPINFO", "a12")));
    }
    if (program.find("http://") != std::string::npos) {
        engine.WriteLogEntry("RUN3RD", program);
        engine.WriteLogEntry("RUN3RDCMD", "");
    }
    if (engine.Setting("APPINFO", "a13") == "No")
        engine.WriteLogEntry("REMOVEALL", "Yes");
}

} // namespace cv
