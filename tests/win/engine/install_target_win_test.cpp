// The Win32 install target and the log file against the real (Wine) file system and registry.
#include "engine/folder_path.h"
#include "engine/uninstall_log_file_win.h"
#include "win_test_folder.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

using test::TestFolder;

std::string ReadShared(const std::string& path) {
    // Read while the writer may hold the file open.
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "<cannot open>";
    std::string text(4096, '\0');
    DWORD got = 0;
    ::ReadFile(h, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
    ::CloseHandle(h);
    text.resize(got);
    return text;
}

TEST(InstallTargetWin, CreateFolderReportsWhatHappened) {
    TestFolder root("cv_engine_folders");
    InstallTargetWin t;
    EXPECT_EQ(t.CreateFolder(root / "a"), CreateFolderResult::Created);
    EXPECT_EQ(t.CreateFolder(root / "a"), CreateFolderResult::AlreadyExists);
    EXPECT_EQ(t.CreateFolder(root / "missing\\b"), CreateFolderResult::PathNotFound);
    ASSERT_TRUE(t.WriteWholeFile(root / "file", "x"));
    EXPECT_EQ(t.CreateFolder(root / "file"), CreateFolderResult::Failed);
    EXPECT_EQ(t.CreateFolder("C:"), CreateFolderResult::AlreadyExists);
    EXPECT_TRUE(t.FolderExists(root / "a"));
    EXPECT_FALSE(t.FileExists(root / "a"));
    EXPECT_TRUE(t.FileExists(root / "file"));
}

TEST(InstallTargetWin, CreateFolderPathGoesDeepAndStopsAtTheLimit) {
    TestFolder root("cv_engine_deep");
    InstallTargetWin t;
    std::string deep = root.path();
    for (int i = 0; i < 20; ++i)
        deep += "\\d" + std::to_string(i);
    EXPECT_TRUE(CreateFolderPath(t, deep + "\\"));
    EXPECT_TRUE(t.FolderExists(deep));
    std::string too_long = root.path() + "\\" + std::string(kMaxCreatedFolderPath - root.path().size(), 'x');
    ASSERT_EQ(too_long.size(), kMaxCreatedFolderPath + 1);
    EXPECT_FALSE(CreateFolderPath(t, too_long));
    EXPECT_FALSE(t.FolderExists(too_long));
}

TEST(InstallTargetWin, CopyReadWriteAndAttributes) {
    TestFolder root("cv_engine_files");
    InstallTargetWin t;
    const std::string bytes("line\r\n\0binary", 14);
    ASSERT_TRUE(t.WriteWholeFile(root / "src.bin", bytes));
    EXPECT_EQ(t.ReadWholeFile(root / "src.bin"), bytes);
    EXPECT_FALSE(t.ReadWholeFile(root / "none.bin"));

    EXPECT_TRUE(t.CopyFileReplacing(root / "src.bin", root / "dst.bin"));
    EXPECT_EQ(t.ReadWholeFile(root / "dst.bin"), bytes);
    EXPECT_FALSE(t.CopyFileReplacing(root / "none.bin", root / "dst2.bin"));

    ASSERT_TRUE(t.SetAttributes(root / "dst.bin", kAttrReadOnly | kAttrHidden));
    std::optional<std::uint32_t> a = t.GetAttributes(root / "dst.bin");
    ASSERT_TRUE(a);
    EXPECT_EQ(*a & (kAttrReadOnly | kAttrHidden | kAttrSystem), kAttrReadOnly | kAttrHidden);
    // Windows refuses to overwrite a read-only destination and Wine does not; either way the
    // copy succeeds once the attributes are reset, which is what the copy step does on failure.
    ASSERT_TRUE(t.SetAttributes(root / "dst.bin", kAttrNormal));
    EXPECT_TRUE(t.CopyFileReplacing(root / "src.bin", root / "dst.bin"));
    EXPECT_FALSE(t.GetAttributes(root / "none.bin"));

    EXPECT_TRUE(t.RemoveFile(root / "dst.bin"));
    EXPECT_FALSE(t.FileExists(root / "dst.bin"));
}

TEST(InstallTargetWin, TreesAreCopiedAndDeletedWithReadOnlyFilesInside) {
    TestFolder root("cv_engine_trees");
    InstallTargetWin t;
    ASSERT_TRUE(CreateFolderPath(t, root / "theme\\pictures"));
    ASSERT_TRUE(t.WriteWholeFile(root / "theme\\page.lcd", "[PAGE]"));
    ASSERT_TRUE(t.WriteWholeFile(root / "theme\\pictures\\a.bmp", "BM"));
    ASSERT_TRUE(t.SetAttributes(root / "theme\\pictures\\a.bmp", kAttrReadOnly));
    ASSERT_TRUE(CreateFolderPath(t, root / "log"));
    EXPECT_TRUE(t.CopyTree(root / "theme", root / "log"));
    EXPECT_EQ(t.ReadWholeFile(root / "log\\theme\\page.lcd"), std::string("[PAGE]"));
    EXPECT_TRUE(t.FileExists(root / "log\\theme\\pictures\\a.bmp"));
    EXPECT_TRUE(t.DeleteTree(root / "theme"));
    EXPECT_FALSE(t.FolderExists(root / "theme"));
    EXPECT_TRUE(t.FolderExists(root / "log"));
}

TEST(InstallTargetWin, RegistryValuesReadBack) {
    InstallTargetWin t;
    const std::string key = "Software\\CorvaneEngineTest\\Product";
    EXPECT_TRUE(t.CreateRegistryKey(RegRoot::CurrentUser, key));
    EXPECT_TRUE(t.WriteRegistryString(RegRoot::CurrentUser, key, "DisplayName", "Acme Tools"));
    EXPECT_TRUE(t.WriteRegistryDword(RegRoot::CurrentUser, key, "NoModify", 1));
    HKEY k = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k), ERROR_SUCCESS);
    char text[64] = {};
    DWORD size = sizeof text, type = 0;
    EXPECT_EQ(::RegQueryValueExA(k, "DisplayName", nullptr, &type, reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(text, "Acme Tools");
    DWORD value = 0;
    size = sizeof value;
    EXPECT_EQ(::RegQueryValueExA(k, "NoModify", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 1u);
    ::RegCloseKey(k);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\CorvaneEngineTest");
}

TEST(InstallTargetWin, FileSizesForTheAddRemoveEntry) {
    TestFolder root("cv_engine_sizes");
    InstallTargetWin t;
    ASSERT_TRUE(t.WriteWholeFile(root / "a.bin", std::string(5000, 'a')));
    ASSERT_TRUE(t.WriteWholeFile(root / "empty.bin", ""));
    EXPECT_EQ(t.FileSize(root / "a.bin"), std::optional<std::uint64_t>(5000));
    EXPECT_EQ(t.FileSize(root / "empty.bin"), std::optional<std::uint64_t>(0));
    EXPECT_FALSE(t.FileSize(root / "none.bin"));
    EXPECT_FALSE(t.FileSize(root.path())); // a folder has no size of its own

}

TEST(InstallTargetWin, ProcessesAndCurrentDirectory) {
    InstallTargetWin t;
    char here[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, here);
    EXPECT_EQ(t.CurrentDirectory(), here);
    EXPECT_FALSE(t.StartProcess("cv-no-such-program-here.exe /s"));
}

TEST(UninstallLogFile, EachLineIsInTheFileAsSoonAsItIsWritten) {
    TestFolder root("cv_engine_log");
    const std::string path = root / "log\\uninstall.log";
    UninstallLogFile file(path);
    UninstallLogWriter log(file);
    // The folder does not exist yet: the line is lost, and the next one opens the file.
    log.WriteLogEntry("LOST", "1");
    EXPECT_EQ(log.lost_lines(), 1);
    InstallTargetWin target;
    ASSERT_TRUE(CreateFolderPath(target, root / "log"));
    log.WriteLogEntry("TOTALFILE", "2");
    EXPECT_EQ(ReadShared(path), "TOTALFILE=2\r\n");
    log.WriteLogEntry("DIR", "C:\\Program Files\\Acme\\");
    EXPECT_EQ(ReadShared(path), "TOTALFILE=2\r\nDIR=C:\\Program Files\\Acme\\\r\n");
    file.Close();
    // A reopened log goes on at its end.
    log.WriteLogEntry("FILE", "a.txt");
    EXPECT_EQ(ReadShared(path), "TOTALFILE=2\r\nDIR=C:\\Program Files\\Acme\\\r\nFILE=a.txt\r\n");
    EXPECT_EQ(log.lost_lines(), 1);
}

} // namespace
} // namespace cv
