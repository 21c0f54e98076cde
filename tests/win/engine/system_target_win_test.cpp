// The Win32 target's registry, INI, environment notice, shell links and services against
// Wine's registry, profile writer, shell and service manager, read back with the system's
// own calls.
#include "framework/handle.h"
#include "win_test_folder.h"

#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cv {
namespace {

using test::TestFolder;

constexpr const char* kTestKey = "Software\\CorvaneTest\\SystemTarget";

// The test's key and its parent, which hold no other key.
struct ScratchKey {
    ScratchKey() { Remove(); }
    ~ScratchKey() { Remove(); }
    static void Remove() {
        ::RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
        ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\CorvaneTest");
    }
};

TEST(SystemTargetWin, RegistryValuesRoundTripWithTheirTypes) {
    ScratchKey scratch;
    InstallTargetWin t;
    EXPECT_FALSE(t.RegistryKeyExists(RegRoot::CurrentUser, kTestKey));
    EXPECT_EQ(t.ReadRegistryValue(RegRoot::CurrentUser, kTestKey, "x", 100).status, RegistryRead::Status::Missing);
    // Not created by a value write.
    EXPECT_FALSE(t.SetRegistryValue(RegRoot::CurrentUser, kTestKey, "x", RegistryData{kRegSz, std::string("a\0", 2)}));
    ASSERT_TRUE(t.CreateRegistryKey(RegRoot::CurrentUser, kTestKey));
    EXPECT_TRUE(t.RegistryKeyExists(RegRoot::CurrentUser, kTestKey));
    EXPECT_EQ(t.ReadRegistryValue(RegRoot::CurrentUser, kTestKey, "x", 100).status, RegistryRead::Status::Missing);

    const RegistryData values[] = {{kRegSz, std::string("text\0", 5)},
                                   {kRegExpandSz, std::string("%SystemRoot%\\x\0", 15)},
                                   {kRegDword, std::string("\x10\0\0\0", 4)},
                                   {kRegBinary, std::string("AB\0", 3)}};
    for (const RegistryData& v : values) {
        const std::string name = "v" + std::to_string(v.type);
        ASSERT_TRUE(t.SetRegistryValue(RegRoot::CurrentUser, kTestKey, name, v));
        RegistryRead back = t.ReadRegistryValue(RegRoot::CurrentUser, kTestKey, name, 100);
        ASSERT_EQ(back.status, RegistryRead::Status::Found) << name;
        EXPECT_EQ(back.value.type, v.type);
        EXPECT_EQ(back.value.bytes, v.bytes);
    }
    // A value longer than asked for is a failure, never a cut value.
    const std::string big(40000, 'p');
    ASSERT_TRUE(t.SetRegistryValue(RegRoot::CurrentUser, kTestKey, "big", RegistryData{kRegSz, big + '\0'}));
    EXPECT_EQ(t.ReadRegistryValue(RegRoot::CurrentUser, kTestKey, "big", 100).status, RegistryRead::Status::Failed);
    EXPECT_EQ(t.ReadRegistryValue(RegRoot::CurrentUser, kTestKey, "big", 40001).value.bytes, big + '\0');

    EXPECT_TRUE(t.DeleteRegistryValue(RegRoot::CurrentUser, kTestKey, "v1"));
    EXPECT_FALSE(t.DeleteRegistryValue(RegRoot::CurrentUser, kTestKey, "v1"));
    EXPECT_EQ(t.ReadRegistryValue(RegRoot::CurrentUser, kTestKey, "v1", 100).status, RegistryRead::Status::Missing);
}

TEST(SystemTargetWin, IniEntriesTellMissingFromEmpty) {
    TestFolder root("cv_engine_ini");
    InstallTargetWin t;
    const std::string file = root / "app.ini";
    EXPECT_EQ(t.ReadIniEntry(file, "Main", "Key"), std::nullopt); // no file
    ASSERT_TRUE(t.WriteIniEntry(file, "Main", "Key", "value one"));
    ASSERT_TRUE(t.WriteIniEntry(file, "Main", "Empty", ""));
    EXPECT_EQ(t.ReadIniEntry(file, "Main", "Key"), "value one");
    EXPECT_EQ(t.ReadIniEntry(file, "main", "KEY"), "value one");
    EXPECT_EQ(t.ReadIniEntry(file, "Main", "Empty"), "");
    EXPECT_EQ(t.ReadIniEntry(file, "Main", "Missing"), std::nullopt);
    EXPECT_EQ(t.ReadIniEntry(file, "Other", "Key"), std::nullopt);
}

// A top-level window of this thread: a broadcast sent from here reaches it directly.
std::vector<std::string> g_setting_changes;

LRESULT CALLBACK ListenProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_SETTINGCHANGE)
        g_setting_changes.push_back(l ? reinterpret_cast<const char*>(l) : "(null)");
    return ::DefWindowProcA(window, message, w, l);
}

TEST(SystemTargetWin, EnvironmentChangeReachesTopLevelWindows) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ListenProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "CvSettingListener";
    ::RegisterClassA(&wc);
    HWND window = ::CreateWindowA("CvSettingListener", "listener", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    g_setting_changes.clear();
    InstallTargetWin().BroadcastEnvironmentChange();
    std::string heard;
    for (const std::string& s : g_setting_changes) {
        heard += "[" + s + "]";
        for (unsigned char c : s)
            heard += std::to_string(c) + " ";
    }
    EXPECT_EQ(g_setting_changes, std::vector<std::string>{"Environment"}) << heard;
    ::DestroyWindow(window);
}

struct ComScope {
    ComScope() { ::CoInitialize(nullptr); }
    ~ComScope() { ::CoUninitialize(); }
};

TEST(SystemTargetWin, ShellLinkReadsBackAsWritten) {
    ComScope com;
    TestFolder root("cv_engine_links");
    InstallTargetWin t;
    ShellLinkSpec wanted;
    wanted.path = root / "Acme App.lnk";
    wanted.target = root / "acme.exe";
    wanted.arguments = "/start \"two words\"";
    wanted.working_folder = root.path();
    wanted.description = "Runs Acme";
    wanted.icon = root / "acme.ico";
    wanted.icon_index = 2;
    wanted.show_command = SW_SHOWMAXIMIZED;
    ASSERT_TRUE(t.WriteWholeFile(wanted.target, "MZ"));
    ASSERT_TRUE(t.CreateShellLink(wanted));

    ComPtr<IShellLinkA> link;
    ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                             reinterpret_cast<void**>(link.receive()))));
    ComPtr<IPersistFile> file;
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.receive()))));
    std::wstring wide(wanted.path.begin(), wanted.path.end());
    ASSERT_TRUE(SUCCEEDED(file->Load(wide.c_str(), STGM_READ)));
    char text[MAX_PATH];
    link->GetPath(text, MAX_PATH, nullptr, 0);
    EXPECT_STRCASEEQ(text, wanted.target.c_str());
    link->GetArguments(text, MAX_PATH);
    EXPECT_STREQ(text, wanted.arguments.c_str());
    link->GetWorkingDirectory(text, MAX_PATH);
    EXPECT_STRCASEEQ(text, wanted.working_folder.c_str());
    link->GetDescription(text, MAX_PATH);
    EXPECT_STREQ(text, "Runs Acme");
    int index = -1;
    link->GetIconLocation(text, MAX_PATH, &index);
    EXPECT_STRCASEEQ(text, wanted.icon.c_str());
    EXPECT_EQ(index, 2);
    int show = 0;
    link->GetShowCmd(&show);
    std::optional<std::string> bytes = t.ReadWholeFile(wanted.path);
    ASSERT_TRUE(bytes && bytes->size() > 0x40);
    // The header's show command (Wine's loader answers GetShowCmd with 1 whatever it holds).
    EXPECT_EQ(static_cast<unsigned char>((*bytes)[0x3C]), SW_SHOWMAXIMIZED) << "GetShowCmd gives " << show;

    // The folder must exist: the link is not saved anywhere else.
    wanted.path = root / "missing\\x.lnk";
    EXPECT_FALSE(t.CreateShellLink(wanted));
}

TEST(SystemTargetWin, InternetShortcutFileNamesItsUrl) {
    ComScope com;
    TestFolder root("cv_engine_urls");
    InstallTargetWin t;
    ASSERT_TRUE(t.CreateInternetShortcut(root / "Acme Web.url", "http://acme.example/start"));
    char url[256] = "";
    ::GetPrivateProfileStringA("InternetShortcut", "URL", "", url, sizeof url, (root / "Acme Web.url").c_str());
    EXPECT_STREQ(url, "http://acme.example/start");
}

TEST(SystemTargetWin, ServiceCreatedNotStartedThenRefusedTwice) {
    InstallTargetWin t;
    ServiceSpec wanted;
    wanted.name = "CvTestService";
    wanted.display_name = "Corvane Test Service";
    wanted.service_type = SERVICE_WIN32_OWN_PROCESS;
    wanted.start_type = SERVICE_DEMAND_START;
    wanted.error_control = SERVICE_ERROR_NORMAL;
    wanted.binary_path = "C:\\windows\\system32\\cvtestsvc.exe";
    ASSERT_EQ(t.InstallService(wanted), CreateServiceResult::Created);
    EXPECT_EQ(t.InstallService(wanted), CreateServiceResult::Failed); // it exists

    UniqueService manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    ASSERT_TRUE(manager);
    UniqueService service(::OpenServiceA(manager.get(), wanted.name.c_str(), SERVICE_ALL_ACCESS));
    ASSERT_TRUE(service);
    SERVICE_STATUS status{};
    ASSERT_TRUE(::QueryServiceStatus(service.get(), &status));
    EXPECT_EQ(status.dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED));
    RegistryRead start = t.ReadRegistryValue(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Services\\CvTestService",
                                             "Start", 16);
    ASSERT_EQ(start.status, RegistryRead::Status::Found);
    EXPECT_EQ(start.value.bytes, std::string("\3\0\0\0", 4));
    ::DeleteService(service.get());
}

} // namespace
} // namespace cv
