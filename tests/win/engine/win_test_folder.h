#pragma once
// A fresh folder below the temporary folder for one test, removed with everything in it at
// the end.

#include "engine/install_target_win.h"

#include <windows.h>

#include <string>

namespace cv::test {

class TestFolder {
  public:
    explicit TestFolder(const std::string& name) {
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + name;
        InstallTargetWin().DeleteTree(path_);
        ::CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~TestFolder() { InstallTargetWin().DeleteTree(path_); }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    /// The folder, without a trailing backslash.
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

  private:
    std::string path_;
};

} // namespace cv::test
