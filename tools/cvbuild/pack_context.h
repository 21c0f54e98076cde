#pragma once
/// What the packing stages share: the options, the staging folder, what earlier stages
/// found, and the report that grows as they run.

#include "tools/cvbuild/data_inf.h"
#include "tools/cvbuild/file_layout.h"
#include "tools/cvbuild/pack.h"

#include <filesystem>
#include <vector>

namespace cv::build {

struct PackContext {
    const PackOptions& options;
    std::filesystem::path staging;
    std::string settings;             ///< setup.inf as the setup gets it, once read
    std::vector<FileListEntry> files; ///< data.inf, once ReadFileList ran
    FileLayout layout;                ///< where the files go, once planned
    PackReport report;
};

} // namespace cv::build
