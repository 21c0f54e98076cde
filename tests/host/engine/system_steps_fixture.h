#pragma once
// The system steps' runs: a table section of setup.inf given row by row, the log's lines,
// the target's lines of one kind, and the prior state the steps reported.

#include "engine_fixture.h"

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace cv::test {

using Lines = std::vector<std::string>;
using Row = std::map<std::string, std::string>; ///< column letter -> cell

struct SystemStepRun : EngineRun {
    RecordingPriorState prior;

    SystemStepRun() {
        context.paths.app_data_folder = "C:\\Users\\me\\AppData\\Roaming";
        context.paths.programs_menu = "C:\\Users\\me\\Start Menu\\Programs";
        context.paths.start_menu = "C:\\Users\\me\\Start Menu";
        context.paths.startup_folder = "C:\\Users\\me\\Start Menu\\Programs\\Startup";
        context.paths.desktop_folder = "C:\\Users\\me\\Desktop";
        context.paths.favorites_folder = "C:\\Users\\me\\Favorites";
        target.AddFolder("C:\\Users\\me\\Start Menu\\Programs\\Startup");
        target.AddFolder("C:\\Users\\me\\Desktop");
        target.AddFolder("C:\\Users\\me\\AppData\\Roaming");
    }

    CCVEngine& Engine() {
        CCVEngine& e = EngineRun::Engine();
        e.SetPriorState(&prior);
        return e;
    }

    /// Section `section` with "TOTAL" and the rows' cells ("A0", "B0", ...).
    void Table(const std::string& section, std::initializer_list<Row> rows) {
        settings[section + "/TOTAL"] = std::to_string(rows.size());
        int i = 0;
        for (const Row& row : rows) {
            for (const auto& [column, cell] : row)
                settings[section + "/" + column + std::to_string(i)] = cell;
            ++i;
        }
    }

    /// The target's lines that start with one of `prefixes`.
    Lines TargetLines(std::initializer_list<const char*> prefixes) const {
        Lines out;
        for (const std::string& l : target.lines)
            for (const char* p : prefixes)
                if (l.rfind(p, 0) == 0) {
                    out.push_back(l);
                    break;
                }
        return out;
    }
};

} // namespace cv::test
