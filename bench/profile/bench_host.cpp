// Our reader's time for a whole 5000-row, four-column table (host build).
#include "table_file.h"

#include <cstdio>
#include <filesystem>

int main() {
    using namespace cv::bench;
    std::string path = (std::filesystem::temp_directory_path() / "cv_profile_bench_setup.inf").string();
    if (!WriteFile(path, MakeSetupInf())) {
        std::fprintf(stderr, "profile_bench: cannot write %s\n", path.c_str());
        return 1;
    }
    double t0 = NowMs();
    std::size_t cold = ReadTableWithOurReader(path); // includes reading and parsing the file
    double t1 = NowMs();
    std::size_t warm = ReadTableWithOurReader(path); // the file is cached
    double t2 = NowMs();
    std::filesystem::remove(path);
    std::printf("%d rows x 4 columns, our reader: first read %.2f ms (parse included), "
                "cached %.2f ms [%zu/%zu bytes]\n",
                kTableRows, t1 - t0, t2 - t1, cold, warm);
    return cold == warm && cold > 0 ? 0 : 1;
}
