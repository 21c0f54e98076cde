#include "archive/cab_io_mapped.h"

#include <cstring>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#define CV_MAPPED_FILES 1
#endif

namespace cv::cab::detail {

#ifdef CV_MAPPED_FILES
namespace {

class MappedStream : public Stream {
  public:
    MappedStream(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    ~MappedStream() override { ::munmap(const_cast<std::uint8_t*>(data_), size_); }
    MappedStream(const MappedStream&) = delete;
    MappedStream& operator=(const MappedStream&) = delete;

    std::uint64_t size() const override { return size_; }
    bool seek(std::uint64_t pos) override {
        if (pos > size_)
            return false;
        pos_ = static_cast<std::size_t>(pos);
        return true;
    }
    std::size_t read(void* dst, std::size_t n) override {
        const std::size_t take = std::min(n, size_ - pos_);
        if (take > 0)
            std::memcpy(dst, data_ + pos_, take);
        pos_ += take;
        return take;
    }
    const std::uint8_t* view(std::uint64_t pos, std::size_t n) override {
        if (pos > size_ || n > size_ - pos)
            return nullptr;
        return data_ + pos;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace

std::unique_ptr<Stream> open_mapped_file(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st {};
    void* map = MAP_FAILED;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        map = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd); // the mapping keeps the file's pages
    if (map == MAP_FAILED)
        return nullptr;
    // Blocks are read front to back once.
    ::madvise(map, static_cast<std::size_t>(st.st_size), MADV_SEQUENTIAL);
    return std::make_unique<MappedStream>(static_cast<const std::uint8_t*>(map),
                                          static_cast<std::size_t>(st.st_size));
}
#else
std::unique_ptr<Stream> open_mapped_file(const std::string&) { return nullptr; }
#endif

} // namespace cv::cab::detail
