#pragma once
/// The handlers behind `cvcab t` and `cvcab x`.

#include "archive/cab_reader.h"
#include "tools/cvcab/background_writer.h"

#include <string>
#include <vector>

namespace cv::cvcab {

/// Decodes every file and keeps nothing (`cvcab t`).
class TestHandler : public cab::ExtractHandler {
  public:
    std::unique_ptr<cab::FileSink> copy_file(const std::string& cabinet,
                                             const cab::FileRecord& file) override;
    bool close_file(const cab::FileRecord& file, std::unique_ptr<cab::FileSink> sink) override;
    std::size_t files() const { return files_; }

  private:
    std::size_t files_ = 0;
};

/// Writes every file into one folder under its bare file name, whatever folder part the
/// stored name has, so nothing lands outside that folder (`cvcab x`). A file whose stored
/// name has no file name part ("/", "dir\\") is skipped and listed in `skipped`. The writing
/// runs on a thread of its own; a write failure is reported by the next call or by `finish`.
class FolderHandler : public cab::ExtractHandler {
  public:
    explicit FolderHandler(std::string folder) : folder_(std::move(folder)) {}
    std::unique_ptr<cab::FileSink> copy_file(const std::string& cabinet,
                                             const cab::FileRecord& file) override;
    bool close_file(const cab::FileRecord& file, std::unique_ptr<cab::FileSink> sink) override;
    std::string refusal() const override { return refusal_; }
    std::size_t files() const { return files_; }
    /// The stored names of the files skipped so far, in cabinet order.
    const std::vector<std::string>& skipped() const { return skipped_; }
    /// Waits for the last writes; returns the first write failure ("" when none).
    std::string finish();

  private:
    BackgroundWriter writer_;
    std::string folder_;
    std::string refusal_;
    std::size_t files_ = 0;
    std::vector<std::string> skipped_;
};

} // namespace cv::cvcab
