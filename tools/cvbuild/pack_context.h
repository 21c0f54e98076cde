#pragma once
/// What the packing stages share: the options, the staging folder, what earlier stages
/// found, and the report that grows as they run.

#include "tools/cvbuild/data_inf.h"
#include "tools/cvbuild/pack.h"

#include <filesystem>
#include <vector>

namespace cv::build {

struct PackContext {
    const PackOptions& options;
    std::filesystem::path staging;
    std::vector<FileListEntry> files; ///< data.inf, once ReadFileList ran
    PackReport report;
};

} // namespace cv::build
