#pragma once
/// The prior-state file: what an installation found already on the machine where it changed
/// something, kept beside the uninstall log ("prior.log" in the log folder) so that removal
/// takes away only the product's part and a rollback can put back what a run overwrote.
///
/// Format: one record per line, "KIND=origin<TAB>field<TAB>...\r\n", appended and written
/// one whole line at a time like the uninstall log. Fields are escaped: "%", TAB, CR, LF and
/// the other bytes below 32 are written "%XX" (two upper-case hex digits), so a value holding
/// any byte (a REG_BINARY's data) fits on one line. origin is "M" when the thing was on the
/// machine before the product, "E" when an earlier installation of the same product had
/// made it. Kinds and fields:
///   FILEREPLACED  path, backup (the copy taken before overwriting; may be empty)
///   INIFILE       file
///   INIREPLACED   file, section, key, value before
///   INIADDED      file, section, key
///   REGKEY        root name, key
///   REGVALUE      root name, key, value name, type (decimal), data before (raw bytes)
///   ENVAPPEND     root name, key, variable name, the entry appended
///   SELFREG       file (a library the run registered; not something found before, but
///                 the log cannot tell it, and removal unregisters it first)
///   REGKEYMADE    root name, key (a key the run created, parents included; removal
///                 deletes it when empty)
/// The reader skips a last line without CR LF, unknown kinds, lines with too few fields and
/// lines with bad escapes. For one subject the first record counts: a record carried over
/// from the earlier installation comes first and knows more.

#include "engine/prior_state.h"
#include "engine/uninstall_log_reader.h"
#include "engine/uninstall_log_writer.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cv {

inline constexpr const char* kPriorStateFileName = "prior.log";

enum class PriorKind {
    FileReplaced,
    IniFileExisted,
    IniEntryReplaced,
    IniEntryAdded,
    RegistryKeyExisted,
    RegistryValueReplaced,
    EnvironmentAppended,
    SelfRegistered,
    RegistryKeyCreated,
};

struct PriorRecord {
    PriorKind kind = PriorKind::FileReplaced;
    /// Made by an earlier installation of the product, not found on the machine before it.
    bool earlier = false;
    RegRoot root = RegRoot::LocalMachine;
    std::string path;    ///< the file, INI file or registry key
    std::string backup;  ///< FileReplaced: the copy of the old bytes
    std::string section; ///< INI section
    std::string name;    ///< INI key, registry value name or variable name
    std::string data;    ///< the value before, or the environment entry appended
    std::uint32_t type = 0;

    bool operator==(const PriorRecord&) const = default;
};

/// The line of one record, CR LF included.
std::string FormatPriorRecord(const PriorRecord& record);

struct PriorStateContent {
    std::vector<PriorRecord> records;
    int skipped_lines = 0;
    bool cut_short = false;
};
PriorStateContent ReadPriorState(std::string_view text);

/// "HKEY_LOCAL_MACHINE" and the other root names back to their root; false for any other text.
bool ParseRegRoot(std::string_view name, RegRoot& root);

/// Records what the steps report into a sink (the file on disk), and keeps this run's records
/// in memory for a rollback.
class PriorStateRecorder final : public IPriorState {
  public:
    explicit PriorStateRecorder(ILogSink& sink) : sink_(sink) {}

    /// The earlier installation of the same product: its log names what the product itself
    /// had made (such a thing found now is marked "E"), and its prior-state records, written
    /// first into the new file, keep what the machine held before the product at all.
    void StartFromEarlier(const UninstallLogContent& earlier_log,
                          const std::vector<PriorRecord>& earlier_records);

    void FileReplaced(const std::string& path, const std::string& backup) override;
    void IniFileExisted(const std::string& file) override;
    void IniEntryReplaced(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& before) override;
    void IniEntryAdded(const std::string& file, const std::string& section, const std::string& key) override;
    void RegistryKeyExisted(RegRoot root, const std::string& key) override;
    void RegistryValueReplaced(RegRoot root, const std::string& key, const std::string& name,
                               std::uint32_t type, const std::string& data) override;
    void EnvironmentAppended(RegRoot root, const std::string& key, const std::string& name,
                             const std::string& entry) override;
    void SelfRegistered(const std::string& file) override;
    void RegistryKeyCreated(RegRoot root, const std::string& key) override;

    /// What this run recorded, in order (the carried-over records not included).
    const std::vector<PriorRecord>& this_run() const { return this_run_; }
    /// Lets go of the file (a rollback replaces it).
    void CloseFile() { sink_.Close(); }
    int lost_lines() const { return lost_; }

  private:
    void Record(PriorRecord record);
    bool MadeEarlier(const std::vector<std::string>& list, const std::string& subject) const;

    ILogSink& sink_;
    UninstallLogContent earlier_;
    std::vector<PriorRecord> this_run_;
    int lost_ = 0;
};

} // namespace cv
