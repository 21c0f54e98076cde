#pragma once
/// Starting a program for the run: the removal of a previous version, file actions and the
/// add-on step all start programs the same way.

#include <string>

namespace cv {

/// Starts `program` with `arguments` and waits until it has ended. A program that begins
/// with "http" is opened with the shell's default handler instead and not waited for.
/// Returns false when nothing could be started (a missing program is not an error of the
/// run: the caller goes on).
bool StartProgramAndWait(const std::string& program, const std::string& arguments);

/// Runs `command_line` as a new process (its first word names the program) and waits until
/// it has ended while still dispatching this thread's window messages, so that the page on
/// show keeps painting. False when it could not be started.
bool RunCommandAndWait(const std::string& command_line);

/// Opens `file` with the shell's default handler, passing `parameters`, without waiting.
bool OpenWithShell(const std::string& file, const std::string& parameters = {});

} // namespace cv
