#pragma once
/// The cabinet reader: walks a cabinet and the following cabinets of its set, decodes the
/// folders and reports each event to a handler, which decides where the files go.

#include "archive/cab_format.h"
#include "archive/cab_io.h"
#include "archive/cab_status.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace cv::cab {

/// Receives the bytes of one extracted file.
class FileSink {
  public:
    virtual ~FileSink() = default;
    /// Appends `n` bytes; false stops the extraction (status aborted).
    virtual bool write(const std::uint8_t* data, std::size_t n) = 0;
    /// Why the last write failed, for the message.
    virtual std::string error() const { return {}; }
};

/// Takes a file's bytes and keeps none: for testing a cabinet, and for files an extractor
/// skips (their bytes must still be decoded for the files after them in the folder).
class DiscardSink : public FileSink {
  public:
    bool write(const std::uint8_t*, std::size_t) override { return true; }
};

/// A later cabinet of the set that could not be opened.
struct MissingCabinet {
    std::string folder;       ///< folder of the first cabinet, with its separator ("" if none)
    std::string cabinet_name; ///< the name the previous cabinet gives
    std::string disk_name;    ///< the disk name the previous cabinet gives
};

/// The events of an extraction, in the order the reader meets them. Names are as stored.
class ExtractHandler {
  public:
    virtual ~ExtractHandler() = default;
    /// A cabinet of the set has been opened and its directory checked.
    virtual void cabinet_info(const std::string& cabinet, const CabinetHeader& header) {}
    /// About to process the `files` file records of `cabinet`.
    virtual void enumeration(const std::string& cabinet, std::size_t files) {}
    /// A file whose data began in an earlier cabinet (or in a folder that did): nothing of it
    /// is extracted from here.
    virtual void partial_file(const std::string& cabinet, const FileRecord& file) {}
    /// A file is about to be written: returns where to, or null to stop with status aborted
    /// (`refusal()` then says why).
    virtual std::unique_ptr<FileSink> copy_file(const std::string& cabinet,
                                                const FileRecord& file) = 0;
    /// The file is complete and `sink` holds all of it; false stops with status aborted.
    virtual bool close_file(const FileRecord& file, std::unique_ptr<FileSink> sink) = 0;
    /// The set continues in a cabinet that could not be opened: true makes the reader try
    /// again, false gives up (status missing_cabinet).
    virtual bool next_cabinet(const MissingCabinet& missing) { return false; }
    /// Why copy_file or close_file refused, for the message.
    virtual std::string refusal() const { return {}; }
};

struct ExtractOptions {
    std::uint64_t offset = 0;    ///< where the first cabinet starts in its file
    bool verify_checksums = true;
};

/// Extracts every file of the cabinet `path` opened through `io` and of the cabinets that
/// continue it (opened by the names the set gives, in the folder of `path`).
Result extract(Io& io, const std::string& path, ExtractHandler& handler,
               const ExtractOptions& options = {});

/// The folder part of `path` including its last '/' or '\\' ("" when there is none).
std::string folder_part(const std::string& path);

/// The name a stored file is written under: the part of its stored name after the last '\\'
/// or '/', so that a folder part never leads outside the destination; "" when that part is
/// empty, "." or ".." (a stored name such as "/" or "dir\\"): such a file has nowhere to go,
/// and the extractors skip it with `skipped_file_warning`.
std::string stored_file_name(const std::string& stored);

/// The warning for a file skipped because its stored name has no file name part.
std::string skipped_file_warning(const std::string& stored);

/// Whether a cabinet name read from a cabinet is a bare file name (no folder part, not "."
/// or ".."), so that it cannot lead outside the folder of the first cabinet.
bool is_bare_name(const std::string& name);

} // namespace cv::cab
