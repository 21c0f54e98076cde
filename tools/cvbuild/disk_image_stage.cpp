#include "tools/cvbuild/disk_image_stage.h"

namespace cv::build {

namespace fs = std::filesystem;

namespace {

void CopyPlaced(const Placement& file, const fs::path& folder) {
    const fs::path target = folder / file.name;
    fs::copy_file(file.source, target);
    // As the setup leaves files it unpacks: the author's time, and writable (a read-only
    // copy would carry its read-only attribute into the install folder).
    fs::last_write_time(target, fs::last_write_time(file.source));
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write,
                    fs::perm_options::add);
}

} // namespace

void WriteDiskImage(PackContext& ctx) {
    const fs::path image = ctx.staging / kDiskImageFolder;
    if (ctx.options.kind == BuildKind::disk_images || !ctx.layout.disk_image.empty()) {
        fs::create_directory(image);
    }
    for (const Placement& file : ctx.layout.disk_image) {
        CopyPlaced(file, image);
    }
    for (const Placement& file : ctx.layout.beside_setup) {
        CopyPlaced(file, ctx.staging);
    }
    ctx.report.disk_image_count = ctx.layout.disk_image.size();
    ctx.report.beside_count = ctx.layout.beside_setup.size();
}

} // namespace cv::build
