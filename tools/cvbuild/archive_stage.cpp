#include "tools/cvbuild/archive_stage.h"

#include "archive/cab_format.h"
#include "tools/cvbuild/build_error.h"
#include "tools/cvbuild/support_files.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <sys/stat.h>

namespace cv::build {

namespace fs = std::filesystem;

namespace {

// Only the archive bit: the setup applies the stored attributes to the work folder's copies,
// and a read-only copy there would stand in the way of removing the work folder.
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

std::string Folded(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return name;
}

/// Keeps one entry per name the setup sees; the same file named twice is stored once.
class EntryList {
  public:
    void Add(const std::string& name, const fs::path& source, const std::string& origin) {
        if (name.size() > cab::kMaxString) {
            throw BuildError(origin + ": the stored name \"" + name + "\" has " +
                             std::to_string(name.size()) + " characters; a cabinet holds " +
                             std::to_string(cab::kMaxString));
        }
        const auto [it, added] = seen_.try_emplace(Folded(name), Seen{source, origin});
        if (!added) {
            std::error_code error;
            if (fs::equivalent(it->second.source, source, error)) {
                return;
            }
            throw BuildError(origin + " (" + source.string() + ") and " + it->second.origin +
                             " (" + it->second.source.string() +
                             ") would both be unpacked as \"" + name +
                             "\" in the setup's work folder");
        }
        entries_.push_back(Entry(name, source));
    }
    std::vector<cab::WriterEntry> Take() { return std::move(entries_); }

  private:
    struct Seen {
        fs::path source;
        std::string origin;
    };
    std::map<std::string, Seen> seen_;
    std::vector<cab::WriterEntry> entries_;
};

/// The uninstaller to store, or empty when none is given and the default does not exist.
fs::path Uninstaller(const PackOptions& options) {
    std::error_code error;
    if (options.uninstaller) {
        if (!fs::is_regular_file(*options.uninstaller, error)) {
            throw BuildError(options.uninstaller->string() +
                             ": uninstaller (--cvexec) does not exist or is not a file");
        }
        return *options.uninstaller;
    }
    if (!options.default_uninstaller.empty() &&
        fs::is_regular_file(options.default_uninstaller, error)) {
        return options.default_uninstaller;
    }
    return {};
}

} // namespace

std::string StoredFileName(std::size_t position, const std::string& source) {
    return "F" + std::to_string(position) + "_" + FileNamePart(source);
}

std::vector<cab::WriterEntry> ArchiveEntries(PackContext& ctx) {
    const fs::path& product = ctx.options.product_dir;
    EntryList list;
    for (std::size_t i = 0; i < ctx.files.size(); ++i) {
        const FileListEntry& file = ctx.files[i];
        if (!IsUrlSource(file.source)) { // downloaded by the setup, but still counted
            list.Add(StoredFileName(i, file.source), SourcePath(product, file.source),
                     "data.inf line " + std::to_string(file.line));
        }
    }

    std::string load_error;
    const auto settings = ProfileFile::load((product / "setup.inf").string(), &load_error);
    if (!settings) {
        throw BuildError(load_error);
    }
    SupportFileList support = FindSupportFiles(*settings, product / "theme");
    ctx.report.warnings.insert(ctx.report.warnings.end(), support.warnings.begin(),
                               support.warnings.end());
    std::string missing;
    for (const SupportFile& file : support.files) {
        const fs::path source = SupportSourcePath(product, file.reference);
        std::error_code error;
        if (!fs::is_regular_file(source, error)) {
            missing += "\n  " + source.string() + " (\"" + file.reference + "\", " +
                       file.origin + ")";
            continue;
        }
        list.Add(file.name, source, file.origin);
        ++ctx.report.support_count;
    }
    if (!missing.empty()) {
        throw BuildError("support files named by the settings are missing from " +
                         product.string() + ":" + missing);
    }

    const fs::path uninstaller = Uninstaller(ctx.options);
    if (!uninstaller.empty()) {
        list.Add("cvexec.exe", uninstaller, "the uninstaller");
        ctx.report.uninstaller_copied = true;
    }

    auto entries = list.Take();
    if (entries.empty()) {
        throw BuildError(
            "nothing to put into file1.cab: data.inf names only downloads and the settings "
            "name no support files, but the setup needs file1.cab to start");
    }
    return entries;
}

void WriteArchive(PackContext& ctx) {
    const auto entries = ArchiveEntries(ctx);
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
