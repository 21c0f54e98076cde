#include "tools/cvbuild/archive_stage.h"

#include "tools/cvbuild/build_error.h"

#include <algorithm>
#include <ctime>
#include <sys/stat.h>

namespace cv::build {

namespace fs = std::filesystem;

namespace {

// Only the archive bit: the setup applies the stored attributes to what it unpacks, and a
// read-only copy in its work folder would stand in the way of removing that folder.
constexpr std::uint16_t kArchiveAttribute = 0x20;

/// The file's modification time as DOS date and time (local time, 2-second steps).
void SetDosTime(const fs::path& path, cab::WriterEntry& entry) {
    struct stat info {};
    std::tm local{};
    if (::stat(path.c_str(), &info) != 0 || ::localtime_r(&info.st_mtime, &local) == nullptr) {
        return;
    }
    const int year = std::clamp(local.tm_year + 1900, 1980, 2107);
    entry.date = static_cast<std::uint16_t>((year - 1980) << 9 | (local.tm_mon + 1) << 5 |
                                            local.tm_mday);
    entry.time = static_cast<std::uint16_t>(local.tm_hour << 11 | local.tm_min << 5 |
                                            local.tm_sec / 2);
}

cab::WriterEntry Entry(const std::string& name, const fs::path& source) {
    cab::WriterEntry entry;
    entry.stored_name = name;
    entry.source_path = source.string();
    entry.attributes = kArchiveAttribute;
    SetDosTime(source, entry);
    return entry;
}

} // namespace

void WriteArchive(PackContext& ctx) {
    if (ctx.layout.cabinet.empty()) {
        return; // a disk-image build
    }
    std::vector<cab::WriterEntry> entries;
    for (const Placement& file : ctx.layout.cabinet) {
        entries.push_back(Entry(file.name, file.source));
    }
    cab::WriterOptions options;
    options.compression = ctx.options.compression;
    options.max_cabinet_size = ctx.options.max_cabinet_size;
    std::vector<std::string> written;
    const cab::Result result =
        cab::write_cabinets(entries, ctx.staging.string(), options, &written);
    if (!result.ok()) {
        throw BuildError("file1.cab: " + result.message);
    }
    ctx.report.archived_count = entries.size();
    for (const auto& path : written) {
        ctx.report.cabinets.push_back(fs::path(path).filename().string());
    }
}

} // namespace cv::build
