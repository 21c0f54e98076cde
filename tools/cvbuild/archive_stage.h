#pragma once
/// The archive stage: writes file1.cab (and its continuation cabinets) into the setup folder.
///
/// Every data.inf record that is not a URL is stored as "F<i>_<name>": i is the record's
/// position in data.inf counting every record from 0 (URL records too), name the file-name
/// part of its source line; the setup unpacks the cabinet into its work folder and copies
/// the installed files from there under these names. The support files that the settings
/// and layouts name (support_files.h) and the uninstaller cvexec.exe, when one is given or
/// found, are stored under their bare names.

#include "tools/cvbuild/pack_context.h"

#include "archive/cab_writer.h"

#include <string>
#include <vector>

namespace cv::build {

/// The name under which data.inf record `position` with source line `source` is stored.
std::string StoredFileName(std::size_t position, const std::string& source);

/// The cabinet entries for `ctx`, in cabinet order: the data.inf records, then the support
/// files, then cvexec.exe. Raises BuildError naming every support file that is missing (with
/// where it is named), a stored name over 255 characters, two different files that the setup
/// would see under the same name (names compared without regard to case), or an archive
/// without any file.
std::vector<cab::WriterEntry> ArchiveEntries(PackContext& ctx);

/// Writes the cabinets into the staging folder and records their names in the report.
void WriteArchive(PackContext& ctx);

} // namespace cv::build
