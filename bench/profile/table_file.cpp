#include "table_file.h"

#include "common/profile_cache.h"
#include "common/profile_table.h"

#include <chrono>
#include <cstdio>

namespace cv::bench {

std::string MakeSetupInf() {
    std::string text = "[APPINFO]\r\na1=Bench Product\r\na2=1.0\r\na4=<ProgramFilesFolder>\\Bench\r\n"
                       "[DIALOGLIST]\r\nTOTAL1=2\r\nW0=welcome.lcd\r\nW1=finish.lcd\r\n";
    text += "[" + std::string(kTableSection) + "]\r\nTOTAL=" + std::to_string(kTableRows) + "\r\n";
    for (int i = 0; i < kTableRows; ++i) {
        std::string n = std::to_string(i);
        text += "A" + n + "=file" + n + ".dll\r\n";
        text += "B" + n + "=<InstallDir>bin\\sub" + std::to_string(i % 37) + "\r\n";
        text += "C" + n + "=" + std::to_string(1000 + i * 7) + "\r\n";
        text += "D" + n + "=Yes\r\n";
    }
    text += "[SETUPTYPE]\r\nTOTAL=0\r\n";
    text.append(11, '\0');
    return text;
}

bool WriteFile(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

std::size_t ReadTableWithOurReader(const std::string& path) {
    auto file = ProfileCache::process().get(path);
    if (!file)
        return 0;
    ProfileTable table(*file, kTableSection);
    std::size_t total = 0;
    for (int row = 0; row < table.rows(); ++row) {
        for (const char* column : kTableColumns)
            total += table.cell(column, row).size();
    }
    return total;
}

} // namespace cv::bench
