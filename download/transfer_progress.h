#pragma once
/// When a running download reports to the page and what it says: at most about once a
/// second, "<percent>,<progress text>,<speed text>". The clock is passed in (milliseconds of a
/// 32-bit tick that may wrap), so the cadence is tested without waiting.

#include "download/progress_text.h"

#include <cstdint>
#include <optional>
#include <string>

namespace cv {

/// The longest quiet time between two reports, in milliseconds.
inline constexpr std::uint32_t kReportIntervalMs = 1000;

/// Where the bar stands after `received` bytes of `length` (0: the length is unknown). With a
/// length, received × 100 / length cut to an integer (at most 100). Without one the bar moves
/// by bytes and slows down as they come, staying below 100 until the transfer ends: 99 ×
/// received / (received + 1 MB).
int DownloadPercent(std::uint64_t received, std::uint64_t length);

class TransferProgress {
  public:
    TransferProgress(std::uint64_t length, std::uint32_t start_tick, DownloadTexts texts = {});

    /// After every read, with the bytes received so far: the report for the page when more
    /// than kReportIntervalMs have passed since the last one (or the start), otherwise nullopt.
    /// The speed counts the bytes since the last report; the time left comes from the average
    /// since the start. Without a length the report carries no time part: "<percent>,,<amount>
    /// copied - <speed>".
    std::optional<std::string> AfterRead(std::uint64_t received, std::uint32_t now);

    const std::string& progress_text() const { return progress_text_; }
    const std::string& speed_text() const { return speed_text_; }

  private:
    DownloadTexts texts_;
    std::uint64_t length_;
    std::uint32_t start_tick_;
    std::uint32_t last_tick_;
    std::uint64_t last_bytes_ = 0;
    std::string progress_text_;
    std::string speed_text_;
};

} // namespace cv
