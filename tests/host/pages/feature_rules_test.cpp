#include "pages/feature_rules.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace cv {
namespace {

TEST(FeatureRules, MenuEntriesSwitchStateAndImageTogether) {
    EXPECT_EQ(FeatureSwitchOf(kFeatureInstall), (FeatureSwitch{0, 0}));
    EXPECT_EQ(FeatureSwitchOf(kFeatureLeaveOut), (FeatureSwitch{255, 1}));
    // A dismissed menu (0) and unknown commands change nothing.
    EXPECT_FALSE(FeatureSwitchOf(0));
    EXPECT_FALSE(FeatureSwitchOf(3));
    EXPECT_FALSE(FeatureSwitchOf(-1));
}

TEST(FeatureRules, TheLastEntryOfTheNameIsSwitched) {
    std::vector<Feature> table = {{"Core", 0}, {"Docs", 0}, {"Core", 0}};
    EXPECT_EQ(LastFeatureNamed(table, "Core"), 2);
    EXPECT_EQ(LastFeatureNamed(table, "Docs"), 1);
    // Names compare exactly: other case, blanks and unknown names find nothing.
    EXPECT_EQ(LastFeatureNamed(table, "core"), -1);
    EXPECT_EQ(LastFeatureNamed(table, "Docs "), -1);
    EXPECT_EQ(LastFeatureNamed(table, ""), -1);
    EXPECT_EQ(LastFeatureNamed({}, "Core"), -1);
}

class Descriptions : public ::testing::Test {
  protected:
    std::map<std::string, std::string> keys;
    SetupTypeReader reader() {
        return [this](const std::string& key) {
            auto found = keys.find(key);
            return found == keys.end() ? std::string() : found->second;
        };
    }
};

TEST_F(Descriptions, TheLastMatchingRowWins) {
    keys = {{"TOTAL", "3"},
            {"FeatureName0", "Core"},        {"Description0", "first"},
            {"FeatureName1", "Docs"},        {"Description1", "docs"},
            {"FeatureName2", "Core"},        {"Description2", "second"}};
    EXPECT_EQ(FeatureDescriptionOf(reader(), "Core"), "second");
    EXPECT_EQ(FeatureDescriptionOf(reader(), "Docs"), "docs");
    EXPECT_EQ(FeatureDescriptionOf(reader(), "Extras"), std::nullopt);
}

TEST_F(Descriptions, OnlyRowsBelowTotalCountAndAnEmptyDescriptionIsShown) {
    keys = {{"TOTAL", "1"}, {"FeatureName0", "Core"}, {"Description0", ""},
            {"FeatureName1", "Docs"}, {"Description1", "past the total"}};
    EXPECT_EQ(FeatureDescriptionOf(reader(), "Core"), "");
    EXPECT_EQ(FeatureDescriptionOf(reader(), "Docs"), std::nullopt);
    keys["TOTAL"] = "";
    EXPECT_EQ(FeatureDescriptionOf(reader(), "Core"), std::nullopt);
    keys["TOTAL"] = "-4";
    EXPECT_EQ(FeatureDescriptionOf(reader(), "Core"), std::nullopt);
}

TEST_F(Descriptions, AHugeTotalReadsAtMostTheTableBound) {
    int reads = 0;
    SetupTypeReader counting = [&](const std::string& key) {
        ++reads;
        return key == "TOTAL" ? std::string("99999999") : std::string();
    };
    EXPECT_EQ(FeatureDescriptionOf(counting, "Core"), std::nullopt);
    EXPECT_EQ(reads, 1 + static_cast<int>(kMaxFeatures));
}

} // namespace
} // namespace cv
