#pragma once
/// Turning a product folder into a setup folder.
///
/// The product folder holds the plain setup.inf and data.inf, theme/, optionally
/// language.lan and languages/, and the product's files that data.inf names. The setup
/// folder gets setup.nsx and data.nsx (the two settings files encrypted), copies of theme/,
/// language.lan and languages/, and setup.exe. Packing runs as a list of stages over one
/// context; the setup folder is built beside its final place and moved there at the end.

#include "tools/cvbuild/data_inf.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace cv::build {

struct PackOptions {
    std::filesystem::path product_dir;
    std::filesystem::path out_dir;
    /// The runtime to copy as setup.exe; it must exist when given.
    std::optional<std::filesystem::path> runtime;
    /// The runtime used when `runtime` is not given; a missing one only draws a warning.
    std::filesystem::path default_runtime;
};

struct PackReport {
    std::vector<std::string> warnings;
    std::size_t file_count = 0; ///< entries of data.inf
    bool runtime_copied = false;
};

/// Packs `options.product_dir` into `options.out_dir`, replacing an earlier setup folder
/// there. Raises BuildError, naming the file at fault, and then leaves no output behind.
PackReport Pack(const PackOptions& options);

} // namespace cv::build
