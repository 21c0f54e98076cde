#pragma once
/// The handlers behind `cvcab t` and `cvcab x`.

#include "archive/cab_reader.h"

#include <string>

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
/// stored name has, so nothing lands outside that folder (`cvcab x`).
class FolderHandler : public cab::ExtractHandler {
  public:
    explicit FolderHandler(std::string folder) : folder_(std::move(folder)) {}
    std::unique_ptr<cab::FileSink> copy_file(const std::string& cabinet,
                                             const cab::FileRecord& file) override;
    bool close_file(const cab::FileRecord& file, std::unique_ptr<cab::FileSink> sink) override;
    std::string refusal() const override { return refusal_; }
    std::size_t files() const { return files_; }

  private:
    std::string folder_;
    std::string refusal_;
    std::size_t files_ = 0;
};

/// The bare file name of a stored name (after its last '\\' or '/'); "" when that part is
/// empty, "." or "..".
std::string bare_file_name(const std::string& stored);

} // namespace cv::cvcab
