// The run's folders, the feature and condition tests, and the context taken from the
// process-wide setup state.
#include "common/setup_state.h"
#include "engine_fixture.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

TEST(EngineContext, SourceFolderOfEachKindOfBuild) {
    test::EngineRun run;
    EXPECT_EQ(SourceFolder(run.context), "C:\\Temp\\cv101010\\");
    run.context.disk_image = true;
    EXPECT_EQ(SourceFolder(run.context), "C:\\Setup\\DiskImage1\\");
    run.context.split_files = true; // split files win over disk images
    EXPECT_EQ(SourceFolder(run.context), "C:\\Setup\\");
    EXPECT_EQ(UninstallLogPath(run.context.paths), "C:\\Windows\\Installer\\ACME1\\uninstall.log");
    EXPECT_EQ(UninstallLogFolder(run.context.paths), "C:\\Windows\\Installer\\ACME1\\");
}

TEST(EngineContext, FeatureAndConditionTests) {
    test::EngineRun run;
    run.features = {{"Docs", 255}, {"Core", 0}};
    std::vector<std::string> asked;
    run.context.condition_holds = [&](const std::string& name) {
        asked.push_back(name);
        return name == "IsAdmin";
    };
    CCVEngine& e = run.Engine();
    EXPECT_FALSE(e.FeatureLetsThrough("Docs"));
    EXPECT_FALSE(e.FeatureLetsThrough("|Do|cs|"));
    EXPECT_TRUE(e.FeatureLetsThrough("Core"));
    EXPECT_TRUE(e.FeatureLetsThrough("Unknown"));
    EXPECT_TRUE(e.FeatureLetsThrough(""));
    EXPECT_TRUE(e.FeatureLetsThrough("|"));
    EXPECT_TRUE(e.ConditionHolds("No Condition"));
    EXPECT_TRUE(e.ConditionHolds(""));
    EXPECT_TRUE(e.ConditionHolds("IsAdmin"));
    EXPECT_FALSE(e.ConditionHolds("IsNT4"));
    EXPECT_EQ(asked, (std::vector<std::string>{"IsAdmin", "IsNT4"}));
}

TEST(EngineContext, FromTheSetupState) {
    SetupState& s = setupState();
    s.previewMode = kOn;
    s.diskImageMode = kOn;
    s.splitBuild = kOff;
    s.workFolderCleanup = kOff;
    s.addOnPending = kOn;
    s.dataInfPath = "C:\\Temp\\cv1\\data.inf";
    s.featureCount = 0;
    ASSERT_TRUE(s.AddFeature("Docs"));
    s.features[0].state = kOn;
    EngineContext c = ContextFromSetupState(s);
    EXPECT_TRUE(c.preview);
    EXPECT_TRUE(c.disk_image);
    EXPECT_FALSE(c.split_files);
    EXPECT_FALSE(c.work_folder_cleanup);
    EXPECT_TRUE(c.add_on_pending);
    EXPECT_EQ(c.data_inf_path, "C:\\Temp\\cv1\\data.inf");
    EXPECT_EQ(c.feature_state("Docs"), std::optional<int>(kOn));
    EXPECT_EQ(c.feature_state("Core"), std::nullopt);
    ASSERT_EQ(c.install_aborted, &s.installAborted);
    s.ResetForStart();
    s.diskImageMode = kOff;
    s.addOnPending = kOff;
}

} // namespace
} // namespace cv
