#pragma once
/// The rollback of a cancelled or aborted run (CCVEngine::RollBack, defined here) and what it
/// needs from the start of the run: the earlier installation's log and prior-state file,
/// read and copied into the work folder before the run deletes them.

#include <optional>
#include <string>

namespace cv {

class CCVEngine;

/// Reads the earlier installation's log and prior-state file of this product (nullopt for
/// a missing one), copies them into the work folder ("earlier_uninstall.log",
/// "earlier_prior.log"), deletes the prior-state file (the run starts a new one) and notes
/// whether the log folder existed.
void KeepEarlierLog(CCVEngine& engine, std::optional<std::string>& log, std::optional<std::string>& prior,
                    bool& log_folder_existed);

} // namespace cv
