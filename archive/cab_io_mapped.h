#pragma once
// Internal to the reader: cabinets mapped into memory where the system offers it, so their
// blocks are decoded in place.

#include "archive/cab_io.h"

#include <memory>
#include <string>

namespace cv::cab::detail {

/// A stream over the whole file `path` mapped read-only; null when the file cannot be
/// opened or mapped (an empty file, a pipe, a system without mappings): the caller then
/// reads it the ordinary way.
std::unique_ptr<Stream> open_mapped_file(const std::string& path);

} // namespace cv::cab::detail
