#include "tools/cvbuild/pack.h"

#include "tools/cvbuild/archive_stage.h"
#include "tools/cvbuild/build_error.h"
#include "tools/cvbuild/disk_image_stage.h"
#include "tools/cvbuild/output_folder.h"
#include "tools/cvbuild/pack_context.h"
#include "tools/cvbuild/settings_files.h"
#include "tools/cvbuild/split_marker.h"
#include "tools/cvbuild/theme_check.h"

#include <fstream>
#include <iterator>
#include <algorithm>

namespace cv::build {

namespace fs = std::filesystem;

namespace {

fs::path ProductFile(const PackContext& ctx, const char* name) {
    return ctx.options.product_dir / name;
}

std::string ReadReadableFile(const fs::path& path, const char* what) {
    std::error_code error;
    if (!fs::exists(path, error)) {
        throw BuildError(path.string() + ": missing " + what);
    }
    if (!fs::is_regular_file(path, error)) {
        throw BuildError(path.string() + ": " + what + " is not a file");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        throw BuildError(path.string() + ": cannot open " + what);
    }
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        throw BuildError(path.string() + ": cannot read " + what);
    }
    return text;
}

void CheckProductFolder(PackContext& ctx) {
    std::error_code error;
    if (!fs::is_directory(ctx.options.product_dir, error)) {
        throw BuildError(ctx.options.product_dir.string() + ": product folder does not exist");
    }
    ctx.settings =
        ReadReadableFile(ProductFile(ctx, "setup.inf"), "setup.inf (the product settings)");
    if (!fs::is_directory(ProductFile(ctx, "theme"), error)) {
        throw BuildError(ProductFile(ctx, "theme").string() +
                         ": missing theme folder (the page layouts)");
    }
}

/// The setup tells a split-files build by its mark in setup.inf alone, so the mark must
/// match the build.
void MarkBuildKind(PackContext& ctx) {
    if (ctx.options.kind == BuildKind::split_files) {
        ctx.settings = WithSplitFilesMark(ctx.settings);
    } else if (IsMarkedSplitFiles(ctx.settings)) {
        throw BuildError(ProductFile(ctx, "setup.inf").string() +
                         ": [BUILDING] CURRENTBUILD is \"" + std::string(kSplitFilesMark) +
                         "\", which makes the setup unpack file1.cab into the install folder; "
                         "pack with --split, or change CURRENTBUILD");
    }
}

void CheckLayouts(PackContext& ctx) {
    std::string load_error;
    const auto settings = ProfileFile::load(ProductFile(ctx, "setup.inf").string(), &load_error);
    if (!settings) {
        throw BuildError(load_error);
    }
    std::vector<std::string> warnings = CheckThemeLayouts(*settings, ProductFile(ctx, "theme"));
    ctx.report.warnings.insert(ctx.report.warnings.end(), warnings.begin(), warnings.end());
}

void ReadFileList(PackContext& ctx) {
    const fs::path path = ProductFile(ctx, "data.inf");
    const std::string text = ReadReadableFile(path, "data.inf (the file list)");
    ctx.files = ParseFileList(text, path.string());
    CheckSources(ctx.files, ctx.options.product_dir, path.string());
    ctx.report.file_count = ctx.files.size();
}

/// Encrypts `text` into the staging folder's `name`, through a plain copy beside it.
void EncryptText(const PackContext& ctx, const std::string& text, const char* name) {
    const fs::path plain = ctx.staging / (std::string(".") + name + ".plain");
    {
        std::ofstream out(plain, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) {
            throw BuildError(plain.string() + ": cannot write");
        }
    }
    EncryptSettingsFile(plain, ctx.staging / name);
    fs::remove(plain);
}

void PlanLayout(PackContext& ctx) {
    ctx.layout = PlanFileLayout(ctx);
}

void EncryptSettings(PackContext& ctx) {
    EncryptText(ctx, ctx.settings, "setup.nsx");
    // The file list is written back with CR LF line ends, which the installer's reader
    // needs, whatever line ends the author's editor used.
    EncryptText(ctx, FormatFileList(ctx.files), "data.nsx");
}

void CopyTheme(PackContext& ctx) {
    fs::copy(ProductFile(ctx, "theme"), ctx.staging / "theme", fs::copy_options::recursive);
}

void CopyLanguages(PackContext& ctx) {
    std::error_code error;
    const fs::path language = ProductFile(ctx, "language.lan");
    if (fs::exists(language, error)) {
        fs::copy_file(language, ctx.staging / "language.lan");
    } else {
        ctx.report.warnings.push_back(language.string() +
                                      " does not exist: the setup shows its layout files' texts");
    }
    const fs::path languages = ProductFile(ctx, "languages");
    if (fs::is_directory(languages, error)) {
        fs::copy(languages, ctx.staging / "languages", fs::copy_options::recursive);
    }
}

void CopyRuntime(PackContext& ctx) {
    std::error_code error;
    const auto& runtime = ctx.options.runtime;
    if (runtime && !fs::is_regular_file(*runtime, error)) {
        throw BuildError(runtime->string() +
                         ": runtime (--runtime) does not exist or is not a file");
    }
    const fs::path source = runtime ? *runtime : ctx.options.default_runtime;
    if (!runtime && !fs::is_regular_file(source, error)) {
        ctx.report.warnings.push_back(
            "no setup.exe copied: " + source.string() +
            " does not exist (build the Windows runtime or pass --runtime)");
        return;
    }
    fs::copy_file(source, ctx.staging / "setup.exe");
    ctx.report.runtime_copied = true;
}

using Stage = void (*)(PackContext&);

// In order; each stage may rely on the ones before it. The layout is planned before anything
// is written, so that missing files are reported first.
constexpr Stage kStages[] = {CheckProductFolder, CheckLayouts,   MarkBuildKind,
                             ReadFileList,       PlanLayout,     WriteArchive,
                             WriteDiskImage,     EncryptSettings, CopyTheme,
                             CopyLanguages,      CopyRuntime};

/// The absolute, symlink-resolved form of `path`, without a trailing separator.
fs::path Resolved(const fs::path& path) {
    fs::path resolved = fs::weakly_canonical(fs::absolute(path));
    return resolved.has_filename() ? resolved : resolved.parent_path();
}

void RefuseOverlap(const fs::path& product, const fs::path& out) {
    // Replacing an output folder that holds the product folder would delete the product.
    const fs::path p = Resolved(product);
    const fs::path o = Resolved(out);
    if (std::mismatch(o.begin(), o.end(), p.begin(), p.end()).first == o.end()) {
        throw BuildError(out.string() +
                         ": the setup folder cannot be or contain the product folder " +
                         product.string());
    }
}

} // namespace

PackReport Pack(const PackOptions& options) {
    try {
        RefuseOverlap(options.product_dir, options.out_dir);
        OutputFolder out(options.out_dir);
        PackContext ctx{options, out.staging(), {}, {}, {}, {}};
        for (Stage stage : kStages) {
            stage(ctx);
        }
        out.Commit();
        return ctx.report;
    } catch (const fs::filesystem_error& e) {
        throw BuildError(e.what());
    }
}

} // namespace cv::build
