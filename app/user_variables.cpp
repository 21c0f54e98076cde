// The VARIABLES section: each row's value is looked up on the machine (registry, INI file,
// file test, web page, window test) while the wait window tells the user why setup pauses.

#include "app/main_frame.h"
#include "app/trace.h"
#include "app/unattended.h"
#include "app/wait_dialog.h"
#include "download/web_fetch.h"
#include "common/profile_cache.h"
#include "registry/key_path.h"
#include "registry/reg_key.h"
#include "common/file_system.h"
#include "app/settings_count.h"

#include <windows.h>

#include <cstring>
#include <iterator>
#include <vector>

namespace cv {

namespace {

const HKEY kRoots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                           HKEY_CURRENT_CONFIG};
static_assert(std::size(kRoots) == std::size(kRegistryRootNames));

/// The longest registry text a variable takes.
constexpr DWORD kMaxRegistryValue = 1024;

/// The machine as the wizard's variables see it.
class WizardVariableSources final : public VariableSources {
  public:
    explicit WizardVariableSources(CMainFrame& wizard) : wizard_(wizard) { wait_.Create(&wizard); }
    ~WizardVariableSources() override { wait_.Close(); }

    std::string Expand(const std::string& text) override { return wizard_.ExpandText(text); }

    std::string RegistryValue(const std::string& hive, const std::string& key, const std::string& name) override {
        int root = RegistryRootIndex(hive);
        if (root < 0)
            return {};
        RegKey opened = OpenRegKey(kRoots[root], CutRegistryText(key).c_str(), KEY_QUERY_VALUE);
        if (!opened)
            return {};
        std::optional<cv::RegistryValue> value =
            QueryRegistryValue(opened.get(), CutRegistryText(name).c_str(), kMaxRegistryValue);
        if (!value)
            return {};
        if (value->type == REG_DWORD && value->bytes.size() == sizeof(DWORD)) {
            DWORD number = 0;
            std::memcpy(&number, value->bytes.data(), sizeof number);
            return std::to_string(number);
        }
        return RegistryText(*value);
    }

    bool PathExists(const std::string& path) override {
        return !path.empty() && cv::PathExists(path);
    }

    std::string IniValue(const std::string& file, const std::string& section, const std::string& entry) override {
        return GetProfileValue(file, section, entry, "", kProfileValueBuffer - 1);
    }

    std::string WebPage(const std::string& url) override { return FetchWebPage(url); }

    bool WindowExists(const std::string& window_class, const std::string& title) override {
        return ::FindWindowA(window_class.empty() ? nullptr : window_class.c_str(),
                             title.empty() ? nullptr : title.c_str()) != nullptr;
    }

    void SlowSourceStarting() override {
        if (unattendedRun().Silent())
            return; // no window in a silent run
        if (!wait_.m_hWnd || ::IsWindowVisible(wait_.m_hWnd))
            return;
        wait_.ShowWindow(SW_SHOW);
        wait_.UpdateWindow();
    }

  private:
    CMainFrame& wizard_;
    CWait wait_;
};

} // namespace

void CMainFrame::ReadUserVariables() {
    const TableCount count = SettingsTableCount(*this, "VARIABLES", userVariables.size());
    const int rows = count.rows;
    if (count.Cut())
        SendTrace("VARIABLES TOTAL " + std::to_string(count.total) + " cut to " + std::to_string(rows));
    if (rows == 0)
        return;
    WizardVariableSources sources(*this);
    auto lookup = [this](const std::string& key) { return Setting("VARIABLES", key.c_str()); };
    userVariableCount = 0;
    for (int i = 0; i < rows; ++i) {
        VariableRow row = ReadVariableRow(lookup, i);
        // Each value is resolved before the row counts, so a row may use the ones before it.
        std::string value = ResolveVariableValue(row, sources);
        userVariables[static_cast<std::size_t>(i)] = WizardVariable{row.name, row.text, value};
        userVariableCount = i + 1;
    }
}

} // namespace cv
