#pragma once
/// The step that creates the registry keys and values of the REGISTRYKEYS and REGISTRY tables.

#include "engine/install_target.h"

#include <cstddef>
#include <optional>
#include <string>

namespace cv {

class CCVEngine;

/// Longest key path, value name and data (after expansion) a REGISTRY row may carry; a
/// longer one refuses the row.
inline constexpr std::size_t kMaxRegistryRowText = 499;

/// The value a REGISTRY row writes for its type column ("0"/"String", "1"/"DWORD",
/// "2"/"Binary") and data: a string with its terminating zero, the DWORD of the text's
/// leading decimal (as atoi reads it: "0x10" gives 0), or the text's own bytes followed by a
/// zero byte. nullopt for any other type.
std::optional<RegistryData> RegistryRowData(const std::string& type, const std::string& text);

/// Runs the step; its failures affect only their own item.
void WriteRegistryEntries(CCVEngine& engine);

} // namespace cv
