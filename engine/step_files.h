#pragma once
/// CopyFiles and CopyOneFile: installs every record of the file list with its flags, and the
/// pure decisions they are made of.

#include <cstdint>
#include <optional>
#include <string>

namespace cv {

class CCVEngine;
struct FileRecord;

/// Where a record's file lies in the source folder: "<source folder>F<position>_<name>".
std::string SourcePathOf(const std::string& source_folder, int position, const FileRecord& record);

/// The record's destination file: its folder without "Destination Computer\\", a backslash
/// unless the folder ends with one, the file name (not yet expanded).
std::string DestinationPathOf(const FileRecord& record);

/// The attributes a file with `current` attributes gets after installation under `flags`:
/// read-only set or cleared as the flags say, hidden and system added when flagged. Returns
/// nullopt when nothing changes.
std::optional<std::uint32_t> AttributesAfterInstall(std::uint32_t current, std::int32_t flags);

/// True when the destination lies in a fonts folder (its path contains "Fonts").
bool IsFontDestination(const std::string& destination);

/// Installs every record in file order, moving the bar per record. Returns false when the
/// user aborted, a critical file failed or Cancel was confirmed (checked before each file).
bool CopyFiles(CCVEngine& engine);

/// Copies one file over an existing one (a read-only one included), asking
/// retry/ignore/abort on failure (only abort for a critical file).
/// `source_available` false (a download not yet possible) fails the copy like a missing source.
/// Returns true when the file is installed or the user ignored the failure; false on abort,
/// after the work folder was removed and the run marked aborted. A font is also registered,
/// and returns true whatever happened.
bool CopyOneFile(CCVEngine& engine, const std::string& source, const std::string& destination,
                 bool critical, bool source_available = true);

} // namespace cv
