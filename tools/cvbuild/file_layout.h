#pragma once
/// Where each file of a build goes and under which name.
///
/// - Compressed: everything in file1.cab; the data.inf records as "F<i>_<name>", the support
///   files and cvexec.exe under their bare names. The setup unpacks it into its work folder.
/// - Disk images: the same names, uncompressed, in DiskImage1; no cabinet.
/// - Split files: the records in file1.cab under their bare names (the installation unpacks
///   them straight into the install folder); the support files in DiskImage1, except those
///   the installation reads from its source folder (the uninstall-time program and its icon,
///   the live-update and live-support files, cvexec.exe), which lie beside setup.exe.
///
/// "F<i>_<name>": i is the record's position in data.inf counting every record from 0 (URL
/// records too), name the file-name part of its source line.

#include "tools/cvbuild/pack.h"

#include <filesystem>
#include <string>
#include <vector>

namespace cv::build {

struct PackContext;

struct Placement {
    std::string name;               ///< the file's name in its place
    std::filesystem::path source;   ///< the file in the product folder (or the uninstaller)
    std::string origin;             ///< what names it, e.g. "data.inf line 3"
};

struct FileLayout {
    std::vector<Placement> cabinet;      ///< file1.cab (and its continuations), in order
    std::vector<Placement> disk_image;   ///< DiskImage1
    std::vector<Placement> beside_setup; ///< the setup folder itself
};

/// The name under which data.inf record `position` with source line `source` is stored in a
/// compressed or disk-image build.
std::string StoredFileName(std::size_t position, const std::string& source);

/// The layout of `ctx`'s build (kind, file list, setup.inf, uninstaller). Adds warnings to
/// the report for what the setup will not find or do, and counts support files. Raises
/// BuildError naming every support file that is missing (with where it is named), a name over
/// 255 characters, two different files that would get the same name in one place (compared
/// without regard to case, as on Windows), a support file beside setup.exe that would take
/// the name of the setup's own files, or a cabinet build with nothing to put in file1.cab.
FileLayout PlanFileLayout(PackContext& ctx);

} // namespace cv::build
