// The process cache notices rewritten and removed files.
#include "common/profile_cache.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace cv {
namespace {

namespace fs = std::filesystem;

class ProfileCacheTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("cv_profile_cache_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        path_ = (dir_ / "layout.lcd").string();
    }
    void TearDown() override { fs::remove_all(dir_); }
    void Write(const std::string& text) {
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << text;
    }
    fs::path dir_;
    std::string path_;
};

TEST_F(ProfileCacheTest, ParsesOnceAndAgainAfterRewrite) {
    ProfileCache cache;
    Write("[s]\nk=old\n");
    auto first = cache.get(path_);
    ASSERT_TRUE(first);
    EXPECT_EQ(cache.get(path_), first); // unchanged file: same snapshot, no new parse
    EXPECT_EQ(cache.parse_count(), 1u);

    // Same size, later time: still noticed.
    Write("[s]\nk=new\n");
    fs::last_write_time(path_, fs::last_write_time(path_) + std::chrono::seconds(2));
    auto second = cache.get(path_);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->get("s", "k"), "new");
    EXPECT_EQ(first->get("s", "k"), "old"); // an earlier snapshot stays valid
    EXPECT_EQ(cache.parse_count(), 2u);

    // Different size, time set back to the old one: noticed by the size.
    auto t = fs::last_write_time(path_);
    Write("[s]\nk=longer value\n");
    fs::last_write_time(path_, t);
    EXPECT_EQ(cache.get(path_)->get("s", "k"), "longer value");

    fs::remove(path_);
    EXPECT_FALSE(cache.get(path_));
}

TEST_F(ProfileCacheTest, EvictsLeastRecentlyUsed) {
    ProfileCache cache(2);
    std::string a = (dir_ / "a.ini").string(), b = (dir_ / "b.ini").string(),
                c = (dir_ / "c.ini").string();
    for (const auto& p : {a, b, c})
        std::ofstream(p) << "[s]\nk=" << p << "\n";
    cache.get(a);
    cache.get(b);
    cache.get(a); // b is now the oldest
    cache.get(c);
    EXPECT_EQ(cache.parse_count(), 3u);
    cache.get(a);
    EXPECT_EQ(cache.parse_count(), 3u);
    cache.get(b);
    EXPECT_EQ(cache.parse_count(), 4u);
}

TEST_F(ProfileCacheTest, MissingFileReadsAsDefault) {
    char buf[16];
    std::string missing = (dir_ / "none.inf").string();
    EXPECT_EQ(ReadProfileString("s", "k", "\"d\"  ", buf, sizeof buf, missing), 1u);
    EXPECT_STREQ(buf, "d"); // as for an empty file
    EXPECT_EQ(ReadProfileString("s", "k", nullptr, buf, sizeof buf, missing), 0u);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(GetProfileValue(missing, "s", "k", "default value", 8), "default");

    Write("[s]\nk=\"v\"\n");
    EXPECT_EQ(GetProfileValue(path_, "S", "K"), "v");
    EXPECT_EQ(ReadProfileString("s", "k", "", buf, sizeof buf, path_), 1u);
    EXPECT_STREQ(buf, "v");
}

} // namespace
} // namespace cv
