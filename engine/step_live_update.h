#pragma once
/// Live update and live support: their settings under the product's uninstall key and their
/// client files beside the product, for the separate update and support programs.

#include <string>

namespace cv {

class CCVEngine;

/// [LIVEUPDATE] "1" = "Yes": "LVmode", "LVurl", "LVsilent" from keys "2" to "4" (expanded),
/// liveupdate.exe and liveupdate.inf copied into the folder of key "5" (or the install
/// folder). [LIVESUPPORT] "1" = "Yes": livesupport.exe and livesupport.inf into the install
/// folder. Each copy logs "FILE" with the copy and "FILE" with its folder, whether or not the
/// copy succeeded. Called by the uninstall registration once its key exists.
void InstallLiveUpdate(CCVEngine& engine, const std::string& uninstall_key);

} // namespace cv
