// Our reader against GetPrivateProfileStringA on a whole 5000-row, four-column table
// (win build, run under Wine or Windows).
#include "table_file.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::size_t ReadTableWithSystemReader(const std::string& path) {
    using namespace cv::bench;
    char buf[256];
    GetPrivateProfileStringA(kTableSection, "TOTAL", "", buf, 100, path.c_str());
    int rows = std::atoi(buf);
    std::size_t total = 0;
    for (int row = 0; row < rows; ++row) {
        for (const char* column : kTableColumns) {
            std::string key = column + std::to_string(row);
            total += GetPrivateProfileStringA(kTableSection, key.c_str(), "", buf, sizeof buf,
                                              path.c_str());
        }
    }
    return total;
}

} // namespace

int main() {
    using namespace cv::bench;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string path = std::string(temp) + "cv_profile_bench_setup.inf";
    if (!WriteFile(path, MakeSetupInf())) {
        std::fprintf(stderr, "profile_bench: cannot write %s\n", path.c_str());
        return 1;
    }
    double t0 = NowMs();
    std::size_t ours_cold = ReadTableWithOurReader(path);
    double t1 = NowMs();
    std::size_t ours_warm = ReadTableWithOurReader(path);
    double t2 = NowMs();
    std::size_t theirs = ReadTableWithSystemReader(path);
    double t3 = NowMs();
    DeleteFileA(path.c_str());

    double cold = t1 - t0, warm = t2 - t1, system = t3 - t2;
    std::printf("%d rows x 4 columns (%d cells)\n", kTableRows, kTableRows * 4);
    std::printf("  our reader, first read (parse included): %9.2f ms\n", cold);
    std::printf("  our reader, cached:                      %9.2f ms\n", warm);
    std::printf("  GetPrivateProfileStringA:                %9.2f ms\n", system);
    std::printf("  ratio system / ours: %.0fx (first read), %.0fx (cached)\n", system / cold,
                system / warm);
    if (ours_cold != theirs || ours_warm != theirs) {
        std::printf("  MISMATCH: %zu / %zu / %zu characters read\n", ours_cold, ours_warm, theirs);
        return 1;
    }
    return 0;
}
