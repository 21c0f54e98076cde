#pragma once
/// The run as a deployment tool sees it: the command line, the run log, what happened
/// (for the exit code) and the product's mutex. One object for the process; without
/// arguments it changes nothing (no log, nothing silent, exit code 0).

#include "app/command_line.h"
#include "app/exit_code.h"
#include "app/run_log.h"
#include "framework/handle.h"

#include <functional>
#include <string>
#include <string_view>

namespace cv {

class UnattendedRun {
  public:
    /// Reads the command line and opens the log it names.
    void Start(std::string_view command_line);

    const CommandLine& commandLine() const { return line_; }
    /// "/S": nothing is shown and nothing waits for a person.
    bool Silent() const { return line_.silent; }
    /// Any argument given: the run ends with a documented exit code.
    bool CommandLineMode() const { return line_.given; }
    RunOutcome& outcome() { return outcome_; }

    /// One line to the run log (nothing without "/LOG=").
    void Log(std::string_view text) { log_.Write(text); }
    /// A message the user is shown, or in silent mode would have been: logged as such.
    /// Returns true when it is to be shown (not silent).
    bool Message(std::string_view text);
    /// As Message, and the run has failed (1603).
    bool Failure(std::string_view text);

    /// Takes the product's named mutex; false (and 1618 noted) when another setup of the same
    /// product code holds it. Taken in every run, so that a silent run also sees an
    /// interactive one; only a run with arguments ends on it.
    bool ClaimProduct(const std::string& product_code);

    /// The exit code of the run, logged as the log's last line; `quit_code` is what the
    /// message loop ended with (returned unchanged for a run without arguments).
    int End(int quit_code);

  private:
    CommandLine line_;
    RunOutcome outcome_;
    RunLog log_;
    UniqueKernelHandle productMutex_;
    bool ended_ = false;
};

UnattendedRun& unattendedRun();

/// Who the unpacking asks for a missing disk (archive/compress.h's DiskPrompt): nobody in a
/// run without arguments (the unpacking's own box then asks, as it always did); with
/// arguments the request is logged, a silent run gives up at once (1603) and a person may
/// retry or cancel (1602) instead of the process ending with 0.
std::function<bool(const std::string&)> DiskPromptForRun();

} // namespace cv
