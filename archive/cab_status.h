#pragma once
/// Results of the cabinet reader and writer: a small status for callers to branch on, with a
/// message for people that says what went wrong, where, and what was expected.

#include <string>

namespace cv::cab {

enum class Status {
    ok,
    open_failed,      ///< the first cabinet (or an output) could not be opened
    not_cabinet,      ///< no "MSCF" signature or a version other than 1.3
    corrupt,          ///< records, checksums or compressed data are wrong or truncated
    unsupported,      ///< a compression method whose decoder is not built in
    missing_cabinet,  ///< a later cabinet of the set was not found and the handler gave up
    aborted,          ///< the handler refused a file or could not write it
};

struct Result {
    Status status = Status::ok;
    std::string message; ///< "" on success

    bool ok() const { return status == Status::ok; }
};

/// A short fixed name of the status ("corrupt"), for messages and test output.
const char* status_name(Status s);

} // namespace cv::cab
