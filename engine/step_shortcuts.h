#pragma once
/// The step that creates the shortcuts and Internet shortcuts of the FOLDERCV table.

namespace cv {

class CCVEngine;

/// Runs the step; its failures affect only their own item.
void CreateShortcuts(CCVEngine& engine);

} // namespace cv
