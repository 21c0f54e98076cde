#pragma once
/// The step that creates the INI files and entries of the INIINFO and INIDATA tables.

namespace cv {

class CCVEngine;

/// Runs the step; its failures affect only their own item.
void WriteIniEntries(CCVEngine& engine);

} // namespace cv
