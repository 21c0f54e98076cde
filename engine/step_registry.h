#pragma once
/// The step that creates the registry keys and values of the REGISTRYKEYS and REGISTRY tables.

namespace cv {

class CCVEngine;

/// Runs the step; its failures affect only their own item.
void WriteRegistryEntries(CCVEngine& engine);

} // namespace cv
