#pragma once
/// Text helpers for Windows paths that need no file system: the trailing backslash of a
/// folder and the file name part of a path.

#include <string>
#include <string_view>

namespace cv {

/// `folder` ending in exactly the backslash it had or one added; an empty text gets one too.
std::string WithTrailingBackslash(std::string_view folder);

/// `path` without its trailing backslashes.
std::string WithoutTrailingBackslash(std::string_view path);

/// The part of `path` after its last "\" or "/" (all of it when it has neither).
std::string FileNamePart(std::string_view path);

} // namespace cv
