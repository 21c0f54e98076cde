#pragma once
// Test support for the reader: a handler that keeps every file in memory, and running
// cabextract as the reference extractor.

#include "archive/cab_reader.h"

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace cv::test {

using Bytes = std::vector<std::uint8_t>;

/// Collects extracted files by stored name (folder separators turned into '/') and counts the
/// events.
class MemoryHandler : public cab::ExtractHandler {
  public:
    std::map<std::string, Bytes> files;
    std::vector<std::string> events; ///< "info NAME", "enum N", "partial NAME", "copy NAME", ...
    /// Called for the next-cabinet event; returns whether to retry. Default: give up.
    std::function<bool(const cab::MissingCabinet&)> on_missing;

    void cabinet_info(const std::string& cabinet, const cab::CabinetHeader&) override;
    void enumeration(const std::string&, std::size_t count) override;
    void partial_file(const std::string&, const cab::FileRecord& f) override;
    std::unique_ptr<cab::FileSink> copy_file(const std::string&, const cab::FileRecord& f) override;
    bool close_file(const cab::FileRecord& f, std::unique_ptr<cab::FileSink> sink) override;
    bool next_cabinet(const cab::MissingCabinet& m) override;
};

/// Extracts like cvcab: from offset 0, or from every cabinet found inside a file that does
/// not start with one. Returns the first failure.
cab::Result extract_file_set(const std::string& path, MemoryHandler& handler);

/// A cabinet holding one file `name` of `size` bytes in one folder of compression
/// `type_word` (type in the low byte, window bits above), made of `blocks` (32768 output bytes
/// each, the last one shorter), without checksums.
Bytes write_one_folder_cabinet(const std::vector<Bytes>& blocks, std::uint32_t type_word,
                               std::size_t size, const std::string& name);

/// A fresh empty folder under the system temp folder.
std::filesystem::path make_temp_folder(const std::string& tag);

/// Whether cabextract can be run.
bool have_cabextract();

/// Runs cabextract on `cabinet` into `out` and reads back every file it wrote, keyed by its
/// path relative to `out`. Returns false when cabextract reports a failure.
bool cabextract(const std::filesystem::path& cabinet, const std::filesystem::path& out,
                std::map<std::string, Bytes>& files);

} // namespace cv::test
