// The uninstall log and prior-state readers and the removal plan built from them, on
// arbitrary input. The input is split at the first NUL byte: the log before it, the
// prior-state file after it (a NUL cannot occur in either file's lines, so both halves stay
// reachable). The plan must never remove a protected folder or a path that is not absolute.
#include "engine/prior_state_file.h"
#include "engine/removal_plan.h"
#include "engine/uninstall_log_reader.h"

#include <cstdint>
#include <string_view>

namespace {

bool Names(const std::string& path, std::string_view folder) {
    return cv::SameWindowsPath(path, folder);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view all(reinterpret_cast<const char*>(data), size);
    std::size_t cut = all.find('\0');
    std::string_view log_text = all.substr(0, cut);
    std::string_view prior_text = cut == std::string_view::npos ? std::string_view() : all.substr(cut + 1);

    cv::RemovalInput input;
    input.log = cv::ReadUninstallLog(log_text);
    cv::PriorStateContent prior = cv::ReadPriorState(prior_text);
    input.prior = prior.records;
    for (const cv::PriorRecord& r : prior.records) {
        // A record read back formats to a line that reads back to the same record.
        cv::PriorStateContent again = cv::ReadPriorState(cv::FormatPriorRecord(r));
        if (again.records.size() != 1 || !(again.records[0] == r))
            __builtin_trap();
    }
    input.log_folder = "C:\\Windows\\Installer\\{Fuzz}";
    input.install_folder = "C:\\Program Files\\Fuzz";
    input.uninstall_key = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{Fuzz}";
    input.protected_folders = {"C:\\Windows", "C:\\Windows\\System32", "C:\\Program Files", "C:\\Users"};
    cv::RemovalPlan plan = cv::PlanRemoval(input);
    for (const cv::RemovalStep& step : plan.steps) {
        if (step.action != cv::RemovalAction::RemoveFolderIfEmpty && step.action != cv::RemovalAction::RemoveFile &&
            step.action != cv::RemovalAction::EmptyInstallFolder)
            continue;
        if (!cv::IsAbsoluteBelowRoot(step.path))
            __builtin_trap(); // a relative path or a drive root would be removed
        for (const std::string& folder : input.protected_folders)
            if (Names(step.path, folder))
                __builtin_trap(); // a protected folder would be removed
    }
    return 0;
}
