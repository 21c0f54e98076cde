// CRegistro against the real registry (Wine's when run under Wine).
#include "registry/key_path.h"
#include "registry/reg_key.h"
#include "registry/registro.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace cv {
namespace {

bool KeyExists(HKEY root, const std::string& path) {
    return static_cast<bool>(OpenRegKey(root, path.c_str(), KEY_READ));
}

/// The string value, or "<none>" when it cannot be read.
std::string ReadString(HKEY root, const std::string& path, const char* name) {
    RegKey key = OpenRegKey(root, path.c_str(), KEY_READ);
    if (!key)
        return "<none>";
    char buf[512];
    DWORD size = sizeof buf, type = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return "<none>";
    return std::string(buf, size ? size - 1 : 0);
}

class RegistroTest : public ::testing::Test {
  protected:
    void SetUp() override {
        base_ = "Software\\CorvaneTest" + std::to_string(GetCurrentProcessId());
        RemoveTree(HKEY_CURRENT_USER, base_);
        RemoveTree(HKEY_LOCAL_MACHINE, base_);
    }
    void TearDown() override {
        RemoveTree(HKEY_CURRENT_USER, base_);
        RemoveTree(HKEY_LOCAL_MACHINE, base_);
    }
    static void RemoveTree(HKEY root, const std::string& path) {
        {
            RegKey key = OpenRegKey(root, path.c_str(), KEY_ALL_ACCESS);
            if (!key)
                return;
            char name[256];
            for (;;) {
                DWORD len = sizeof name;
                if (RegEnumKeyExA(key.get(), 0, name, &len, nullptr, nullptr, nullptr, nullptr) !=
                    ERROR_SUCCESS)
                    break;
                RemoveTree(root, path + "\\" + name);
            }
        }
        RegDeleteKeyA(root, path.c_str());
    }
    std::string base_;
    CRegistro reg_;
};

TEST_F(RegistroTest, SetStringValueWritesOnlyIntoExistingKeys) {
    reg_.SetStringValue(HKEY_CURRENT_USER, base_.c_str(), "Name", "Widget");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, base_)); // not created

    CreateRegKey(HKEY_CURRENT_USER, base_.c_str(), KEY_ALL_ACCESS);
    reg_.SetStringValue(HKEY_CURRENT_USER, base_.c_str(), "Name", "Widget");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, base_, "Name"), "Widget");
    reg_.SetStringValue(HKEY_CURRENT_USER, base_.c_str(), "Empty", "");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, base_, "Empty"), "");

    // Texts are cut at 255 characters.
    std::string longText(300, 'x');
    reg_.SetStringValue(HKEY_CURRENT_USER, base_.c_str(), "Long", longText.c_str());
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, base_, "Long"), std::string(255, 'x'));
}

TEST_F(RegistroTest, DeleteValueRootCodes) {
    CreateRegKey(HKEY_CURRENT_USER, base_.c_str(), KEY_ALL_ACCESS);
    CreateRegKey(HKEY_LOCAL_MACHINE, base_.c_str(), KEY_ALL_ACCESS);
    reg_.SetStringValue(HKEY_CURRENT_USER, base_.c_str(), "A", "cu");
    reg_.SetStringValue(HKEY_LOCAL_MACHINE, base_.c_str(), "A", "lm");
    reg_.SetStringValue(HKEY_CURRENT_USER, base_.c_str(), "B", "cu");

    reg_.DeleteValue(base_.c_str(), "A", 0); // HKEY_CURRENT_USER
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, base_, "A"), "<none>");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, base_, "A"), "lm");

    reg_.DeleteValue(base_.c_str(), "A", 1); // HKEY_LOCAL_MACHINE
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, base_, "A"), "<none>");

    reg_.DeleteValue(base_.c_str(), "B", reinterpret_cast<std::uintptr_t>(HKEY_CURRENT_USER));
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, base_, "B"), "<none>");

    // Missing key or value: nothing happens.
    reg_.DeleteValue((base_ + "\\Missing").c_str(), "A", 0);
    reg_.DeleteValue(base_.c_str(), "Missing", 0);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, base_));
}

TEST_F(RegistroTest, EnsureMachineKeyCreatesNestedKeys) {
    std::string path = base_ + "\\Product\\Sub";
    reg_.EnsureMachineKey(path.c_str());
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, path));
    reg_.EnsureMachineKey(path.c_str()); // existing: left alone
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, path));
}

TEST_F(RegistroTest, EnsureKeyPathStripsRootNames) {
    std::string path = "HKEY_LOCAL_MACHINE\\" + base_ + "\\Product";
    reg_.EnsureKeyPath("HKEY_LOCAL_MACHINE", path.c_str());
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, base_ + "\\Product"));

    reg_.EnsureKeyPath("HKEY_CURRENT_USER", (base_ + "\\Other").c_str());
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, base_ + "\\Other"));

    // Abbreviations and other spellings do nothing.
    reg_.EnsureKeyPath("HKLM", (base_ + "\\Abbrev").c_str());
    reg_.EnsureKeyPath("hkey_local_machine", (base_ + "\\Lower").c_str());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, base_ + "\\Abbrev"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, base_ + "\\Lower"));
}

TEST(RegistryKeyPath, RootNamesAreRemovedEverywhere) {
    EXPECT_EQ(StripRegistryRootNames("HKEY_LOCAL_MACHINE\\Software\\Acme"), "Software\\Acme");
    EXPECT_EQ(StripRegistryRootNames("Software\\HKEY_USERS\\HKEY_CURRENT_CONFIG\\x"), "Software\\x");
    EXPECT_EQ(StripRegistryRootNames("HKEY_LOCAL_MACHINE"), "HKEY_LOCAL_MACHINE"); // no backslash
    EXPECT_EQ(RegistryRootIndex("HKEY_CLASSES_ROOT"), 0);
    EXPECT_EQ(RegistryRootIndex("HKEY_CURRENT_CONFIG"), 4);
    EXPECT_EQ(RegistryRootIndex("HKCU"), -1);
}

} // namespace
} // namespace cv
