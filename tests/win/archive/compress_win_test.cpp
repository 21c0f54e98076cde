// CCompress against Wine's file system: the product's cabinet unpacked into the work folder.

#include "archive/compress.h"
#include "common/setup_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace cv::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(Bytes& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

/// An uncompressed cabinet of one folder and one data block holding `files` (stored name,
/// content) in order; the contents together stay below 32768 bytes.
Bytes stored_cabinet(const std::vector<std::pair<std::string, std::string>>& files) {
    std::uint32_t records = 0, data = 0;
    for (const auto& [name, content] : files) {
        records += 16 + static_cast<std::uint32_t>(name.size()) + 1;
        data += static_cast<std::uint32_t>(content.size());
    }
    const std::uint32_t first_file = 36 + 8, first_block = first_file + records;
    Bytes cab = {'M', 'S', 'C', 'F'};
    put32(cab, 0);
    put32(cab, first_block + 8 + data);
    put32(cab, 0);
    put32(cab, first_file);
    put32(cab, 0);
    put16(cab, 0x0103);
    put16(cab, 1);
    put16(cab, static_cast<std::uint32_t>(files.size()));
    put16(cab, 0); // flags
    put16(cab, 7); // set id
    put16(cab, 0); // index
    put32(cab, first_block);
    put16(cab, 1); // blocks
    put16(cab, 0); // stored
    std::uint32_t offset = 0;
    for (const auto& [name, content] : files) {
        put32(cab, static_cast<std::uint32_t>(content.size()));
        put32(cab, offset);
        put16(cab, 0);      // folder
        put16(cab, 0x2A21); // 1 Jan 2001
        put16(cab, 0);
        put16(cab, 0x20);
        cab.insert(cab.end(), name.begin(), name.end());
        cab.push_back(0);
        offset += static_cast<std::uint32_t>(content.size());
    }
    put32(cab, 0); // no checksum
    put16(cab, data);
    put16(cab, data);
    for (const auto& file : files)
        cab.insert(cab.end(), file.second.begin(), file.second.end());
    return cab;
}

class CountingProgress : public IExtractProgress {
  public:
    void SetFileCount(std::size_t files) override { count = files; }
    void SetFilesUnpacked(int n) override { unpacked = n; }
    std::size_t count = 0;
    int unpacked = 0;
};

// A stored name with no file name part ("/", a trailing backslash) has nowhere to go: it
// is skipped with a trace line naming it, and the files around it are unpacked.
TEST(CCompressTest, NamesWithoutAFileNamePartAreSkippedAndTheRestUnpacked) {
    const fs::path root = fs::temp_directory_path() / "cv-compress-skip";
    fs::remove_all(root);
    fs::create_directories(root / "work");
    const Bytes cab = stored_cabinet({{"first.txt", std::string(2000, 'a')},
                                      {"/", std::string(300, 'b')},
                                      {"dir\\", std::string(400, 'c')},
                                      {"last.txt", std::string(1000, 'd')}});
    std::ofstream(root / "file1.cab", std::ios::binary)
        .write(reinterpret_cast<const char*>(cab.data()), static_cast<std::streamsize>(cab.size()));

    SetupState& setup = setupState();
    setup.setupFolder = root.string() + "\\";
    setup.workFolder = (root / "work").string() + "\\";
    setup.splitBuild = 0;
    std::vector<std::string> trace;
    CountingProgress progress;
    {
        CCompress unpack;
        unpack.trace = [&trace](const std::string& step) { trace.push_back(step); };
        unpack.progress = &progress;
        EXPECT_TRUE(unpack.UnCompress());
    }
    EXPECT_EQ(extractionState().status, -1);

    auto read = [](const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(read(root / "work" / "first.txt"), std::string(2000, 'a'));
    EXPECT_EQ(read(root / "work" / "last.txt"), std::string(1000, 'd'));
    EXPECT_EQ(std::distance(fs::directory_iterator(root / "work"), fs::directory_iterator()), 2);
    EXPECT_EQ(progress.unpacked, 4); // the bar reaches its end
    const auto has = [&trace](const std::string& line) {
        return std::find(trace.begin(), trace.end(), line) != trace.end();
    };
    EXPECT_TRUE(has("CompactFilesTH6 skipped '/': its stored name has no file name part"));
    EXPECT_TRUE(has("CompactFilesTH6 skipped 'dir\\': its stored name has no file name part"));
    EXPECT_TRUE(has("CompactFilesTH8"));
    fs::remove_all(root);
}

// A destination folder of 255 characters is taken; a longer one is refused with a trace line
// naming it, and nothing is unpacked (it used to be cut to 255 characters, another folder).
TEST(CCompressTest, DestinationFoldersAtTheirLimit) {
    const fs::path root = fs::temp_directory_path() / "cv-compress-long";
    fs::remove_all(root);
    fs::create_directories(root);
    const Bytes cab = stored_cabinet({{"a.txt", "aaa"}});
    std::ofstream(root / "file1.cab", std::ios::binary)
        .write(reinterpret_cast<const char*>(cab.data()), static_cast<std::streamsize>(cab.size()));
    const std::string base = root.string() + "\\";
    for (const std::size_t length : {kMaxDestinationFolder, kMaxDestinationFolder + 1, std::size_t{259}}) {
        // base + "d...d\\" of `length` characters.
        const std::string folder = base + std::string(length - base.size() - 1, 'd') + "\\";
        ASSERT_EQ(folder.size(), length);
        fs::remove_all(root / "work");
        fs::create_directories(fs::path(folder));
        SetupState& setup = setupState();
        setup.setupFolder = base;
        setup.workFolder = folder;
        setup.splitBuild = 0;
        std::vector<std::string> trace;
        CCompress unpack;
        unpack.trace = [&trace](const std::string& step) { trace.push_back(step); };
        const bool fits = length <= kMaxDestinationFolder;
        EXPECT_EQ(unpack.UnCompress(), fits) << length;
        EXPECT_EQ(extractionState().status, fits ? -1 : 4) << length;
        EXPECT_EQ(fs::exists(fs::path(folder + "a.txt")), fits) << length;
        const std::string refusal = "CompactFilesTH1 the destination folder is longer than 255 characters: " + folder;
        EXPECT_EQ(std::find(trace.begin(), trace.end(), refusal) != trace.end(), !fits) << length;
        // Nothing lands in the folder the cut would have named.
        std::size_t files = 0;
        for (const auto& e : fs::recursive_directory_iterator(root))
            files += e.is_regular_file() && e.path().filename() == "a.txt";
        EXPECT_EQ(files, fits ? 1u : 0u) << length;
        fs::remove_all(fs::path(folder));
    }
    fs::remove_all(root);
}

// Each failure leaves the words the user is told: the archive missing, not a cabinet, or a
// file that cannot be created; a later unpacking that succeeds clears them.
TEST(CCompressTest, AFailedUnpackingSaysWhy) {
    const fs::path root = fs::temp_directory_path() / "cv-compress-fail";
    fs::remove_all(root);
    fs::create_directories(root / "work");
    SetupState& setup = setupState();
    setup.setupFolder = root.string() + "\\";
    setup.workFolder = (root / "work").string() + "\\";
    setup.splitBuild = 0;
    const std::string archive = setup.setupFolder + "file1.cab";
    auto write = [&root](const Bytes& bytes) {
        std::ofstream(root / "file1.cab", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    };
    auto unpack = [] {
        CCompress compress;
        return compress.UnCompress();
    };

    EXPECT_FALSE(unpack());
    EXPECT_EQ(extractionState().status, 2);
    EXPECT_EQ(extractionState().failure, "The archive " + archive + " cannot be opened.");

    write(Bytes(100, 'x'));
    EXPECT_FALSE(unpack());
    EXPECT_EQ(extractionState().status, 3);
    EXPECT_EQ(extractionState().failure, "The archive " + archive + " is not a cabinet.");

    // A folder where the file should go: its creation fails, and the message names it.
    write(stored_cabinet({{"a.txt", "aaa"}}));
    fs::create_directories(root / "work" / "a.txt");
    EXPECT_FALSE(unpack());
    EXPECT_EQ(extractionState().status, 4);
    const std::string& failure = extractionState().failure;
    EXPECT_NE(failure.find("cannot create " + setup.workFolder + "a.txt: "), std::string::npos) << failure;
    EXPECT_NE(failure.find("(error 5)"), std::string::npos) << failure;

    fs::remove_all(root / "work" / "a.txt");
    EXPECT_TRUE(unpack());
    EXPECT_EQ(extractionState().failure, "");
    fs::remove_all(root);
}

} // namespace
} // namespace cv::test
