// A whole installation with the Win32 parts: the worker thread, the real file system, the
// log file and the registry, driven by the recording progress double.
#include "engine/engine_run_win.h"
#include "engine/folder_path.h"
#include "../../host/engine/recording_target.h"
#include "win_test_folder.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

using test::TestFolder;

TEST(RunInstallation, InstallsLogsAndRegistersThenRemovesTheWorkFolder) {
    TestFolder root("cv_engine_run");
    InstallTargetWin t;
    const std::string work = root / "Temp\\cvtest\\";
    ASSERT_TRUE(t.CreateFolder(root / "Temp") == CreateFolderResult::Created);
    ASSERT_TRUE(t.CreateFolder(root / "Temp\\cvtest") == CreateFolderResult::Created);
    ASSERT_TRUE(t.CreateFolder(root / "Windows") == CreateFolderResult::Created);
    ASSERT_TRUE(t.CreateFolder(root / "Setup") == CreateFolderResult::Created);
    ASSERT_TRUE(t.WriteWholeFile(work + "data.inf",
                                 "C:\\b\\app.exe\r\nDestination Computer\\<InstallDir>*1*0*0|\r\n"
                                 "C:\\b\\conf.ini\r\nDestination Computer\\<InstallDir>\\etc\\*256*0*0|\r\n"
                                 "C:\\b\\hidden.dat\r\nDestination Computer\\<InstallDir>\\a\\b\\c*4*0*0|\r\n"
                                 "C:\\b\\old.dll\r\nDestination Computer\\<InstallDir>*0*2*0|\r\n"));
    ASSERT_TRUE(t.WriteWholeFile(work + "F0_app.exe", "MZ"));
    ASSERT_TRUE(t.WriteWholeFile(work + "F1_conf.ini", "[App]\r\nHome=<InstallDir>\r\n"));
    ASSERT_TRUE(t.WriteWholeFile(work + "F2_hidden.dat", "h"));
    ASSERT_TRUE(t.WriteWholeFile(work + "F3_old.dll", "98"));
    ASSERT_TRUE(t.WriteWholeFile(work + "cvexec.exe", "uninstaller"));

    EngineContext c;
    PathValues& p = c.paths;
    p.windows_folder = root / "Windows";
    p.temp_folder = root / "Temp\\";
    p.current_directory = root / "Setup\\";
    p.install_dir = root / "Program\\Acme\\";
    p.default_install_dir = p.install_dir;
    p.product_code = "CVENGINETEST";
    c.version = CurrentWindowsVersion();
    c.work_folder_name = "cvtest";
    c.data_inf_path = work + "data.inf";
    c.setting = [](const std::string& section, const std::string& key) -> std::string {
        if (section != "APPINFO")
            return "";
        if (key == "a1")
            return "Engine Test";
        if (key == "a3")
            return "CVENGINETEST";
        return "";
    };
    const std::string log_path = root / "Windows\\Installer\\CVENGINETEST\\uninstall.log";
    // A stale log of an earlier installation.
    ASSERT_TRUE(CreateFolderPath(t, root / "Windows\\Installer\\CVENGINETEST"));
    ASSERT_TRUE(t.WriteWholeFile(log_path, "FILE=C:\\stale\r\n"));

    test::RecordingProgress progress;
    EXPECT_EQ(RunInstallation(c, progress, nullptr), 1);

    const std::string dir = root / "Program\\Acme";
    EXPECT_EQ(t.ReadWholeFile(log_path),
              "TOTALFILE=4\r\n"
              // The run made "Program" for the install folder: logged, so removal takes it.
              "DIR=" + root / "Program" + "\r\n"
              "DIR=" + dir + "\\\r\n"
              "DIR=" + dir + "\\\r\n"
              "DIR=" + dir + "\\etc\r\n"
              "DIR=" + dir + "\\a\\b\\c\r\n"
              "FILE=" + dir + "\\app.exe\r\n"
              "FILE=" + dir + "\\etc\\conf.ini\r\n"
              "FILE=" + dir + "\\a\\b\\c\\hidden.dat\r\n");
    EXPECT_EQ(t.ReadWholeFile(dir + "\\etc\\conf.ini"), "[App]\r\nHome=" + dir + "\\\r\n");
    EXPECT_TRUE(*t.GetAttributes(dir + "\\app.exe") & kAttrReadOnly);
    EXPECT_TRUE(*t.GetAttributes(dir + "\\a\\b\\c\\hidden.dat") & kAttrHidden);
    EXPECT_FALSE(t.FileExists(dir + "\\old.dll")); // for Windows 98 only
    EXPECT_EQ(t.ReadWholeFile(root / "Windows\\cvexec.exe"), std::string("uninstaller"));
    EXPECT_FALSE(t.FolderExists(root / "Temp\\cvtest"));
    EXPECT_EQ(progress.positions.back(), 4);
    EXPECT_EQ(progress.traces.front(), "ATL BACK 1");
    EXPECT_NE(std::find(progress.traces.begin(), progress.traces.end(), "StartCopyNowTH 2"), progress.traces.end());

    HKEY k = nullptr;
    const char* key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\CVENGINETEST";
    ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &k), ERROR_SUCCESS);
    char text[128] = {};
    DWORD size = sizeof text;
    EXPECT_EQ(::RegQueryValueExA(k, "UninstallString", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(text, "cvexec.exe /R CVENGINETEST");
    ::RegCloseKey(k);
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);

    // The installed read-only file must not stop the clean-up of the test folder.
    t.SetAttributes(dir + "\\app.exe", kAttrNormal);
}

} // namespace
} // namespace cv
