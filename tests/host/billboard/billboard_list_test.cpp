#include "billboard/billboard_list.h"
#include "tests/host/common/memory_section.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace cv {
namespace {

TEST(ReadBillboardList, ReadsNamesTimesAndPositions) {
    MemorySection section{{{"TOTAL", "3"},
                           {"B0", "C:\\authoring\\pictures\\first.bmp"}, {"C0", "5"}, {"D0", "0"}, {"E0", "40"},
                           {"B1", "second.jpg"}, {"C1", "10"}, {"D1", "300"},
                           {"B2", "D:/art/third.gif"}, {"C2", "x"}, {"D2", "-20"}, {"E2", "7px"}}, {}};
    const BillboardList list = ReadBillboardList(section.lookup());
    ASSERT_EQ(list.count, 3);
    EXPECT_FALSE(list.Cut());
    EXPECT_EQ(list.items[0].picture, "first.bmp");
    EXPECT_EQ(list.items[0].seconds, 5);
    EXPECT_EQ(list.items[0].x, 1) << "0 counts as 1";
    EXPECT_EQ(list.items[0].y, 40);
    EXPECT_EQ(list.items[1].picture, "second.jpg");
    EXPECT_EQ(list.items[1].y, 1) << "missing counts as 1";
    EXPECT_EQ(list.items[2].picture, "third.gif");
    EXPECT_EQ(list.items[2].seconds, 0);
    EXPECT_EQ(list.items[2].x, 1);
    EXPECT_EQ(list.items[2].y, 7);
}

TEST(ReadBillboardList, LongListIsCutToTwentyAndNothingPastItIsRead) {
    MemorySection section{{{"TOTAL", "25"}, {"B19", "last.bmp"}, {"B20", "beyond.bmp"}}, {}};
    const BillboardList list = ReadBillboardList(section.lookup());
    EXPECT_EQ(list.count, 20);
    EXPECT_EQ(list.total, 25);
    EXPECT_TRUE(list.Cut());
    EXPECT_EQ(list.items[19].picture, "last.bmp");
    for (const std::string& key : section.asked)
        EXPECT_NE(key, "B20");
}

TEST(ReadBillboardList, NoCountGivesNoBillboards) {
    for (const char* total : {"", "0", "-4", "abc"}) {
        MemorySection section{{{"TOTAL", total}, {"B0", "a.bmp"}}, {}};
        EXPECT_EQ(ReadBillboardList(section.lookup()).count, 0) << total;
    }
}

TEST(BillboardMilliseconds, SecondsTimesAThousandWithinADay) {
    EXPECT_EQ(BillboardMilliseconds(1), 1000u);
    EXPECT_EQ(BillboardMilliseconds(0), 0u);
    EXPECT_EQ(BillboardMilliseconds(-5), 0u);
    EXPECT_EQ(BillboardMilliseconds(2147483647), 86400000u);
}

TEST(FindBillboardPicture, WorkFolderThenFirstThenSecondDiskImage) {
    const PictureFolders folders{"C:\\temp\\cv212500\\", "D:\\setup"};
    const std::string work = "C:\\temp\\cv212500\\a.bmp";
    const std::string disk1 = "D:\\setup\\DiskImage1\\a.bmp";
    const std::string disk2 = "D:\\setup\\DiskImage2\\a.bmp";
    struct Case {
        std::set<std::string> present;
        std::string found;
    };
    for (const Case& c : {Case{{work, disk1, disk2}, work}, Case{{disk1, disk2}, disk1}, Case{{disk2}, disk2},
                          Case{{}, disk2}}) {
        auto exists = [&c](const std::string& path) { return c.present.count(path) > 0; };
        EXPECT_EQ(FindBillboardPicture(folders, "a.bmp", exists), c.found);
    }
}

} // namespace
} // namespace cv
