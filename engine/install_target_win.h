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
    std::optional<std::uint64_t> FileSize(const std::string& path) override;
    std::optional<std::string> RegistryString(RegRoot root, const std::string& key,
                                              const std::string& name) override;
};

} // namespace cv
