#pragma once
/// The mark of a split-files build: [BUILDING] CURRENTBUILD "Split Files" in setup.inf. The
/// setup reads it at start-up and then unpacks file1.cab into the install folder itself
/// instead of its work folder.

#include <string>
#include <string_view>

namespace cv::build {

inline constexpr std::string_view kSplitFilesMark = "Split Files";

/// True when the setup would read `settings` (the text of setup.inf) as a split-files build.
bool IsMarkedSplitFiles(std::string_view settings);

/// `settings` with the mark set and the rest of the text as it was: the first CURRENTBUILD
/// entry of the first [BUILDING] section is rewritten, or an entry is put right after that
/// section's header, or a [BUILDING] section is added at the end. Names are matched as the
/// setup's settings reader matches them (case and surrounding blanks do not count). Raises
/// BuildError if the setup would still not read the mark (a text it cannot be put into).
std::string WithSplitFilesMark(std::string_view settings);

} // namespace cv::build
