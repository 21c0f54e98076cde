#pragma once
/// The step that creates the file associations of the EXTCV table.

namespace cv {

class CCVEngine;

/// Runs the step; its failures affect only their own item.
void CreateFileAssociations(CCVEngine& engine);

} // namespace cv
