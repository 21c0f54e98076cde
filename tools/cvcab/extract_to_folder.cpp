#include "tools/cvcab/extract_to_folder.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>

namespace cv::cvcab {

namespace {

class FileWriter : public cab::FileSink {
  public:
    FileWriter(BackgroundWriter& writer, int fd, std::string path)
        : writer_(writer), file_(writer, fd, std::move(path)) {}
    bool write(const std::uint8_t* data, std::size_t n) override {
        if (file_.write(data, n))
            return true;
        error_ = writer_.error();
        return false;
    }
    std::string error() const override { return error_; }
    BackgroundWriter::File& file() { return file_; }

  private:
    BackgroundWriter& writer_;
    BackgroundWriter::File file_;
    std::string error_;
};

} // namespace

std::unique_ptr<cab::FileSink> TestHandler::copy_file(const std::string&, const cab::FileRecord&) {
    return std::make_unique<cab::DiscardSink>();
}

bool TestHandler::close_file(const cab::FileRecord&, std::unique_ptr<cab::FileSink>) {
    ++files_;
    return true;
}

std::unique_ptr<cab::FileSink> FolderHandler::copy_file(const std::string&,
                                                        const cab::FileRecord& file) {
    const std::string name = cab::stored_file_name(file.name);
    if (name.empty()) {
        skipped_.push_back(file.name);
        return std::make_unique<cab::DiscardSink>();
    }
    std::string path = folder_;
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += name;
    if (const std::string failure = writer_.error(); !failure.empty()) {
        refusal_ = failure;
        return nullptr;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        refusal_ = "cannot create '" + path + "': " + std::strerror(errno);
        return nullptr;
    }
    return std::make_unique<FileWriter>(writer_, fd, path);
}

bool FolderHandler::close_file(const cab::FileRecord& file, std::unique_ptr<cab::FileSink> sink) {
    auto* writer = dynamic_cast<FileWriter*>(sink.get());
    if (!writer)
        return true; // a skipped file
    writer->file().close(file.date, file.time);
    if (const std::string failure = writer_.error(); !failure.empty()) {
        refusal_ = failure;
        return false;
    }
    ++files_;
    return true;
}

std::string FolderHandler::finish() {
    const std::string failure = writer_.finish();
    if (!failure.empty() && refusal_.empty())
        refusal_ = failure;
    return failure;
}

} // namespace cv::cvcab
