#pragma once
/// The small rules of conditions and file actions that need no window: how two operands
/// compare, which layout file a page title names, how the keys of a condition's actions are
/// formed, the text of a ShowMessage action and the operating-system mask of a file action.

#include <string>
#include <string_view>

namespace cv {

/// The trigger or event text that binds a file action or condition to the finish button.
inline constexpr std::string_view kFinishTrigger = "After Click Finish Button";
/// The condition name of a file action that runs without a condition.
inline constexpr std::string_view kNoCondition = "No Condition";

/// The leading decimal number of `text` as a C library conversion reads it (blanks, a sign,
/// digits with an optional point and exponent); 0 when the text does not start with one.
/// Hexadecimal forms, "inf" and "nan" are not numbers here.
double LeadingDecimal(std::string_view text);

/// Whether `left op right` holds: "==" and "!=" compare the texts byte for byte; ">", "<",
/// ">=" and "=<" compare their leading numbers. Any other operator never holds.
bool ComparisonHolds(std::string_view left, std::string_view op, std::string_view right);

/// The layout file of a page title ("Install Welcome" gives "welcome.lcd"); any other text,
/// the finish trigger among them, comes back as it is.
std::string PageFileForTitle(std::string_view title);

/// The settings key of action `action` of condition `condition`: both decimals written one
/// after the other (condition 1, action 2 gives "12").
std::string ConditionActionKey(int condition, int action);

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
