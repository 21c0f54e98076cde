#pragma once
/// The uninstall-time program ([APPINFO] "a11", its command line "a12") and the
/// remove-everything switch ("a13"), set up for the maintenance program right after the file
/// list is loaded.

namespace cv {

class CCVEngine;

/// Copies the program into the log folder and logs "RUN3RD" (its file name) and "RUN3RDCMD"
/// (the expanded command line); a program given by URL is logged as the URL with an empty
/// command line; "a13" of "No" logs "REMOVEALL=Yes". A program that is not there is left out.
void InstallUninstallProgram(CCVEngine& engine);

} // namespace cv
