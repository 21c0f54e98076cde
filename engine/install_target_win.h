#pragma once
/// The install target of a real installation: every call is the Win32 call of its name.

#include "engine/install_target.h"

namespace cv {

class InstallTargetWin : public IInstallTarget {
  public:
    CreateFolderResult CreateFolder(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    bool CopyFileReplacing(const std::string& from, const std::string& to) override;
    std::optional<std::string> ReadWholeFile(const std::string& path) override;
    bool WriteWholeFile(const std::string& path, std::string_view bytes) override;
    std::optional<std::uint32_t> GetAttributes(const std::string& path) override;
    bool SetAttributes(const std::string& path, std::uint32_t attributes) override;
    bool RemoveFile(const std::string& path) override;
    bool DeleteTree(const std::string& path) override;
    bool CopyTree(const std::string& from, const std::string& into) override;
    bool RegisterFont(const std::string& path) override;
    bool CreateRegistryKey(RegRoot root, const std::string& key) override;
    bool WriteRegistryString(RegRoot root, const std::string& key, const std::string& name,
                             const std::string& value) override;
    bool WriteRegistryDword(RegRoot root, const std::string& key, const std::string& name,
                            std::uint32_t value) override;
    bool StartProcess(const std::string& command_line) override;
    std::string CurrentDirectory() override;
    bool RegistryKeyExists(RegRoot root, const std::string& key) override;
    RegistryRead ReadRegistryValue(RegRoot root, const std::string& key, const std::string& name,
                                   std::size_t max_bytes) override;
    bool SetRegistryValue(RegRoot root, const std::string& key, const std::string& name,
                          const RegistryData& value) override;
    bool DeleteRegistryValue(RegRoot root, const std::string& key, const std::string& name) override;
    void BroadcastEnvironmentChange() override;
    std::optional<std::string> ReadIniEntry(const std::string& file, const std::string& section,
                                            const std::string& key) override;
    bool WriteIniEntry(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& value) override;
    // Shell links and services: install_target_shell_win.cpp.
    bool CreateShellLink(const ShellLinkSpec& link) override;
    bool CreateInternetShortcut(const std::string& path, const std::string& url) override;
    bool OpenWithShell(const std::string& path) override;
    CreateServiceResult InstallService(const ServiceSpec& service) override;
    std::optional<std::uint64_t> FileSize(const std::string& path) override;
};

} // namespace cv
