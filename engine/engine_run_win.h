#pragma once
/// The installation run with the Win32 parts: what the wizard calls on its window thread.

#include "engine/engine.h"

namespace cv {

/// What GetVersionExA reports, for the Windows-version token.
WindowsVersion CurrentWindowsVersion();

/// One installation: the Win32 install target, the uninstall log file of the context's
/// product, a CCVEngine over them and `progress`, and its `Run`. `split` extracts the archive
/// in a split-files build (may be null otherwise); `download` fetches the files given by web
/// addresses. Returns 1 once the worker thread has ended.
int RunInstallation(EngineContext context, IInstallProgress& progress, ISplitInstaller* split,
                    IFileDownload* download = nullptr);

} // namespace cv
