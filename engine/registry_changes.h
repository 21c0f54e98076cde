#pragma once
/// RegistryChanges: the registry writes of one step, with what they found reported to the
/// run's prior state. A key the step's own writes created is not "existing before" for a
/// later value written into it; a key or value that was there is reported once, before the
/// first change; a value whose present state cannot be read is not overwritten, since what
/// it held could then be neither kept nor put back.

#include "engine/install_target.h"

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace cv {

class CCVEngine;

/// Largest old value read to be reported (a larger one is not overwritten).
inline constexpr std::size_t kMaxPriorValueBytes = 1 << 20;

/// The root named exactly `name` ("HKEY_LOCAL_MACHINE" ...); nullopt for any other text.
std::optional<RegRoot> RegRootFromName(std::string_view name);

/// A string value as stored: the text and its terminating zero.
RegistryData StringData(const std::string& text, std::uint32_t type = kRegSz);

class RegistryChanges {
  public:
    explicit RegistryChanges(CCVEngine& engine) : engine_(engine) {}

    /// Makes `key` exist under `root` (parents too). True when it exists afterwards.
    bool CreateKey(RegRoot root, const std::string& key);
    /// Writes a value into the existing `key` (it is not created). False when the key is
    /// missing, the present value cannot be read, or the write fails.
    bool SetValue(RegRoot root, const std::string& key, const std::string& name, const RegistryData& value);
    /// Deletes a value, reporting it first. False when it was not there or could not go.
    bool DeleteValue(RegRoot root, const std::string& key, const std::string& name);
    /// Reports `key` as existing before the run, unless this step created it (once per key).
    void NoteExistingKey(RegRoot root, const std::string& key);

  private:
    static std::string Id(RegRoot root, const std::string& key);
    /// Reads the present value and reports it; false when it cannot be read.
    bool NoteValue(RegRoot root, const std::string& key, const std::string& name);

    CCVEngine& engine_;
    std::set<std::string> created_;
    std::set<std::string> reported_;
};

} // namespace cv
