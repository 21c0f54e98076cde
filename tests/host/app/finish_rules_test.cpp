#include "app/finish_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cv {
namespace {

constexpr int kOn = 255;

/// The run's steps that may remove the work folder, in their order; gives the step that
/// removed it ("" when none did). The engine removes it only when neither flag keeps it.
std::string RemoverOf(bool file_actions, bool add_on, bool ended_early) {
    WorkFolderFlags flags{file_actions ? kOn : 0, add_on ? kOn : 0};
    std::string removed_by;
    auto remove = [&removed_by](const char* step) {
        if (removed_by.empty())
            removed_by = step;
    };
    if (ended_early)
        return removed_by; // a failed check or a quit message ends the process at once
    if (WorkFolderRemovable(flags))
        remove("engine");
    if (add_on && AddOnStepRemovesWorkFolder(flags))
        remove("add-on step");
    if (FinishRemovesWorkFolder(flags))
        remove("finish");
    return removed_by;
}

TEST(WorkFolder, TheLastStepThatNeedsItRemovesIt) {
    EXPECT_EQ(RemoverOf(false, false, false), "engine");
    EXPECT_EQ(RemoverOf(false, true, false), "add-on step");
    EXPECT_EQ(RemoverOf(true, false, false), "finish");
    EXPECT_EQ(RemoverOf(true, true, false), "finish");
    EXPECT_EQ(RemoverOf(true, true, true), "");
    EXPECT_EQ(RemoverOf(false, false, true), "");
}

TEST(WorkFolder, StepsClearTheirOwnFlagOnly) {
    WorkFolderFlags flags{kOn, kOn};
    EXPECT_FALSE(AddOnStepRemovesWorkFolder(flags));
    EXPECT_EQ(flags.addOnPending, 0);
    EXPECT_EQ(flags.cleanup, kOn);

    WorkFolderFlags pending{kOn, kOn};
    // A finish while the add-on step is still due keeps the folder for it.
    EXPECT_FALSE(FinishRemovesWorkFolder(pending));
    EXPECT_EQ(pending.cleanup, 0);
    EXPECT_EQ(pending.addOnPending, kOn);

    WorkFolderFlags nothing{0, 0};
    // The finish removes only when it was the one to clean up; the engine did otherwise.
    EXPECT_FALSE(FinishRemovesWorkFolder(nothing));
}

TEST(Restart, AskedWhenRequestedAndNotAborted) {
    EXPECT_TRUE(AsksRestart(-1, true));
    EXPECT_TRUE(AsksRestart(0, true));
    EXPECT_FALSE(AsksRestart(kOn, true));
    EXPECT_FALSE(AsksRestart(-1, false));
}

TEST(LaunchFolder, FolderPartWithItsBackslash) {
    EXPECT_EQ(LaunchFolder("C:\\Program Files\\Demo\\demo.exe"), "C:\\Program Files\\Demo\\");
    EXPECT_EQ(LaunchFolder("C:\\demo.exe"), "C:\\");
    EXPECT_EQ(LaunchFolder("demo.exe"), "");
    EXPECT_EQ(LaunchFolder("Z:/tmp/run/demo.exe"), "Z:/tmp/run/");
}

} // namespace
} // namespace cv
