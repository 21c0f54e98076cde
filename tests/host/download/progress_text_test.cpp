// The texts of a running download at their boundaries, and when it reports.
#include "download/progress_text.h"
#include "download/transfer_progress.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace cv {
namespace {

TEST(ByteCountText, Boundaries) {
    struct Case {
        std::uint64_t bytes;
        const char* text;
    } cases[] = {
        {0, "0 Bytes"},
        {1023, "1023 Bytes"},
        {1024, "1.0 KB"},
        {1536, "1.5 KB"},
        {1048575, "1024.0 KB"},
        {1048576, "1.00 MB"},
        {1572864, "1.50 MB"},
        {3355443, "3.20 MB"},
        {5368709120ull, "5120.00 MB"}, // 5 GB: neither cut nor wrapped
    };
    for (const Case& c : cases)
        EXPECT_EQ(ByteCountText(c.bytes), c.text) << c.bytes;
}

TEST(TimeLeftText, Boundaries) {
    struct Case {
        std::uint64_t seconds;
        const char* text;
    } cases[] = {
        {0, "0 sec"}, {59, "59 sec"}, {60, "1 min"}, {61, "1 min 1 sec"},
        {120, "2 min"}, {125, "2 min 5 sec"}, {3600, "60 min"}, {3661, "61 min 1 sec"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TimeLeftText(c.seconds), c.text) << c.seconds;
}

TEST(ProgressText, TimeThenAmounts) {
    EXPECT_EQ(ProgressText(125, 1572864, 3355443), "2 min 5 sec (1.50 MB of 3.20 MB copied)");
    EXPECT_EQ(ProgressText(0, 1023, 1024), "0 sec (1023 Bytes of 1.0 KB copied)");
}

TEST(SpeedText, Boundaries) {
    struct Case {
        double bytes_per_ms;
        const char* text;
    } cases[] = {
        {0.0, "0 Bytes/Sec"},
        {0.5, "512 Bytes/Sec"},
        {0.999, "1023 Bytes/Sec"},
        {1.0, "1.00 KB/Sec"},
        {9.994, "9.99 KB/Sec"},
        {10.0, "10 KB/Sec"},
        {150.4, "150 KB/Sec"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SpeedText(c.bytes_per_ms), c.text) << c.bytes_per_ms;
}

TEST(DownloadTexts, TemplatesComeFromTheStringTable) {
    DownloadTexts texts;
    texts.sec = "noch %1 s";
    texts.copied = "%1 [%2]";
    texts.of = "%1/%2";
    EXPECT_EQ(ProgressText(5, 10, 20, texts), "noch 5 s [10 Bytes/20 Bytes]");
    EXPECT_EQ(FillPlaceholders("%2-%1-%3%", "a", "b"), "b-a-%3%");
}

TEST(DownloadPercent, WithAndWithoutLength) {
    EXPECT_EQ(DownloadPercent(0, 100), 0);
    EXPECT_EQ(DownloadPercent(99, 100), 99);
    EXPECT_EQ(DownloadPercent(100, 100), 100);
    EXPECT_EQ(DownloadPercent(150, 100), 100); // a server that sends more than it announced
    const std::uint64_t six_gb = 6ull << 30;
    EXPECT_EQ(DownloadPercent(six_gb / 2, six_gb), 50); // no 32-bit wrap
    EXPECT_EQ(DownloadPercent(~0ull - 1, ~0ull), 99);
    // No length: moves with the bytes, never reaches the end.
    EXPECT_EQ(DownloadPercent(0, 0), 0);
    EXPECT_EQ(DownloadPercent(1048576, 0), 49);
    int last = 0;
    for (std::uint64_t bytes = 1024; bytes < (1ull << 50); bytes *= 4) {
        const int p = DownloadPercent(bytes, 0);
        EXPECT_GE(p, last) << bytes;
        EXPECT_LT(p, 100) << bytes;
        last = p;
    }
    EXPECT_EQ(last, 98);
}

TEST(TransferProgress, ReportsAtMostOnceASecond) {
    const std::uint64_t length = 3355443;
    TransferProgress progress(length, 5000);
    EXPECT_EQ(progress.AfterRead(1024, 5000), std::nullopt);
    EXPECT_EQ(progress.AfterRead(2048, 6000), std::nullopt); // exactly 1000 ms: not yet
    // 1001 ms: 102400 bytes in 1001 ms, about 102 KB/Sec; time left from the average since
    // the start: 1001 / 102400 × (3355443 - 102400) / 1000 = 31.8 s.
    EXPECT_EQ(progress.AfterRead(102400, 6001), "3,31 sec (100.0 KB of 3.20 MB copied),102 KB/Sec");
    EXPECT_EQ(progress.AfterRead(204800, 6500), std::nullopt);
    // The next second: 1572864 - 102400 bytes in 1500 ms, ~980 KB/Sec; time left
    // 2500 / 1572864 × 1782579 / 1000 = 2.8 s.
    EXPECT_EQ(progress.AfterRead(1572864, 7501), "46,2 sec (1.50 MB of 3.20 MB copied),980 KB/Sec");
    EXPECT_EQ(progress.progress_text(), "2 sec (1.50 MB of 3.20 MB copied)");
    EXPECT_EQ(progress.speed_text(), "980 KB/Sec");
}

TEST(TransferProgress, SlowAndStalledTransfers) {
    TransferProgress progress(1000000, 0);
    // Nothing received yet: the speed alone, no progress text.
    EXPECT_EQ(progress.AfterRead(0, 2000), "0,,0 Bytes/Sec");
    // 600 bytes in 1200 ms: 0.5 bytes/ms, shown as 512 Bytes/Sec; time left
    // 3200 / 600 × (1000000 - 600) / 1000 = 5330.1 s.
    EXPECT_EQ(progress.AfterRead(600, 3200), "0,88 min 50 sec (600 Bytes of 976.6 KB copied),512 Bytes/Sec");
    // Below 10 KB/Sec: two decimals. Time left 4700 / 8100 × 991900 / 1000 = 575.5 s.
    EXPECT_EQ(progress.AfterRead(600 + 5 * 1500, 4700), "0,9 min 35 sec (7.9 KB of 976.6 KB copied),5.00 KB/Sec");
}

TEST(TransferProgress, TheTickMayWrap) {
    TransferProgress progress(2048, 0xFFFFFF00u);
    EXPECT_EQ(progress.AfterRead(10, 0xFFFFFFF0u), std::nullopt);
    // 0x500 = 1280 ms since the start: 1024 bytes / 1280 ms = 0.8, shown as 819 Bytes/Sec.
    EXPECT_EQ(progress.AfterRead(1024, 0x00000400u), "50,1 sec (1.0 KB of 2.0 KB copied),819 Bytes/Sec");
}

TEST(TransferProgress, WithoutLengthTheAmountAndSpeedOnly) {
    TransferProgress progress(0, 0);
    EXPECT_EQ(progress.AfterRead(1048576, 1001), "49,,1.00 MB copied - 1048 KB/Sec");
    EXPECT_EQ(progress.AfterRead(3145728, 2002), "74,,3.00 MB copied - 2095 KB/Sec");
}

} // namespace
} // namespace cv
