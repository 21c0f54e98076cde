#pragma once
/// The file records whose source is a web address: the condition part of the address, the
/// destination it names, and the download with the copy's failure handling.

#include <string>

namespace cv {

class CCVEngine;
struct FileRecord;

/// A source line cut at its first "{": the address before it, and the name of the condition
/// that decides the download (the text after "{" without a closing "}", trimmed of spaces).
struct UrlSource {
    std::string url;
    std::string condition;
};
UrlSource SplitUrlSource(const std::string& source);

/// The destination of a web-address record: its folder without "Destination Computer\\", a
/// backslash unless the folder ends with one, and the address's file name (after its last
/// "/", the condition part cut off); not yet expanded.
std::string UrlDestinationPathOf(const FileRecord& record);

/// Installs a web-address record at `destination` (expanded). A condition part that does not
/// hold skips the download (returns true, nothing fetched). A failed transfer leaves nothing
/// at the destination and is asked about as a failed copy is: Retry downloads again, Ignore
/// goes on, Abort (or any failure of a critical file) ends the run as aborted. Returns false
/// when the run is to end: aborted, or Cancel confirmed during the transfer.
bool InstallUrlRecord(CCVEngine& engine, const std::string& source, const std::string& destination,
                      bool critical);

} // namespace cv
