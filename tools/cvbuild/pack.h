#pragma once
/// Turning a product folder into a setup folder.
///
/// The product folder holds the plain setup.inf and data.inf, theme/, optionally
/// language.lan and languages/, the product's files that data.inf names and the support
/// files that the settings name. The setup folder gets setup.nsx and data.nsx (the two
/// settings files encrypted), file1.cab (and file2.cab ... when spanning) with the product's
/// and the support files, copies of theme/, language.lan and languages/, and setup.exe. Packing runs as a list of stages over one
/// context; the setup folder is built beside its final place and moved there at the end.

#include "archive/cab_writer.h"
#include "tools/cvbuild/data_inf.h"

#include <cstdint>
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
    /// The uninstaller stored as cvexec.exe; it must exist when given.
    std::optional<std::filesystem::path> uninstaller;
    /// The uninstaller used when `uninstaller` is not given; a missing one is left out.
    std::filesystem::path default_uninstaller;
    cab::Compression compression = cab::Compression::mszip;
    /// Largest size of one cabinet in bytes; 0 keeps everything in file1.cab.
    std::uint64_t max_cabinet_size = 0;
};

struct PackReport {
    std::vector<std::string> warnings;
    std::size_t file_count = 0; ///< entries of data.inf
    bool runtime_copied = false;
    std::size_t archived_count = 0;  ///< files in the cabinets
    std::size_t support_count = 0;   ///< support files among them (names, before merging)
    bool uninstaller_copied = false; ///< cvexec.exe among them
    std::vector<std::string> cabinets; ///< "file1.cab", "file2.cab", ... in set order
};

/// Packs `options.product_dir` into `options.out_dir`, replacing an earlier setup folder
/// there. Raises BuildError, naming the file at fault, and then leaves no output behind.
PackReport Pack(const PackOptions& options);

} // namespace cv::build
