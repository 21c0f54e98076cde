#pragma once
/// The step that creates the environment variables of the ENVIRCV table.

namespace cv {

class CCVEngine;

/// Runs the step; its failures affect only their own item.
void SetEnvironmentVariables(CCVEngine& engine);

} // namespace cv
