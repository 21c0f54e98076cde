#pragma once
/// The small rules of the wizard's file actions and condition actions that need no window:
/// which layout file a page title names, the text of a ShowMessage action and the
/// operating-system mask of a file action. How operands compare is engine/comparison.h.

#include <string>
#include <string_view>

namespace cv {

/// The trigger or event text that binds a file action or condition to the finish button.
inline constexpr std::string_view kFinishTrigger = "After Click Finish Button";

/// The layout file of a page title ("Install Welcome" gives "welcome.lcd"); any other text,
/// the finish trigger among them, comes back as it is.
std::string PageFileForTitle(std::string_view title);

/// The text a ShowMessage action shows: everything after its first "(" without the last two
/// characters (the ")" and ";" of "ShowMessage(Disk is full);"). Without a "(" the whole
/// action is taken; too short a text gives an empty one.
std::string ShowMessageText(std::string_view action);

/// Whether a file action with operating-system mask `mask` runs on the Windows version named
/// `version_name`: bit 1 "VIS", 2 "NET", 4 "XP", 8 "2000", 16 "NT4", 32 "ME", 64 "98SE",
/// 128 "98"; a clear bit shuts its version out. A name outside the table (or empty) is
/// always admitted.
bool OperatingSystemAdmitted(int mask, std::string_view version_name);

} // namespace cv
