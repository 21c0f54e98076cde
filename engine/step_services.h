#pragma once
/// The step that creates the Windows services of the NTSERVICE table.

namespace cv {

class CCVEngine;

/// Runs the step; its failures affect only their own item.
void InstallServices(CCVEngine& engine);

} // namespace cv
