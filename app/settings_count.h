#pragma once
/// The row count of a table section of the product settings, through the one table reader.

#include "common/table_section.h"

#include <cstddef>
#include <string_view>

namespace cv {

class CMainFrame;

/// The count under `key` of `section` in the settings of `wizard`, for a table of `bound`
/// rows. Callers that only ask whether a table is written use `total`.
TableCount SettingsTableCount(const CMainFrame& wizard, const char* section, std::size_t bound,
                              std::string_view key = kTotalKey);

} // namespace cv
