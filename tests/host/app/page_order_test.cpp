// The wizard's page order: building the list, next and back with the custom-setup skip, the
// completion page and the bound of the list.

#include "app/page_order.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cv {
namespace {

PageOrder OrderOf(const std::vector<std::string>& files) {
    PageOrder order;
    EXPECT_TRUE(order.Build(static_cast<long>(files.size()),
                            [&](int i) { return files[static_cast<std::size_t>(i)]; }));
    return order;
}

const std::vector<std::string> kWizard = {"welcome.lcd", "setuptype.lcd", "customsetup.lcd", "ready.lcd",
                                          "progress.lcd"};

TEST(PageOrderTest, ForwardAndBackThroughTheWholeListWithCustomSetup) {
    PageOrder order = OrderOf(kWizard);
    EXPECT_EQ(order.position(), -1);
    EXPECT_EQ(order.count(), 5);
    std::vector<std::string> seen;
    while (order.Advance(2))
        seen.push_back(order.Current().file);
    EXPECT_EQ(seen, kWizard);
    // Past the end the position stays on the last page; the completion page comes next.
    EXPECT_EQ(order.position(), 4);
    EXPECT_EQ(order.Completion(), (PageOpening{"complete.lcd", 5, 5}));
    EXPECT_EQ(order.position(), 5);

    order = OrderOf(kWizard);
    order.Advance(2);
    order.Advance(2);
    order.Advance(2);
    EXPECT_EQ(order.Current(), (PageOpening{"customsetup.lcd", 2, 5}));
    EXPECT_EQ(order.StepBack(2), (PageOpening{"setuptype.lcd", 1, 5}));
}

TEST(PageOrderTest, TypicalAndMinimalPassOverTheCustomSetupPageBothWays) {
    for (int type : {0, 1}) {
        SCOPED_TRACE(type);
        PageOrder order = OrderOf(kWizard);
        order.Advance(type);
        ASSERT_TRUE(order.Advance(type));
        EXPECT_EQ(order.Current().file, "setuptype.lcd");
        ASSERT_TRUE(order.Advance(type));
        EXPECT_EQ(order.Current(), (PageOpening{"ready.lcd", 3, 5}));
        EXPECT_EQ(order.StepBack(type), (PageOpening{"setuptype.lcd", 1, 5}));
    }
    // No type chosen yet (-1) or an unknown one: nothing is skipped.
    for (int type : {-1, 3}) {
        PageOrder order = OrderOf(kWizard);
        order.Advance(type);
        order.Advance(type);
        order.Advance(type);
        EXPECT_EQ(order.Current().file, "customsetup.lcd");
    }
}

TEST(PageOrderTest, TheSkipAfterTheSetupTypePageTakesWhateverPageFollowsIt) {
    // Next skips by position (the page after the setup-type page), Back by name: a list
    // without the custom-setup page there loses the following page only going forwards.
    PageOrder order = OrderOf({"setuptype.lcd", "ready.lcd", "progress.lcd"});
    order.Advance(0);
    ASSERT_TRUE(order.Advance(0));
    EXPECT_EQ(order.Current().file, "progress.lcd");
    EXPECT_EQ(order.StepBack(0).file, "ready.lcd");
}

TEST(PageOrderTest, BackNeverGoesBeforeTheFirstPage) {
    PageOrder order = OrderOf(kWizard);
    order.Advance(2);
    EXPECT_EQ(order.StepBack(2), (PageOpening{"welcome.lcd", 0, 5}));
    EXPECT_EQ(order.StepBack(2), (PageOpening{"welcome.lcd", 0, 5}));
    // From before the first page as well.
    PageOrder fresh = OrderOf(kWizard);
    EXPECT_EQ(fresh.StepBack(0).position, 0);
}

TEST(PageOrderTest, EmptyListGoesStraightToTheCompletionPage) {
    PageOrder order = OrderOf({});
    EXPECT_FALSE(order.Advance(-1));
    EXPECT_EQ(order.position(), -1);
    EXPECT_EQ(order.Current().file, "");
    EXPECT_EQ(order.Completion(), (PageOpening{"complete.lcd", 0, 0}));
}

TEST(PageOrderTest, ALongerListIsCutAndOnlyItsRoomIsRead) {
    PageOrder order;
    int reads = 0;
    EXPECT_FALSE(order.Build(1000000000L, [&](int i) {
        ++reads;
        return "page" + std::to_string(i) + ".lcd";
    }));
    EXPECT_EQ(reads, static_cast<int>(kMaxPages));
    EXPECT_EQ(order.count(), static_cast<int>(kMaxPages));
    EXPECT_EQ(order.PageAt(static_cast<int>(kMaxPages) - 1), "page19.lcd");
    EXPECT_EQ(order.PageAt(static_cast<int>(kMaxPages)), "");
    EXPECT_EQ(order.PageAt(-1), "");

    // A negative count reads nothing; a rebuild forgets the earlier list and position.
    order.Advance(2);
    EXPECT_TRUE(order.Build(-4, [&](int) { ++reads; return std::string("x"); }));
    EXPECT_EQ(order.count(), 0);
    EXPECT_EQ(order.position(), -1);
    EXPECT_EQ(order.PageAt(0), "");
    EXPECT_EQ(reads, static_cast<int>(kMaxPages));
}

} // namespace
} // namespace cv
