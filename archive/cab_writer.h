#pragma once
/// The cabinet writer used by the build tool (host only): packs a list of files into
/// `file1.cab`, uncompressed or MSZIP, optionally spread over a set of cabinets of a given
/// maximum size, with files and data blocks split across cabinet boundaries.

#include "archive/cab_status.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace cv::cab {

enum class Compression { none, mszip };

struct WriterEntry {
    std::string stored_name;         ///< the name in the cabinet (at most 255 characters)
    std::string source_path;         ///< read from this file when not empty
    std::vector<std::uint8_t> bytes; ///< the content when source_path is empty
    std::uint16_t date = 0;          ///< DOS date
    std::uint16_t time = 0;          ///< DOS time
    std::uint16_t attributes = 0;
};

struct WriterOptions {
    Compression compression = Compression::mszip;
    int level = 6;                       ///< deflate level 1 to 9
    std::uint64_t max_cabinet_size = 0;  ///< 0: everything in one cabinet
    std::uint16_t set_id = 0;
    /// Reserve areas (zero-filled) in every cabinet; all three 0 writes no reserve fields.
    std::uint16_t header_reserve = 0;
    std::uint8_t folder_reserve = 0, data_reserve = 0;
    /// Name of cabinet `n` of the set (from 1): "file1.cab", "file2.cab", ...
    std::function<std::string(unsigned)> cabinet_name = [](unsigned n) {
        return "file" + std::to_string(n) + ".cab";
    };
    /// Disk name of cabinet `n`: "Disk1", "Disk2", ...
    std::function<std::string(unsigned)> disk_name = [](unsigned n) {
        return "Disk" + std::to_string(n);
    };
};

/// Writes the cabinets into the folder `out_dir` (which must exist); on success `written`
/// (when given) receives their paths in set order.
Result write_cabinets(const std::vector<WriterEntry>& entries, const std::string& out_dir,
                      const WriterOptions& options, std::vector<std::string>* written = nullptr);

} // namespace cv::cab
