#pragma once
/// The archive stage: writes file1.cab (and its continuation cabinets) into the setup folder
/// from the cabinet part of the planned layout (file_layout.h). A disk-image build has none.

#include "tools/cvbuild/pack_context.h"

namespace cv::build {

/// Writes the cabinets into the staging folder and records their names in the report.
void WriteArchive(PackContext& ctx);

} // namespace cv::build
