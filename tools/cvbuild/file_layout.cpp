#include "tools/cvbuild/file_layout.h"

#include "archive/cab_format.h"
#include "tools/cvbuild/build_error.h"
#include "tools/cvbuild/pack_context.h"
#include "tools/cvbuild/support_files.h"

#include <algorithm>
#include <map>

namespace cv::build {

namespace fs = std::filesystem;

namespace {

std::string Folded(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return name;
}

/// One place of the setup folder (file1.cab, DiskImage1, the folder itself) with the names
/// given out in it; the same file named twice gets one name.
class Place {
  public:
    /// `landing` says what becomes of a file there, e.g. "unpacked as %s in the setup's work
    /// folder", for the message about two files of one name.
    Place(std::vector<Placement>& placements, std::string landing)
        : placements_(placements), landing_(std::move(landing)) {}

    void Add(const std::string& name, const fs::path& source, const std::string& origin) {
        if (name.size() > cab::kMaxString) {
            throw BuildError(origin + ": the name \"" + name + "\" has " +
                             std::to_string(name.size()) + " characters; at most " +
                             std::to_string(cab::kMaxString) + " are allowed");
        }
        const auto [it, added] = seen_.try_emplace(Folded(name), Seen{source, origin});
        if (!added) {
            std::error_code error;
            if (!it->second.source.empty() && fs::equivalent(it->second.source, source, error)) {
                return;
            }
            std::string landing = landing_;
            landing.replace(landing.find("%s"), 2, "\"" + name + "\"");
            const std::string other = it->second.source.empty()
                                          ? it->second.origin
                                          : it->second.origin + " (" +
                                                it->second.source.string() + ")";
            throw BuildError(origin + " (" + source.string() + ") and " + other +
                             " would both be " + landing);
        }
        placements_.push_back({name, source, origin});
    }

    /// A name the setup folder already uses for something of its own.
    void Reserve(const std::string& name, const std::string& what) {
        seen_.try_emplace(Folded(name), Seen{{}, what});
    }

  private:
    struct Seen {
        fs::path source; ///< empty for a reserved name
        std::string origin;
    };
    std::vector<Placement>& placements_;
    std::string landing_;
    std::map<std::string, Seen> seen_;
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

/// The destination folder of a record line: the text before its first "*".
std::string Destination(const std::string& record) {
    return record.substr(0, record.find('*'));
}

/// Whether files of this destination are installed at the top of the install folder, where
/// a split-files build unpacks every file.
bool IsInstallFolder(std::string destination) {
    static const std::string kComputer = "Destination Computer\\";
    for (std::size_t at = destination.find(kComputer); at != std::string::npos;
         at = destination.find(kComputer)) {
        destination.erase(at, kComputer.size());
    }
    while (!destination.empty() && (destination.back() == '\\' || destination.back() == '/')) {
        destination.pop_back();
    }
    destination = Folded(destination);
    return destination == "<installdir>" || destination == "<install dir>";
}

/// "lines 3, 5 and 9" for the data.inf lines of a warning (the first ten of them).
std::string LineList(const std::vector<int>& lines) {
    std::string text = lines.size() == 1 ? "line " : "lines ";
    const std::size_t shown = std::min<std::size_t>(lines.size(), 10);
    for (std::size_t i = 0; i < shown; ++i) {
        text += (i == 0 ? "" : i + 1 == lines.size() ? " and " : ", ") + std::to_string(lines[i]);
    }
    if (shown < lines.size()) {
        text += " and " + std::to_string(lines.size() - shown) + " more";
    }
    return text;
}

/// Where each kind of build puts what, and the names its setup folder keeps for itself.
class Layout {
  public:
    explicit Layout(BuildKind kind)
        : kind_(kind),
          cabinet_(layout_.cabinet, kind == BuildKind::split_files
                                        ? "installed as %s in the install folder"
                                        : "unpacked as %s in the setup's work folder"),
          disk_image_(layout_.disk_image, "laid out as %s in DiskImage1"),
          beside_(layout_.beside_setup, "placed as %s beside setup.exe") {
        for (const char* own : {"setup.exe", "setup.nsx", "data.nsx", "language.lan", "theme",
                                "languages", "DiskImage1"}) {
            beside_.Reserve(own, std::string("the setup's own ") + own);
        }
    }

    /// Where the data.inf records go.
    Place& Records() { return kind_ == BuildKind::disk_images ? disk_image_ : cabinet_; }

    /// Puts a support file where the setup reads it with `reader`.
    void AddSupport(SupportReader reader, const std::string& name, const fs::path& source,
                    const std::string& origin) {
        Place& place = Support(reader);
        if (&place == &beside_ && IsCabinetName(name)) {
            throw BuildError(origin + ": \"" + name + "\" would lie beside setup.exe, where the " +
                             "setup looks for the cabinets of the product's files");
        }
        place.Add(name, source, origin);
    }

    FileLayout Take() { return std::move(layout_); }

  private:
    /// "file<n>.cab", the names of a set of cabinets.
    static bool IsCabinetName(const std::string& name) {
        const std::string folded = Folded(name);
        if (folded.size() <= 8 || folded.compare(0, 4, "file") != 0 ||
            folded.compare(folded.size() - 4, 4, ".cab") != 0) {
            return false;
        }
        const std::string number = folded.substr(4, folded.size() - 8);
        return number.find_first_not_of("0123456789") == std::string::npos;
    }

    Place& Support(SupportReader reader) {
        switch (kind_) {
        case BuildKind::compressed:
            return cabinet_;
        case BuildKind::disk_images:
            return disk_image_;
        case BuildKind::split_files:
            break;
        }
        return reader == SupportReader::source_folder ? beside_ : disk_image_;
    }

    BuildKind kind_;
    FileLayout layout_;
    Place cabinet_;
    Place disk_image_;
    Place beside_;
};

const char* KindName(BuildKind kind) {
    return kind == BuildKind::split_files ? "a split-files build" : "a disk-image build";
}

void PlaceRecords(PackContext& ctx, Layout& layout) {
    const bool split = ctx.options.kind == BuildKind::split_files;
    std::vector<int> downloads, elsewhere;
    for (std::size_t i = 0; i < ctx.files.size(); ++i) {
        const FileListEntry& file = ctx.files[i];
        const std::string origin = "data.inf line " + std::to_string(file.line);
        if (IsUrlSource(file.source)) { // downloaded by the setup, but still counted
            downloads.push_back(file.line);
            continue;
        }
        const fs::path source = SourcePath(ctx.options.product_dir, file.source);
        if (!split) {
            layout.Records().Add(StoredFileName(i, file.source), source, origin);
            continue;
        }
        const std::string destination = Destination(file.record);
        // Such a record stands for an empty folder; the installation never copies its file,
        // but unpacking it would put it into the install folder.
        if ((destination + FileNamePart(file.source)).find("rcsemptyfolder") != std::string::npos) {
            continue;
        }
        if (!IsInstallFolder(destination)) {
            elsewhere.push_back(file.line);
        }
        layout.Records().Add(FileNamePart(file.source), source, origin);
    }
    if (!split) {
        return;
    }
    // The installation of a split-files build unpacks file1.cab instead of copying file by
    // file, so it neither downloads nor follows the destination folders.
    if (!downloads.empty()) {
        ctx.report.warnings.push_back("data.inf " + LineList(downloads) +
                                      ": a split-files build does not download; the setup "
                                      "installs only what file1.cab holds");
    }
    if (!elsewhere.empty()) {
        ctx.report.warnings.push_back(
            "data.inf " + LineList(elsewhere) +
            ": the destination is not the install folder, but a split-files build unpacks "
            "every file into the install folder");
    }
}

void PlaceSupportFiles(PackContext& ctx, Layout& layout) {
    const fs::path& product = ctx.options.product_dir;
    std::string load_error;
    const auto settings = ProfileFile::load((product / "setup.inf").string(), &load_error);
    if (!settings) {
        throw BuildError(load_error);
    }
    SupportFileList support = FindSupportFiles(*settings, product / "theme", ctx.options.kind);
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
        layout.AddSupport(file.reader, file.name, source, file.origin);
        ++ctx.report.support_count;
        if (file.reader == SupportReader::work_folder &&
            ctx.options.kind != BuildKind::compressed) {
            ctx.report.warnings.push_back(
                file.origin + ": the setup reads \"" + file.name +
                "\" from its work folder, which " + KindName(ctx.options.kind) +
                " leaves empty; it lies in DiskImage1, where the setup does not look for it");
        }
    }
    if (!missing.empty()) {
        throw BuildError("support files named by the settings are missing from " +
                         product.string() + ":" + missing);
    }

    const fs::path uninstaller = Uninstaller(ctx.options);
    if (!uninstaller.empty()) {
        layout.AddSupport(SupportReader::source_folder, "cvexec.exe", uninstaller,
                          "the uninstaller");
        ctx.report.uninstaller_copied = true;
    }
}

} // namespace

std::string StoredFileName(std::size_t position, const std::string& source) {
    return "F" + std::to_string(position) + "_" + FileNamePart(source);
}

FileLayout PlanFileLayout(PackContext& ctx) {
    Layout layout(ctx.options.kind);
    PlaceRecords(ctx, layout);
    PlaceSupportFiles(ctx, layout);
    FileLayout result = layout.Take();
    if (ctx.options.kind == BuildKind::compressed && result.cabinet.empty()) {
        throw BuildError(
            "nothing to put into file1.cab: data.inf names only downloads and the settings "
            "name no support files, but the setup needs file1.cab to start");
    }
    if (ctx.options.kind == BuildKind::split_files && result.cabinet.empty()) {
        throw BuildError("nothing to put into file1.cab: data.inf names no file to install, "
                         "and a split-files build installs only what file1.cab holds");
    }
    return result;
}

} // namespace cv::build
