#pragma once
/// LoadFileData: reads the file list, creates the log folder, the install folder and every
/// destination folder, and logs "TOTALFILE" and the "DIR" lines.

#include <string>

namespace cv {

class CCVEngine;

/// Reads data.inf into the engine's file list. Returns false when it cannot be read or is
/// refused (an over-long record string, too many destination folders); `error` then says
/// why when there is more to say than that. Nothing is created or logged before the whole list
/// has been accepted. In preview the list is read and nothing else happens.
bool LoadFileData(CCVEngine& engine, std::string& error);

} // namespace cv
