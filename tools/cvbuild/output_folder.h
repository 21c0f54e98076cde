#pragma once
/// The setup folder under construction: built in a temporary sibling of its final place and
/// moved there only when every stage succeeded, so a failed run leaves nothing half written.

#include <filesystem>

namespace cv::build {

class OutputFolder {
  public:
    /// Checks that `final_dir` is free or an earlier setup folder (one holding setup.nsx)
    /// that may be replaced, and creates the empty staging folder beside it. Raises
    /// BuildError otherwise.
    explicit OutputFolder(const std::filesystem::path& final_dir);
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;
    /// Removes the staging folder unless Commit succeeded.
    ~OutputFolder();

    /// Where the stages write.
    const std::filesystem::path& staging() const { return staging_; }

    /// Moves the staging folder to its final place, replacing an earlier setup folder.
    void Commit();

  private:
    std::filesystem::path final_;
    std::filesystem::path staging_;
    bool committed_ = false;
};

} // namespace cv::build
