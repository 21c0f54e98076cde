// The cabinet reader on arbitrary input, through memory I/O. The input is also offered as
// its own next cabinet ("fuzz.cab"), so the continuation checks run too.
#include "archive/cab_reader.h"

namespace {
class Discard : public cv::cab::FileSink {
  public:
    bool write(const std::uint8_t*, std::size_t) override { return true; }
};
class Handler : public cv::cab::ExtractHandler {
  public:
    std::unique_ptr<cv::cab::FileSink> copy_file(const std::string&,
                                                 const cv::cab::FileRecord&) override {
        return std::make_unique<Discard>();
    }
    bool close_file(const cv::cab::FileRecord&, std::unique_ptr<cv::cab::FileSink>) override {
        return true;
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    cv::cab::MemoryIo io;
    io.add("fuzz.cab", data, size);
    Handler handler;
    cv::cab::extract(io, "fuzz.cab", handler);
    return 0;
}
