#pragma once
/// Carries a removal plan out on a machine, one step after another. A thing that is already
/// gone counts as removed; a folder or key that still holds something not the product's is
/// kept and noted, not failed. Everything else that could not be undone is a failure, with
/// the step's text, so that the uninstaller can report it and end with a non-zero code.

#include "engine/removal_plan.h"
#include "engine/removal_target.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace cv {

struct RemovalReport {
    std::vector<std::string> failures; ///< the steps that failed, described
    /// folders and keys left because they were not empty; files left as they are because
    /// the copy of their old bytes is gone
    std::vector<std::string> kept;
};

/// Called before each step with its position (from 0), the count and the step.
using RemovalProgress = std::function<void(int position, int count, const RemovalStep& step)>;

RemovalReport CarryOutRemoval(const RemovalPlan& plan, IRemovalTarget& target,
                              const RemovalProgress& progress = {});

/// The registry bytes of a list variable (PATH) without the one entry `entry` that an
/// installation appended: the last ";"-separated occurrence (compared without regard to case)
/// goes with the separator before it; the rest stays byte for byte, its terminating NULs
/// included. nullopt when the entry is not in the value.
std::optional<std::string> WithoutListEntry(std::string_view value, std::string_view entry);

} // namespace cv
