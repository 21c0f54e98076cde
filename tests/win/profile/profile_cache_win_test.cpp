// The process cache notices a rewritten file through the Windows file stamp.
#include "common/profile_cache.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace cv {
namespace {

void WriteWithTime(const std::string& path, const std::string& text, ULONGLONG time) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    FILETIME ft{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
}

TEST(ProfileCacheWin, RereadsAfterRewrite) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string path = std::string(temp) + "cv_cache_" + std::to_string(GetCurrentProcessId()) + ".lcd";
    const ULONGLONG t0 = 133000000000000000ull;

    WriteWithTime(path, "[Window]\nCaption=Welcome\n", t0);
    EXPECT_EQ(GetProfileValue(path, "window", "caption"), "Welcome");
    std::uint64_t parses = ProfileCache::process().parse_count();
    EXPECT_EQ(GetProfileValue(path, "Window", "Caption"), "Welcome");
    EXPECT_EQ(ProfileCache::process().parse_count(), parses);

    // Same size, time 100 ns later: the finest step the stamp can see.
    WriteWithTime(path, "[Window]\nCaption=Bienven\n", t0 + 1);
    EXPECT_EQ(GetProfileValue(path, "Window", "Caption"), "Bienven");

    // Same time, other size.
    WriteWithTime(path, "[Window]\nCaption=Willkommen\n", t0 + 1);
    EXPECT_EQ(GetProfileValue(path, "Window", "Caption"), "Willkommen");

    DeleteFileA(path.c_str());
    EXPECT_EQ(GetProfileValue(path, "Window", "Caption", "gone"), "gone");
}

} // namespace
} // namespace cv
