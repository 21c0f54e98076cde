#pragma once
// The one path through which every bound on untrusted input is checked. A failed check throws
// a CabFailure, which the public entry points turn into a Result; nothing is asserted and no
// check is compiled out. The message is built only when the check fails.

#include "archive/cab_status.h"

#include <string>
#include <utility>

namespace cv::cab {

struct CabFailure {
    Status status;
    std::string message;
};

[[noreturn]] inline void fail(Status status, std::string message) {
    throw CabFailure{status, std::move(message)};
}

/// Fails with `status` and the message made by `describe()` unless `condition` holds.
template <class Describe> inline void check(bool condition, Status status, Describe&& describe) {
    if (!condition) [[unlikely]]
        fail(status, describe());
}

} // namespace cv::cab
