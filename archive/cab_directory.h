#pragma once
/// Reading one cabinet's header, folder records and file records.

#include "archive/cab_format.h"
#include "archive/cab_io.h"
#include "archive/cab_status.h"

#include <string>

namespace cv::cab {

/// Reads and checks the directory of the cabinet that starts at `base` in `stream`. `name`
/// appears in messages. Fails with not_cabinet for a wrong signature or version and with
/// corrupt for anything truncated or out of range.
Result read_directory(Stream& stream, std::uint64_t base, const std::string& name,
                      CabinetDirectory& out);

/// Offsets in `stream` at which a cabinet directory reads without error, for files in which
/// cabinets are embedded in other data. At most `limit` offsets are returned.
std::vector<std::uint64_t> find_cabinets(Stream& stream, std::size_t limit = 64);

namespace detail {
/// As read_directory, but throws CabFailure (archive/checked.h).
CabinetDirectory load_directory(Stream& stream, std::uint64_t base, const std::string& name);
} // namespace detail

} // namespace cv::cab
