#pragma once
/// Before a step overwrites a file that is already there, a copy of it is taken into
/// the work folder ("backup\<work folder name>_<position>_<name>"), and the prior state notes
/// the file with its copy: a rollback puts the old bytes back, and after a finished run the
/// copies move into the log folder ("backup\", same names) so that removal can put them back
/// too. A file that an only-if-absent record keeps is noted without a copy: it was there.

#include <string>

namespace cv {

class CCVEngine;

/// Called right before `destination` is overwritten by the record at `position`.
void BackUpBeforeOverwrite(CCVEngine& engine, const std::string& destination, int position);
/// The same for any other step that replaces an existing file (a shortcut, a link's icon):
/// `label` ("lnk3") keeps its copy apart from those of the file records.
void BackUpBeforeReplacing(CCVEngine& engine, const std::string& destination, const std::string& label);
/// Called for a file that the record keeps because it exists.
void NoteKeptFile(CCVEngine& engine, const std::string& destination);
/// The work folder's backup folder (ends in a backslash).
std::string BackupFolder(const CCVEngine& engine);
/// After a finished run: the copies into the log folder's "backup\".
void KeepBackups(CCVEngine& engine);

} // namespace cv
