#include "tools/cvbuild/output_folder.h"

#include "tools/cvbuild/build_error.h"

#include <string>
#include <system_error>
#include <unistd.h>

namespace cv::build {

namespace fs = std::filesystem;

namespace {

/// A hidden sibling of `dir` named for this process and `role`.
fs::path Sibling(const fs::path& dir, const char* role) {
    return dir.parent_path() /
           ("." + dir.filename().string() + "." + role + "-" + std::to_string(::getpid()));
}

} // namespace

OutputFolder::OutputFolder(const fs::path& final_dir) {
    // Without a file name part ("out/"), the sibling would land inside the folder.
    final_ = fs::absolute(final_dir).lexically_normal();
    if (!final_.has_filename()) {
        final_ = final_.parent_path();
    }
    std::error_code error;
    if (fs::exists(final_, error)) {
        if (!fs::is_directory(final_)) {
            throw BuildError(final_.string() + ": exists and is not a folder");
        }
        if (!fs::is_empty(final_) && !fs::exists(final_ / "setup.nsx")) {
            throw BuildError(final_.string() +
                             ": exists and is not a setup folder (no setup.nsx); not replacing it");
        }
    }
    fs::create_directories(final_.parent_path());
    staging_ = Sibling(final_, "cvbuild");
    fs::remove_all(staging_);
    fs::create_directory(staging_);
}

OutputFolder::~OutputFolder() {
    if (!committed_) {
        std::error_code error;
        fs::remove_all(staging_, error);
    }
}

void OutputFolder::Commit() {
    std::error_code error;
    if (!fs::exists(final_, error)) {
        fs::rename(staging_, final_);
        committed_ = true;
        return;
    }
    const fs::path old = Sibling(final_, "cvbuild-old");
    fs::remove_all(old);
    fs::rename(final_, old);
    fs::rename(staging_, final_, error);
    if (error) {
        fs::rename(old, final_); // put the earlier setup folder back
        throw BuildError(final_.string() +
                         ": cannot move the new setup folder into place: " + error.message());
    }
    committed_ = true;
    fs::remove_all(old, error);
}

} // namespace cv::build
