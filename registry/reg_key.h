#pragma once
/// Owning handle of an open registry key (the one handle template's alias: closed when the
/// owner goes, never copied), opening and creating keys, and the one reading of a value.

#include "framework/handle.h"

#include <cstddef>
#include <optional>
#include <string>

namespace cv {

using RegKey = UniqueRegKey;

/// Opens `path` under `root` with `access`; an empty key when that fails.
RegKey OpenRegKey(HKEY root, const char* path, REGSAM access);

/// Creates (or opens) `path` under `root`: non-volatile, empty class.
RegKey CreateRegKey(HKEY root, const char* path, REGSAM access);

/// A value as stored: its type and its bytes.
struct RegistryValue {
    DWORD type = REG_NONE;
    std::string bytes;
};

/// Value `name` of `key` when it exists and holds at most `max_bytes` bytes.
std::optional<RegistryValue> QueryRegistryValue(HKEY key, const char* name, std::size_t max_bytes);

/// The text of a string value (REG_SZ or REG_EXPAND_SZ, not expanded) up to its first NUL,
/// with or without a stored terminator; empty for a value of another type.
std::string RegistryText(const RegistryValue& value);

/// RegistryText of value `name` of `key`; empty when it is missing or longer than `max_bytes`.
std::string ReadRegistryText(HKEY key, const char* name, std::size_t max_bytes);

} // namespace cv
