#pragma once
/// The removal target on a real machine: every call with the Win32 API.

#include "engine/removal_target.h"

namespace cv {

class RemovalTargetWin : public IRemovalTarget {
  public:
    bool RunAndWait(const std::string& command_line) override;
    bool OpenUrl(const std::string& url) override;
    bool StopAndDeleteService(const std::string& name) override;
    bool FileExists(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    bool RestoreFile(const std::string& from, const std::string& to) override;
    bool RemoveFolderIfEmpty(const std::string& path) override;
    bool EmptyFolder(const std::string& path) override;
    bool DeleteTree(const std::string& path) override;
    bool UnregisterFont(const std::string& path) override;
    bool RemoveFileNowOrAtRestart(const std::string& path) override;
    std::optional<RegistryData> ReadRegistryValue(RegRoot root, const std::string& key,
                                                  const std::string& name) override;
    bool WriteRegistryValue(RegRoot root, const std::string& key, const std::string& name,
                            const RegistryData& value) override;
    bool DeleteRegistryValue(RegRoot root, const std::string& key, const std::string& name) override;
    bool RegistryKeyExists(RegRoot root, const std::string& key) override;
    bool DeleteRegistryKeyIfEmpty(RegRoot root, const std::string& key) override;
    bool DeleteRegistryTree(RegRoot root, const std::string& key) override;
    void BroadcastEnvironmentChange() override;
    std::optional<std::string> ReadIniEntry(const std::string& file, const std::string& section,
                                            const std::string& key) override;
    bool WriteIniEntry(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& value) override;
    bool DeleteIniEntry(const std::string& file, const std::string& section, const std::string& key) override;
};

} // namespace cv
