#pragma once
/// The disk-image stage: lays out the files that the planned layout (file_layout.h) puts into
/// DiskImage1 or beside setup.exe, uncompressed, with their modification times.

#include "tools/cvbuild/pack_context.h"

namespace cv::build {

/// Name of the folder of uncompressed files beside setup.exe.
inline constexpr const char* kDiskImageFolder = "DiskImage1";

/// Copies the files into the staging folder. A disk-image build always gets DiskImage1, even
/// an empty one: the folder itself tells the setup to run from disk images.
void WriteDiskImage(PackContext& ctx);

} // namespace cv::build
