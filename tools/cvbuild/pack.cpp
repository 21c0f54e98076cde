#include "tools/cvbuild/pack.h"

#include "tools/cvbuild/archive_stage.h"
#include "tools/cvbuild/build_error.h"
#include "tools/cvbuild/output_folder.h"
#include "tools/cvbuild/pack_context.h"
#include "tools/cvbuild/settings_files.h"
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
    ReadReadableFile(ProductFile(ctx, "setup.inf"), "setup.inf (the product settings)");
    if (!fs::is_directory(ProductFile(ctx, "theme"), error)) {
        throw BuildError(ProductFile(ctx, "theme").string() +
                         ": missing theme folder (the page layouts)");
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

void EncryptSettings(PackContext& ctx) {
    EncryptSettingsFile(ProductFile(ctx, "setup.inf"), ctx.staging / "setup.nsx");
    // The file list is written back with CR LF line ends, which the installer's reader
    // needs, whatever line ends the author's editor used.
    const fs::path plain = ctx.staging / ".data.inf";
    {
        std::ofstream out(plain, std::ios::binary | std::ios::trunc);
        out << FormatFileList(ctx.files);
        if (!out.flush()) {
            throw BuildError(plain.string() + ": cannot write");
        }
    }
    EncryptSettingsFile(plain, ctx.staging / "data.nsx");
    fs::remove(plain);
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

// In order; each stage may rely on the ones before it. The archive comes early so that
// missing files are reported before anything else is written.
constexpr Stage kStages[] = {CheckProductFolder, CheckLayouts,  ReadFileList, WriteArchive,
                             EncryptSettings,    CopyTheme,     CopyLanguages, CopyRuntime};

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
        PackContext ctx{options, out.staging(), {}, {}};
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
