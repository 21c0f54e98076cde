#pragma once
/// The length of a path that the system's ANSI file calls take.

#include <cstddef>

namespace cv {

/// Longest path: a 260-character buffer with its terminating zero.
inline constexpr std::size_t kMaxPathLength = 259;

} // namespace cv
