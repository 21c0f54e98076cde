#pragma once
/// The texts a download shows while it runs: amounts, time left, speed. Built from templates
/// with "%1" and "%2" placeholders, which the program takes from its string table (ids 104 to
/// 114) and which default to the texts below.

#include <cstdint>
#include <string>
#include <string_view>

namespace cv {

struct DownloadTexts {
    std::string kb_per_sec = "%1 KB/Sec";       // 104
    std::string bytes = "%1 Bytes";             // 105
    std::string mb = "%1 MB";                   // 107
    std::string of = "%1 of %2";                // 108
    std::string kb = "%1 KB";                   // 109
    std::string sec = "%1 sec";                 // 110
    std::string min = "%1 min";                 // 111
    std::string min_sec = "%1 min %2 sec";      // 112
    std::string copied = "%1 (%2 copied)";      // 113
    std::string bytes_per_sec = "%1 Bytes/Sec"; // 114
    /// The amount alone, when the server did not say how long the file is.
    std::string received = "%1 copied";
};

/// `pattern` with every "%1" replaced by `first` and every "%2" by `second`.
std::string FillPlaceholders(std::string_view pattern, std::string_view first, std::string_view second = {});

/// A byte count: below 1024 "N Bytes", from 1048576 on "N.NN MB", otherwise "N.N KB".
std::string ByteCountText(std::uint64_t bytes, const DownloadTexts& texts = {});
/// Seconds as "N sec" below a minute, else "N min" or "N min M sec".
std::string TimeLeftText(std::uint64_t seconds, const DownloadTexts& texts = {});
/// "<time> (<received> of <length> copied)".
std::string ProgressText(std::uint64_t seconds_left, std::uint64_t received, std::uint64_t length,
                         const DownloadTexts& texts = {});
/// The speed from bytes per millisecond (about KB per second): below 1 as "N Bytes/Sec"
/// (times 1024), below 10 as "N.NN KB/Sec", otherwise "N KB/Sec".
std::string SpeedText(double bytes_per_ms, const DownloadTexts& texts = {});

} // namespace cv
