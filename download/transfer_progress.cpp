#include "download/transfer_progress.h"

#include <algorithm>
#include <limits>

namespace cv {

namespace {

constexpr double kUnknownLengthScale = 1048576.0;

} // namespace

int DownloadPercent(std::uint64_t received, std::uint64_t length) {
    if (length == 0) {
        const double r = static_cast<double>(received);
        return static_cast<int>(99.0 * r / (r + kUnknownLengthScale));
    }
    if (received >= length)
        return 100;
    // received × 100 does not overflow below 2^64 / 100; past that, the division goes first.
    if (received <= std::numeric_limits<std::uint64_t>::max() / 100)
        return static_cast<int>(received * 100 / length);
    return std::min(99, static_cast<int>(received / (length / 100)));
}

TransferProgress::TransferProgress(std::uint64_t length, std::uint32_t start_tick, DownloadTexts texts)
    : texts_(std::move(texts)), length_(length), start_tick_(start_tick), last_tick_(start_tick) {}

std::optional<std::string> TransferProgress::AfterRead(std::uint64_t received, std::uint32_t now) {
    const int percent = DownloadPercent(received, length_);
    const std::uint32_t since_last = now - last_tick_; // unsigned: right across a tick wrap
    if (since_last <= kReportIntervalMs)
        return std::nullopt;
    const std::uint64_t fresh = received >= last_bytes_ ? received - last_bytes_ : 0;
    speed_text_ = SpeedText(static_cast<double>(fresh) / since_last, texts_);
    last_tick_ = now;
    last_bytes_ = received;
    if (received > 0) {
        if (length_ == 0) {
            progress_text_ = FillPlaceholders(texts_.received, ByteCountText(received, texts_));
        } else {
            const double elapsed = static_cast<std::uint32_t>(now - start_tick_);
            const std::uint64_t left_bytes = length_ > received ? length_ - received : 0;
            const double seconds = elapsed / static_cast<double>(received) * static_cast<double>(left_bytes) / 1000.0;
            progress_text_ = ProgressText(static_cast<std::uint64_t>(seconds), received, length_, texts_);
        }
    }
    if (length_ == 0) {
        std::string shown = progress_text_.empty() ? speed_text_ : progress_text_ + " - " + speed_text_;
        return std::to_string(percent) + ",," + shown;
    }
    return std::to_string(percent) + "," + progress_text_ + "," + speed_text_;
}

} // namespace cv
