#pragma once
/// The step that creates the shortcuts and Internet shortcuts of the FOLDERCV table.

#include "engine/path_values.h"

#include <string>

namespace cv {

class CCVEngine;

/// The folder a shortcut at `location` goes into: the location without one trailing
/// backslash, as a shell folder, expanded, without its last component (the shortcut's own
/// name), ending with a backslash.
std::string ShortcutFolder(const std::string& location, const PathValues& values);

/// Whether the step creates (and logs) the shortcut folder of `location` as written: a
/// location in the Programs menu below a folder of its own, or any other Start menu or
/// desktop location with a backslash.
bool CreatesShortcutFolder(const std::string& location);

/// The show command of a window state: "Maximized" 3, "Minimized" 6; 0 (the link's default,
/// a normal window) otherwise.
int ShowCommandOf(const std::string& window_state);

/// A target given as a URL (it contains "http" or "HTTP").
bool IsUrlTarget(const std::string& target);

/// Runs the step; its failures affect only their own item.
void CreateShortcuts(CCVEngine& engine);

} // namespace cv
