#pragma once
/// Loads a picture file (BMP, GIF, JPEG) through the platform's OLE picture loader and
/// returns an owned bitmap copy of it.

#include "framework/handle.h"

#include <string>

namespace cv {

/// A null bitmap when the file is missing, empty or not a picture the loader knows.
UniqueBitmap LoadPictureFile(const std::string& path);

} // namespace cv
