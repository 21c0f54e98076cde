#pragma once
/// The step that creates the environment variables of the ENVIRCV table.

#include <cstddef>
#include <optional>
#include <string>

namespace cv {

class CCVEngine;

/// Longest variable name and value a row may carry (after expansion); a longer one refuses
/// the row.
inline constexpr std::size_t kMaxEnvironmentText = 254;
/// Longest value a variable may reach (the system's limit, in characters).
inline constexpr std::size_t kMaxEnvironmentValue = 32767;

/// The value after appending `entry` to `present` with a ";" between (none added when the
/// present value already ends with one), or nullopt when `present` already holds `entry`
/// as one of its ";"-separated entries (compared without regard to case or a trailing
/// backslash). A missing variable (empty `present`) gives ";" and the entry.
std::optional<std::string> AppendedPathValue(const std::string& present, const std::string& entry);

/// Runs the step; its failures affect only their own item. Once any variable changed, every
/// top-level window is told that the environment changed.
void SetEnvironmentVariables(CCVEngine& engine);

} // namespace cv
