#pragma once
/// Turning a product folder into a setup folder.
///
/// The product folder holds the plain setup.inf and data.inf, theme/, optionally
/// language.lan and languages/, the product's files that data.inf names and the support
/// files that the settings name. The setup folder gets setup.nsx and data.nsx (the two
/// settings files encrypted), the product's and the support files (file_layout.h says where,
/// for each kind of build), copies of theme/, language.lan and languages/, and setup.exe.
/// Packing runs as a list of stages over one context; the setup folder is built beside its
/// final place and moved there at the end.

#include "archive/cab_writer.h"
#include "tools/cvbuild/data_inf.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace cv::build {

/// How the setup finds the product's files.
enum class BuildKind {
    /// In file1.cab, unpacked into the setup's work folder before the first page.
    compressed,
    /// In file1.cab under their own names, unpacked by the installation straight into the
    /// install folder; setup.inf is marked "Split Files".
    split_files,
    /// Uncompressed in DiskImage1 beside setup.exe; no cabinet.
    disk_images,
};

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
    BuildKind kind = BuildKind::compressed;
    cab::Compression compression = cab::Compression::mszip;
    /// Largest size of one cabinet in bytes; 0 keeps everything in file1.cab.
    std::uint64_t max_cabinet_size = 0;
};

struct PackReport {
    std::vector<std::string> warnings;
    std::size_t file_count = 0; ///< entries of data.inf
    bool runtime_copied = false;
    std::size_t archived_count = 0;  ///< files in the cabinets
    std::size_t disk_image_count = 0; ///< files in DiskImage1
    std::size_t beside_count = 0;     ///< support files beside setup.exe (split-files builds)
    std::size_t support_count = 0;   ///< support files among them all (names, before merging)
    bool uninstaller_copied = false; ///< cvexec.exe among them
    std::vector<std::string> cabinets; ///< "file1.cab", "file2.cab", ... in set order
};

/// Packs `options.product_dir` into `options.out_dir`, replacing an earlier setup folder
/// there. Raises BuildError, naming the file at fault, and then leaves no output behind.
PackReport Pack(const PackOptions& options);

} // namespace cv::build
