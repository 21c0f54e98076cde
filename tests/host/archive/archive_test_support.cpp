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

} // namespace cv::test
