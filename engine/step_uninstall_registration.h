#pragma once
/// RegisterUninstall: the product's entry in the list of installed programs, the maintenance
/// program and language file beside the log, the uninstall-time program and the Add/Remove
/// icon in the install folder.

#include <string>

namespace cv {

class CCVEngine;

/// "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\<a3>".
std::string UninstallKeyOf(const std::string& product_key);

/// Runs in the "Finishing settings..." stage. Copy and registry failures are silent.
void RegisterUninstall(CCVEngine& engine);

} // namespace cv
