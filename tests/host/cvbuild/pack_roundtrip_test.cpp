// Generated products packed by the cvbuild program come back byte for byte under their
// "F<i>_<name>" names through cvcab x and through cabextract: hundreds of files from 0 bytes
// to 5 MB, both compressions, one cabinet or a set of two to five.

#include "tests/host/archive/archive_test_support.h"
#include "tests/host/cvbuild/product_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sys/wait.h>

namespace cv::test {
namespace {

namespace fs = std::filesystem;

int RunCommand(const std::string& command) {
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

std::map<std::string, Bytes> FilesIn(const fs::path& dir) {
    std::map<std::string, Bytes> files;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        if (e.is_regular_file()) {
            files[fs::relative(e.path(), dir).generic_string()] = ReadBytes(e.path());
        }
    }
    return files;
}

Bytes Noise(std::size_t n, std::mt19937& rng) {
    Bytes b(n);
    for (auto& c : b) {
        c = static_cast<std::uint8_t>(rng());
    }
    return b;
}

Bytes TextLike(std::size_t n, std::mt19937& rng) {
    static const char* words[] = {"Corvane ", "setup ", "DISK1 ", "\r\n", "[Files] ", "F12_"};
    Bytes b;
    while (b.size() < n) {
        const std::string w = words[rng() % 6];
        b.insert(b.end(), w.begin(), w.end());
        b.push_back(static_cast<std::uint8_t>('a' + rng() % 26));
    }
    b.resize(n);
    return b;
}

class PackRoundTrip : public ProductFolder {
  protected:
    // 240 records: empty files, small and medium ones of text or noise, a 5 MB and a 1 MB
    // file of noise, downloads in between (counted, not stored), and several records of the
    // same source file.
    void SetUp() override {
        ProductFolder::SetUp();
        std::mt19937 rng(77);
        std::string list;
        for (int i = 0; i < 240; ++i) {
            const std::string record = "Destination Computer\\<InstallDir>\\d" +
                                       std::to_string(i % 9) + "*0*0*0|\r\n";
            if (i % 37 == 5) {
                list += "http://example.com/get/pkg" + std::to_string(i) + ".zip\r\n" + record;
                continue;
            }
            if (i % 50 == 7) {
                list += "files\\bin\\tool.dll\r\n" + record; // the fixture's file again
                expected_["F" + std::to_string(i) + "_tool.dll"] = Pattern(3000);
                continue;
            }
            std::size_t size = i % 6 == 0 ? 0 : i % 4 == 0 ? 5000 + rng() % 60000 : rng() % 4000;
            if (i == 10) {
                size = 5 * 1024 * 1024;
            } else if (i == 120) {
                size = 1024 * 1024 + 3;
            }
            const Bytes bytes = (i % 3 == 0 || i == 10 || i == 120) ? Noise(size, rng)
                                                                      : TextLike(size, rng);
            const std::string folder = "files/g" + std::to_string(i % 5);
            const std::string name = "item" + std::to_string(i) + (i % 2 ? ".txt" : ".bin");
            fs::create_directories(product_ / folder);
            WriteBytes(product_ / folder / name, bytes);
            list += "files\\g" + std::to_string(i % 5) + "\\" + name + "\r\n" + record;
            expected_["F" + std::to_string(i) + "_" + name] = bytes;
        }
        WriteText(product_ / "data.inf", list);
        WriteText(product_ / "setup.inf",
                  std::string(kSetupInf) + "[DIALOGLIST]\r\nCT0=licence\\License.txt\r\n");
        WriteText(product_ / "licence/License.txt", "Terms.\r\n");
        expected_["License.txt"] = Bytes{'T', 'e', 'r', 'm', 's', '.', '\r', '\n'};
        // The uninstaller is named, so that the default one of a win build does not count.
        WriteText(root_ / "cvexec.exe", "MZ uninstaller");
        expected_["cvexec.exe"] = Bytes{'M', 'Z', ' ', 'u', 'n', 'i', 'n', 's', 't', 'a', 'l', 'l', 'e', 'r'};
    }

    /// The exit code of cvbuild pack with `options`.
    int PackExit(const std::string& options) {
        return RunCommand(std::string(CVBUILD_EXE) + " pack " + Quoted(product_) + " " +
                          Quoted(out_) + " --runtime " + Quoted(root_ / "setup.exe") + " --cvexec " +
                          Quoted(root_ / "cvexec.exe") + " " + options);
    }

    /// Packs with `options` and returns the cabinets written, in set order.
    std::vector<fs::path> PackWith(const std::string& options) {
        EXPECT_EQ(PackExit(options), 0) << options;
        std::vector<fs::path> cabinets;
        for (int n = 1; fs::exists(out_ / ("file" + std::to_string(n) + ".cab")); ++n) {
            cabinets.push_back(out_ / ("file" + std::to_string(n) + ".cab"));
        }
        return cabinets;
    }

    void ExpectBothExtractorsAgree(const std::string& label) {
        SCOPED_TRACE(label);
        const fs::path by_cvcab = root_ / ("cvcab-" + label);
        fs::create_directories(by_cvcab);
        EXPECT_EQ(RunCommand(std::string(CVCAB_EXE) + " x " + Quoted(out_ / "file1.cab") + " " +
                      Quoted(by_cvcab)),
                  0);
        ExpectExpected(FilesIn(by_cvcab));
        fs::remove_all(by_cvcab);
        if (!have_cabextract()) {
            ADD_FAILURE() << "cabextract is not installed";
            return;
        }
        std::map<std::string, Bytes> by_cabextract;
        EXPECT_TRUE(cabextract(out_ / "file1.cab", root_ / ("cabextract-" + label), by_cabextract));
        ExpectExpected(by_cabextract);
        fs::remove_all(root_ / ("cabextract-" + label));
    }

    void ExpectExpected(const std::map<std::string, Bytes>& files) const {
        EXPECT_EQ(files.size(), expected_.size());
        for (const auto& [name, bytes] : expected_) {
            const auto it = files.find(name);
            if (it == files.end()) {
                ADD_FAILURE() << "missing " << name;
            } else if (it->second != bytes) {
                ADD_FAILURE() << name << " differs (" << it->second.size() << " bytes, expected "
                              << bytes.size() << ")";
            }
        }
    }

    std::map<std::string, Bytes> expected_;
};

TEST_F(PackRoundTrip, OneCabinetEachCompression) {
    EXPECT_EQ(PackWith("").size(), 1u); // MSZIP by default
    const auto mszip_size = fs::file_size(out_ / "file1.cab");
    ExpectBothExtractorsAgree("mszip");
    EXPECT_EQ(PackWith("--compression none").size(), 1u);
    EXPECT_GT(fs::file_size(out_ / "file1.cab"), mszip_size + 1'000'000);
    ExpectBothExtractorsAgree("none");
}

TEST_F(PackRoundTrip, SpannedSetsOfTwoToFiveCabinets) {
    for (const auto& [compression, span] : {std::pair{"mszip", 2'600'000}, {"none", 2'600'000},
                                            {"mszip", 4'000'000}}) {
        const std::string label = std::string(compression) + "-" + std::to_string(span);
        const auto cabinets = PackWith(std::string("--compression ") + compression + " --span " +
                                       std::to_string(span));
        EXPECT_GE(cabinets.size(), 2u) << label;
        EXPECT_LE(cabinets.size(), 5u) << label;
        for (const auto& cabinet : cabinets) {
            EXPECT_LE(fs::file_size(cabinet), static_cast<std::uintmax_t>(span)) << cabinet;
        }
        ExpectBothExtractorsAgree(label);
    }
}

TEST_F(PackRoundTrip, BadOptionsAndMissingFiles) {
    for (const char* options : {"--compression lzx", "--span 12k", "--span 0", "--span"}) {
        EXPECT_EQ(PackExit(options), 2) << options;
    }
    // Below the writer's smallest cabinet, and a missing support file: errors, no output.
    EXPECT_EQ(PackExit("--span 1000"), 1);
    EXPECT_FALSE(fs::exists(out_));
    fs::remove(product_ / "licence/License.txt");
    EXPECT_EQ(PackExit(""), 1);
    EXPECT_FALSE(fs::exists(out_));
}

} // namespace
} // namespace cv::test
