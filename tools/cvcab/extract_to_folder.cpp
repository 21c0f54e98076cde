#include "tools/cvcab/extract_to_folder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <utime.h>

namespace cv::cvcab {

std::string bare_file_name(const std::string& stored) {
    const auto cut = stored.find_last_of("/\\");
    std::string name = cut == std::string::npos ? stored : stored.substr(cut + 1);
    if (name == "." || name == "..")
        return {};
    return name;
}

namespace {

class DiscardSink : public cab::FileSink {
  public:
    bool write(const std::uint8_t*, std::size_t) override { return true; }
};

class FileWriter : public cab::FileSink {
  public:
    FileWriter(std::FILE* f, std::string path) : file_(f), path_(std::move(path)) {
        // The reader hands over whole 32 KB blocks: write them straight through.
        std::setvbuf(file_, nullptr, _IONBF, 0);
    }
    ~FileWriter() override {
        if (file_)
            std::fclose(file_);
    }
    bool write(const std::uint8_t* data, std::size_t n) override {
        if (std::fwrite(data, 1, n, file_) == n)
            return true;
        error_ = path_ + ": " + std::strerror(errno);
        return false;
    }
    std::string error() const override { return error_; }
    bool close() {
        const int rc = std::fclose(file_);
        file_ = nullptr;
        return rc == 0;
    }
    const std::string& path() const { return path_; }

  private:
    std::FILE* file_;
    std::string path_;
    std::string error_;
};

void set_dos_time(const std::string& path, std::uint16_t date, std::uint16_t time) {
    std::tm tm{};
    tm.tm_year = ((date >> 9) & 127) + 80;
    tm.tm_mon = ((date >> 5) & 15) - 1;
    tm.tm_mday = date & 31;
    tm.tm_hour = (time >> 11) & 31;
    tm.tm_min = (time >> 5) & 63;
    tm.tm_sec = (time & 31) * 2;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1))
        return; // an impossible stored date leaves the time as it is
    utimbuf times{t, t};
    utime(path.c_str(), &times);
}

} // namespace

std::unique_ptr<cab::FileSink> TestHandler::copy_file(const std::string&, const cab::FileRecord&) {
    return std::make_unique<DiscardSink>();
}

bool TestHandler::close_file(const cab::FileRecord&, std::unique_ptr<cab::FileSink>) {
    ++files_;
    return true;
}

std::unique_ptr<cab::FileSink> FolderHandler::copy_file(const std::string&,
                                                        const cab::FileRecord& file) {
    const std::string name = bare_file_name(file.name);
    if (name.empty()) {
        refusal_ = "its stored name has no file name part";
        return nullptr;
    }
    std::string path = folder_;
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        refusal_ = "cannot create '" + path + "': " + std::strerror(errno);
        return nullptr;
    }
    return std::make_unique<FileWriter>(f, path);
}

bool FolderHandler::close_file(const cab::FileRecord& file, std::unique_ptr<cab::FileSink> sink) {
    auto* writer = static_cast<FileWriter*>(sink.get());
    if (!writer->close()) {
        refusal_ = "cannot finish writing '" + writer->path() + "'";
        return false;
    }
    set_dos_time(writer->path(), file.date, file.time);
    ++files_;
    return true;
}

} // namespace cv::cvcab
