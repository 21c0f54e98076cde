#include "download/progress_text.h"

#include <cstdio>

namespace cv {

namespace {

std::string Printf(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

std::string FillPlaceholders(std::string_view pattern, std::string_view first, std::string_view second) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && (pattern[i + 1] == '1' || pattern[i + 1] == '2')) {
            out += pattern[i + 1] == '1' ? first : second;
            ++i;
        } else {
            out.push_back(pattern[i]);
        }
    }
    return out;
}

std::string ByteCountText(std::uint64_t bytes, const DownloadTexts& texts) {
    if (bytes < 1024)
        return FillPlaceholders(texts.bytes, std::to_string(bytes));
    if (bytes >= 1048576)
        return FillPlaceholders(texts.mb, Printf("%0.2f", static_cast<double>(bytes) / 1048576.0));
    return FillPlaceholders(texts.kb, Printf("%0.1f", static_cast<double>(bytes) / 1024.0));
}

std::string TimeLeftText(std::uint64_t seconds, const DownloadTexts& texts) {
    if (seconds < 60)
        return FillPlaceholders(texts.sec, std::to_string(seconds));
    const std::string minutes = std::to_string(seconds / 60);
    if (seconds % 60 == 0)
        return FillPlaceholders(texts.min, minutes);
    return FillPlaceholders(texts.min_sec, minutes, std::to_string(seconds % 60));
}

std::string ProgressText(std::uint64_t seconds_left, std::uint64_t received, std::uint64_t length,
                         const DownloadTexts& texts) {
    const std::string amount = FillPlaceholders(texts.of, ByteCountText(received, texts), ByteCountText(length, texts));
    return FillPlaceholders(texts.copied, TimeLeftText(seconds_left, texts), amount);
}

std::string SpeedText(double bytes_per_ms, const DownloadTexts& texts) {
    if (bytes_per_ms < 1.0)
        return FillPlaceholders(texts.bytes_per_sec, Printf("%0.0f", bytes_per_ms * 1024.0));
    if (bytes_per_ms < 10.0)
        return FillPlaceholders(texts.kb_per_sec, Printf("%0.2f", bytes_per_ms));
    return FillPlaceholders(texts.kb_per_sec, Printf("%0.0f", bytes_per_ms));
}

} // namespace cv
