#pragma once
// One engine run over the recording doubles, with a small product: settings in a map, the
// work folder, data.inf and the files of the source folder in the in-memory file system.

#include "engine/engine.h"
#include "recording_target.h"

#include <map>
#include <memory>

namespace cv::test {

inline constexpr const char* kWork = "C:\\Temp\\cv101010\\";
inline constexpr const char* kLogFolder = "C:\\Windows\\Installer\\ACME1\\";
inline constexpr const char* kLogPath = "C:\\Windows\\Installer\\ACME1\\uninstall.log";

struct EngineRun {
    RecordingTarget target;
    RecordingProgress progress;
    MemoryLog log;
    std::map<std::string, std::string> settings; ///< "SECTION/key" -> value
    std::map<std::string, int> features;
    EngineContext context;
    std::unique_ptr<CCVEngine> engine;

    EngineRun() {
        PathValues& p = context.paths;
        p.windows_folder = "C:\\Windows";
        p.windows_volume = "C:";
        p.system_folder = "C:\\Windows\\system32\\";
        p.temp_folder = "C:\\Temp\\";
        p.current_directory = "C:\\Setup\\";
        p.current_drive = "C:\\";
        p.program_files = "C:\\Program Files";
        p.fonts_folder = "C:\\Windows\\Fonts";
        p.product_name = "Acme";
        p.install_dir = "C:\\Program Files\\Acme\\";
        p.default_install_dir = p.install_dir;
        p.product_code = "ACME1";
        context.version = WindowsVersion{6, 1, 7601, true};
        context.work_folder_name = "cv101010";
        context.data_inf_path = std::string(kWork) + "data.inf";
        context.setting = [this](const std::string& section, const std::string& key) {
            auto it = settings.find(section + "/" + key);
            return it == settings.end() ? std::string() : it->second;
        };
        context.feature_state = [this](const std::string& name) -> std::optional<int> {
            auto it = features.find(name);
            if (it == features.end())
                return std::nullopt;
            return it->second;
        };
        target.AddFolder("C:\\Windows\\Fonts");
        target.AddFolder("C:\\Program Files");
        target.AddFolder("C:\\Setup");
        target.AddFolder(kWork);
    }

    /// The log refuses lines while its folder is missing, as the file on disk would.
    void LogOnDisk() {
        log.disk = &target;
        log.path = kLogPath;
    }

    /// data.inf of `records` lines (CR LF added to each).
    void DataInf(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& l : lines)
            text += l + "\r\n";
        target.AddFile(context.data_inf_path, text);
    }

    CCVEngine& Engine() {
        if (!engine)
            engine = std::make_unique<CCVEngine>(context, target, progress, log);
        return *engine;
    }

    /// BeginRun, InstallAll and EndRun, as Run does them around its worker thread.
    void WholeRun() {
        CCVEngine& e = Engine();
        e.BeginRun();
        e.InstallAll();
        e.EndRun();
    }
};

} // namespace cv::test
