// The shared sample cabinets: valid ones extract as cabextract extracts them, broken ones
// fail with their status, quickly. The fuzzers' findings in regressions/ fail cleanly too.

#include "archive/decoder_factory.h"
#include "tests/host/archive/archive_test_support.h"

#include <gtest/gtest.h>

#include <chrono>

namespace cv::test {
namespace {

using cab::Status;
namespace fs = std::filesystem;

const fs::path kCabs = fs::path(CV_SHARED_DIR) / "testdata" / "cabs";

struct Timed {
    cab::Result result;
    double seconds;
};

Timed timed_extract(const std::string& path, MemoryHandler& handler) {
    const auto start = std::chrono::steady_clock::now();
    cab::Result r = extract_file_set(path, handler);
    return {r, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()};
}

// Compression types used by each valid sample beyond stored and MSZIP.
struct Valid {
    const char* file;
    std::vector<int> extra_types;
};

TEST(SampleCabinets, ValidOnesMatchCabextract) {
    if (!have_cabextract())
        GTEST_SKIP() << "cabextract is not installed";
    const std::vector<Valid> valid = {
        {"hidden-files.cab", {}},          {"mszip_lzx_qtm.cab", {cab::kLzx, cab::kQuantum}},
        {"normal_255c_filename.cab", {}},  {"normal_2files_1folder.cab", {}},
        {"normal_2files_2folders.cab", {cab::kLzx}},
        {"reserve_---.cab", {}},           {"reserve_--D.cab", {}},
        {"reserve_-F-.cab", {}},           {"reserve_-FD.cab", {}},
        {"reserve_H--.cab", {}},           {"reserve_H-D.cab", {}},
        {"reserve_HF-.cab", {}},           {"reserve_HFD.cab", {}},
        {"search_basic.cab", {}},          {"search_tricky1.cab", {}},
    };
    for (const auto& v : valid) {
        SCOPED_TRACE(v.file);
        const auto out = make_temp_folder("ref");
        std::map<std::string, Bytes> reference;
        ASSERT_TRUE(cabextract(kCabs / v.file, out, reference));
        fs::remove_all(out);
        MemoryHandler ours;
        const Timed t = timed_extract((kCabs / v.file).string(), ours);
        bool all_built = true;
        for (int type : v.extra_types)
            all_built = all_built && cab::decoder_available(type);
        if (all_built) {
            ASSERT_TRUE(t.result.ok()) << t.result.message;
            EXPECT_EQ(ours.files, reference);
        } else {
            // Without the LZX or Quantum decoder the folder is refused, after the files
            // before it came out right.
            EXPECT_EQ(t.result.status, Status::unsupported) << t.result.message;
            for (const auto& [name, bytes] : ours.files)
                EXPECT_EQ(bytes, reference[name]) << name;
        }
    }
}

TEST(SampleCabinets, MultiPartSetMatchesCabextract) {
    if (!have_cabextract())
        GTEST_SKIP() << "cabextract is not installed";
    // The parts name each other "cabd_multi_basic_ptN.cab".
    const auto dir = make_temp_folder("multi");
    for (int i = 1; i <= 5; ++i)
        fs::copy_file(kCabs / ("multi_basic_pt" + std::to_string(i) + ".cab"),
                      dir / ("cabd_multi_basic_pt" + std::to_string(i) + ".cab"));
    std::map<std::string, Bytes> reference;
    ASSERT_TRUE(cabextract(dir / "cabd_multi_basic_pt1.cab", dir / "ref", reference));
    ASSERT_EQ(reference.size(), 3u);
    MemoryHandler ours;
    const auto r = extract_file_set((dir / "cabd_multi_basic_pt1.cab").string(), ours);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(ours.files, reference);
    EXPECT_EQ(std::count_if(ours.events.begin(), ours.events.end(),
                            [](const std::string& e) { return e.rfind("info ", 0) == 0; }),
              5);

    // Without the later parts the set cannot be completed.
    fs::remove(dir / "cabd_multi_basic_pt3.cab");
    MemoryHandler cut;
    const auto missing = extract_file_set((dir / "cabd_multi_basic_pt1.cab").string(), cut);
    EXPECT_EQ(missing.status, Status::missing_cabinet);
    EXPECT_NE(missing.message.find("cabd_multi_basic_pt3.cab"), std::string::npos);
    fs::remove_all(dir);
}

// The status a broken sample fails with when its folders' decoders are all built in, and
// the compression type that must be present for that.
struct Broken {
    const char* file;
    Status status;
    int needs_type = cab::kStored;
};

TEST(SampleCabinets, BrokenOnesFailWithTheirStatus) {
    const std::vector<Broken> broken = {
        {"bad_folderindex.cab", Status::corrupt},
        {"bad_nofiles.cab", Status::corrupt},
        {"bad_nofolders.cab", Status::corrupt},
        {"bad_signature.cab", Status::not_cabinet},
        {"cve-2010-2800-mszip-infinite-loop.cab", Status::corrupt},
        {"cve-2014-9556-qtm-infinite-loop.cab", Status::corrupt, cab::kQuantum},
        {"cve-2014-9732-folders-segfault.cab", Status::corrupt},
        {"cve-2015-4470-mszip-over-read.cab", Status::not_cabinet},
        {"cve-2015-4471-lzx-under-read.cab", Status::corrupt, cab::kLzx},
        {"cve-2017-11423-fname-overread.cab", Status::corrupt},
        {"cve-2018-18584-qtm-max-size-block.cab", Status::corrupt, cab::kQuantum},
        {"filename-read-violation-1.cab", Status::corrupt},
        {"filename-read-violation-2.cab", Status::corrupt},
        {"filename-read-violation-3.cab", Status::corrupt},
        {"filename-read-violation-4.cab", Status::corrupt},
        {"hidden-file-bad-folderid.cab", Status::corrupt},
        {"hidden-file-beyond-eof.cab", Status::corrupt},
        {"lzx-main-tree-no-lengths.cab", Status::corrupt, cab::kLzx},
        {"lzx-premature-matches.cab", Status::corrupt, cab::kLzx},
        {"multi_basic_pt1.cab", Status::missing_cabinet}, // its parts go by other names
    };
    for (const auto& b : broken) {
        SCOPED_TRACE(b.file);
        MemoryHandler handler;
        const Timed t = timed_extract((kCabs / b.file).string(), handler);
        const Status want =
            cab::decoder_available(b.needs_type) ? b.status : Status::unsupported;
        EXPECT_EQ(t.result.status, want) << t.result.message;
        EXPECT_FALSE(t.result.message.empty());
        EXPECT_LT(t.seconds, 5.0);
    }
    std::size_t partial = 0;
    for (const auto& e : fs::directory_iterator(kCabs)) {
        if (e.path().filename().string().rfind("partial_", 0) != 0)
            continue;
        SCOPED_TRACE(e.path().filename().string());
        MemoryHandler handler;
        const Timed t = timed_extract(e.path().string(), handler);
        EXPECT_EQ(t.result.status, Status::corrupt) << t.result.message;
        EXPECT_NE(t.result.message.find("truncated"), std::string::npos) << t.result.message;
        EXPECT_LT(t.seconds, 5.0);
        ++partial;
    }
    EXPECT_EQ(partial, 18u);
}

TEST(SampleCabinets, FuzzRegressionsFailCleanly) {
    // Inputs the fuzzer once broke the reader with; each must now end, quickly, with a
    // failure status (none of them is a valid cabinet).
    std::size_t count = 0;
    for (const auto& e : fs::directory_iterator(CV_REGRESSIONS_DIR)) {
        if (e.path().extension() != ".cab")
            continue;
        SCOPED_TRACE(e.path().filename().string());
        MemoryHandler handler;
        const Timed t = timed_extract(e.path().string(), handler);
        EXPECT_FALSE(t.result.ok());
        EXPECT_FALSE(t.result.message.empty());
        EXPECT_LT(t.seconds, 5.0);
        ++count;
    }
    if (count == 0)
        GTEST_SKIP() << "no fuzzer findings kept in " << CV_REGRESSIONS_DIR;
}

} // namespace
} // namespace cv::test
