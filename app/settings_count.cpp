#include "app/settings_count.h"

#include "app/main_frame.h"

namespace cv {

TableCount SettingsTableCount(const CMainFrame& wizard, const char* section, std::size_t bound,
                              std::string_view key) {
    SectionLookup lookup = [&wizard, section](const std::string& name, std::size_t buffer) {
        return wizard.Setting(section, name.c_str(), buffer);
    };
    return ReadTableCount(lookup, bound, key);
}

} // namespace cv
