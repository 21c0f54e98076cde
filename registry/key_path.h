#pragma once
/// The portable part of the registry helper: how key paths given with a root name are read.

#include <string>
#include <string_view>

namespace cv {

/// The longest key path, value name or value text the registry helper passes on; longer
/// texts are cut.
inline constexpr std::size_t kMaxRegistryText = 255;

/// The five root names the helper knows, in the order they are removed from key paths.
inline constexpr std::string_view kRegistryRootNames[] = {
    "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
    "HKEY_CURRENT_CONFIG"};

/// Index into kRegistryRootNames of `name` (exact, case-sensitive), or -1.
int RegistryRootIndex(std::string_view name);

/// `path` with every occurrence of each root name followed by a backslash removed, one root
/// name after the other ("HKEY_LOCAL_MACHINE\\Software\\Acme" gives "Software\\Acme").
std::string StripRegistryRootNames(std::string_view path);

/// `text` cut to kMaxRegistryText characters.
std::string CutRegistryText(std::string_view text);

} // namespace cv
