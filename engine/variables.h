#pragma once
/// Expansion of the variables that installation texts and page texts carry
/// ("<ProgramFilesFolder>\\MyApp"), and of the shortcut locations of the script.

#include "engine/path_values.h"

#include <string>
#include <string_view>

namespace cv {

/// The engine's expansion, applied to every path and value of the installation script.
/// A text with neither "<" nor ">" comes back unchanged. Otherwise the folder and product
/// variables are replaced in a fixed order (plain case-sensitive substring replacement, so a
/// value can itself be matched by a later variable), then the user variables in table order,
/// then each pair of backslashes becomes one, and finally, when the chosen install folder
/// differs from the default one (and is not "\\"), paths spelled out with the default
/// install folder are moved to the chosen one.
std::string ExpandVariables(std::string_view text, const PathValues& values);

/// The main frame's expansion for texts shown on wizard pages (`CMainFrame::ExpandVariables`).
/// As the engine's, except: after the "<"/">" test every "[" becomes "<" and every "]" ">"
/// (so "[ProductName]" expands only in a text that also holds "<" or ">"); "<USERNAME>" is
/// accepted beside "<UserName>"; "<CurrentDrive>" and "<CurrentDirectory>" are replaced before
/// "<InstallDir>"; the default install folder is not redirected.
std::string ExpandPageVariables(std::string_view text, const PathValues& values);

/// Turns a shortcut location of the script ("Start Menu\\Programs Menu\\Acme", "Desktop",
/// "Active Desktop\\Acme" for Quick Launch ...) into a real folder path.
std::string ExpandShellFolder(std::string_view location, const PathValues& values);

} // namespace cv
