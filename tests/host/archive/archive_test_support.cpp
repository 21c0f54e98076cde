#include "tests/host/archive/archive_test_support.h"

#include "archive/cab_directory.h"
#include "tests/host/archive/sample_blocks.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <unistd.h>

namespace cv::test {

namespace {
class MemorySink : public cab::FileSink {
  public:
    Bytes bytes;
    bool write(const std::uint8_t* p, std::size_t n) override {
        bytes.insert(bytes.end(), p, p + n);
        return true;
    }
};

void put_u16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put_u32(Bytes& b, std::uint32_t v) {
    put_u16(b, v & 0xFFFF);
    put_u16(b, v >> 16);
}

std::string slashed(std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}
} // namespace

void MemoryHandler::cabinet_info(const std::string& cabinet, const cab::CabinetHeader&) {
    events.push_back("info " + cabinet);
}
void MemoryHandler::enumeration(const std::string&, std::size_t count) {
    events.push_back("enum " + std::to_string(count));
}
void MemoryHandler::partial_file(const std::string&, const cab::FileRecord& f) {
    events.push_back("partial " + f.name);
}
std::unique_ptr<cab::FileSink> MemoryHandler::copy_file(const std::string&, const cab::FileRecord& f) {
    events.push_back("copy " + f.name);
    return std::make_unique<MemorySink>();
}
bool MemoryHandler::close_file(const cab::FileRecord& f, std::unique_ptr<cab::FileSink> sink) {
    events.push_back("close " + f.name);
    files[slashed(f.name)] = std::move(static_cast<MemorySink&>(*sink).bytes);
    return true;
}
bool MemoryHandler::next_cabinet(const cab::MissingCabinet& m) {
    events.push_back("next " + m.cabinet_name);
    return on_missing && on_missing(m);
}

cab::Result extract_file_set(const std::string& path, MemoryHandler& handler) {
    cab::FileIo io;
    cab::Result r = cab::extract(io, path, handler);
    if (r.status != cab::Status::not_cabinet)
        return r;
    auto stream = io.open(path);
    const auto offsets = cab::find_cabinets(*stream);
    for (const auto offset : offsets) {
        cab::ExtractOptions options;
        options.offset = offset;
        if (const auto each = cab::extract(io, path, handler, options); !each.ok())
            return each;
    }
    return offsets.empty() ? r : cab::Result{};
}

std::filesystem::path make_temp_folder(const std::string& tag) {
    static std::atomic<int> counter{0};
    const auto dir = std::filesystem::temp_directory_path() /
                     ("cv-" + tag + "-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

bool have_cabextract() { return std::system("cabextract -v >/dev/null 2>&1") == 0; }

bool cabextract(const std::filesystem::path& cabinet, const std::filesystem::path& out,
                std::map<std::string, Bytes>& files) {
    const std::string cmd = "cabextract -q -d '" + out.string() + "' '" + cabinet.string() +
                            "' >/dev/null 2>&1";
    const bool ok = std::system(cmd.c_str()) == 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(out))
        if (e.is_regular_file())
            files[std::filesystem::relative(e.path(), out).generic_string()] =
                read_whole_file(e.path().string());
    return ok;
}

Bytes write_one_folder_cabinet(const std::vector<Bytes>& blocks, std::uint32_t type_word,
                               std::size_t size, const std::string& name) {
    constexpr std::size_t kFrame = 32768;
    const std::uint32_t header = 36, folder = 8, file = 16 + static_cast<std::uint32_t>(name.size()) + 1;
    std::uint32_t total = header + folder + file;
    for (const auto& b : blocks)
        total += 8 + static_cast<std::uint32_t>(b.size());

    Bytes cab = {'M', 'S', 'C', 'F'};
    put_u32(cab, 0);
    put_u32(cab, total);
    put_u32(cab, 0);
    put_u32(cab, header + folder); // first file record
    put_u32(cab, 0);
    cab.push_back(3); // version 1.3
    cab.push_back(1);
    put_u16(cab, 1); // folders
    put_u16(cab, 1); // files
    put_u16(cab, 0); // flags
    put_u16(cab, 0x1234);
    put_u16(cab, 0);
    put_u32(cab, header + folder + file);
    put_u16(cab, static_cast<std::uint32_t>(blocks.size()));
    put_u16(cab, type_word);
    put_u32(cab, static_cast<std::uint32_t>(size));
    put_u32(cab, 0);      // offset in folder
    put_u16(cab, 0);      // folder
    put_u16(cab, 0x2A21); // 1 Jan 2001
    put_u16(cab, 0);
    put_u16(cab, 0x20);
    cab.insert(cab.end(), name.begin(), name.end());
    cab.push_back(0);
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        put_u32(cab, 0); // no checksum
        put_u16(cab, static_cast<std::uint32_t>(blocks[i].size()));
        put_u16(cab, static_cast<std::uint32_t>(std::min(kFrame, size - i * kFrame)));
        cab.insert(cab.end(), blocks[i].begin(), blocks[i].end());
    }
    return cab;
}

} // namespace cv::test
