// Which previous-version step the settings ask for and how a named registry value is split.
#include "app/precheck_rules.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

TEST(ChoosePreviousVersionStep, FromTheThreeSettings) {
    using S = PreviousVersionStep;
    EXPECT_EQ(ChoosePreviousVersionStep("New Installation", "", "Yes"), S::RemoveOld);
    EXPECT_EQ(ChoosePreviousVersionStep("New Installation", "Auto-Detect", "No"), S::None);
    EXPECT_EQ(ChoosePreviousVersionStep("New Installation", "", ""), S::None);
    EXPECT_EQ(ChoosePreviousVersionStep("Upgrade", "Auto-Detect", "Yes"), S::AutoDetectFolder);
    EXPECT_EQ(ChoosePreviousVersionStep("Upgrade", "Registry", ""), S::NamedValueFolder);
    EXPECT_EQ(ChoosePreviousVersionStep("Upgrade", "", ""), S::NamedValueFolder);
    EXPECT_EQ(ChoosePreviousVersionStep("upgrade", "Auto-Detect", ""), S::None);
    EXPECT_EQ(ChoosePreviousVersionStep("", "Auto-Detect", "Yes"), S::None);
}

TEST(SplitRegistryValuePath, HiveKeyAndValue) {
    auto p = SplitRegistryValuePath("HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme\\Tool\\Folder");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->hive, "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(p->key, "SOFTWARE\\Acme\\Tool");
    EXPECT_EQ(p->value, "Folder");

    p = SplitRegistryValuePath("HKEY_CURRENT_USER\\Folder");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->hive, "HKEY_CURRENT_USER");
    EXPECT_EQ(p->key, "");
    EXPECT_EQ(p->value, "Folder");

    // A trailing backslash names the key's default value.
    p = SplitRegistryValuePath("HKEY_CURRENT_USER\\Software\\Acme\\");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->key, "Software\\Acme");
    EXPECT_EQ(p->value, "");

    EXPECT_FALSE(SplitRegistryValuePath("HKEY_LOCAL_MACHINE"));
    EXPECT_FALSE(SplitRegistryValuePath(""));
}

TEST(FolderWithBackslash, AddsOneWhenMissing) {
    EXPECT_EQ(FolderWithBackslash("C:\\Acme"), "C:\\Acme\\");
    EXPECT_EQ(FolderWithBackslash("C:\\Acme\\"), "C:\\Acme\\");
    EXPECT_EQ(FolderWithBackslash(""), "");
}

} // namespace
} // namespace cv
