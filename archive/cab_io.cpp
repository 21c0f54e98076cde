#include "archive/cab_io.h"
#include "archive/cab_io_mapped.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace cv::cab {

bool Stream::read_exact_at(std::uint64_t pos, void* dst, std::size_t n) {
    if (pos > size() || n > size() - pos || !seek(pos))
        return false;
    auto* out = static_cast<std::uint8_t*>(dst);
    while (n > 0) {
        const std::size_t got = read(out, n);
        if (got == 0)
            return false;
        out += got;
        n -= got;
    }
    return true;
}

namespace {

class FileStream : public Stream {
  public:
    FileStream(std::FILE* f, std::uint64_t size) : file_(f), size_(size) {}
    ~FileStream() override { std::fclose(file_); }
    std::uint64_t size() const override { return size_; }

    bool seek(std::uint64_t pos) override {
        if (pos > size_)
            return false;
        // A seek drops the C runtime's buffer, so sequential block reads skip it.
        if (pos == pos_)
            return true;
        if (seek_file(pos) != 0)
            return false;
        pos_ = pos;
        return true;
    }

    std::size_t read(void* dst, std::size_t n) override {
        const std::size_t got = std::fread(dst, 1, n, file_);
        pos_ += got;
        return got;
    }

  private:
    int seek_file(std::uint64_t pos) {
#ifdef _WIN32
        return _fseeki64(file_, static_cast<long long>(pos), SEEK_SET);
#else
        return fseeko(file_, static_cast<off_t>(pos), SEEK_SET);
#endif
    }

    std::FILE* file_;
    std::uint64_t size_;
    std::uint64_t pos_ = 0;
};

class MemoryStream : public Stream {
  public:
    explicit MemoryStream(std::shared_ptr<const std::vector<std::uint8_t>> bytes)
        : bytes_(std::move(bytes)) {}
    std::uint64_t size() const override { return bytes_->size(); }
    bool seek(std::uint64_t pos) override {
        if (pos > bytes_->size())
            return false;
        pos_ = static_cast<std::size_t>(pos);
        return true;
    }
    const std::uint8_t* view(std::uint64_t pos, std::size_t n) override {
        if (pos > bytes_->size() || n > bytes_->size() - pos)
            return nullptr;
        return bytes_->data() + pos;
    }
    std::size_t read(void* dst, std::size_t n) override {
        const std::size_t take = std::min(n, bytes_->size() - pos_);
        if (take > 0)
            std::memcpy(dst, bytes_->data() + pos_, take);
        pos_ += take;
        return take;
    }

  private:
    std::shared_ptr<const std::vector<std::uint8_t>> bytes_;
    std::size_t pos_ = 0;
};

} // namespace

std::unique_ptr<Stream> FileIo::open(const std::string& path) {
    if (auto mapped = detail::open_mapped_file(path))
        return mapped;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return nullptr;
    std::uint64_t size = 0;
#ifdef _WIN32
    const bool sized = _fseeki64(f, 0, SEEK_END) == 0 && (size = _ftelli64(f), true) &&
                       _fseeki64(f, 0, SEEK_SET) == 0;
#else
    const bool sized = fseeko(f, 0, SEEK_END) == 0 && (size = ftello(f), true) &&
                       fseeko(f, 0, SEEK_SET) == 0;
#endif
    if (!sized) {
        std::fclose(f);
        return nullptr;
    }
    return std::make_unique<FileStream>(f, size);
}

std::string FileIo::locate(const std::string& folder, const std::string& name) {
    const std::string exact = folder + name;
#ifdef _WIN32
    return exact;
#else
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::exists(exact, ec))
        return exact;
    const auto lower = [](std::string text) {
        for (char& c : text)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return text;
    };
    const std::string wanted = lower(name);
    std::string best;
    for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (lower(candidate) == wanted && (best.empty() || candidate < best))
            best = candidate;
    }
    return best.empty() ? exact : folder + best;
#endif
}

void MemoryIo::add(const std::string& name, std::vector<std::uint8_t> bytes) {
    files_[name] = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
}

void MemoryIo::add(const std::string& name, const std::uint8_t* data, std::size_t size) {
    add(name, std::vector<std::uint8_t>(data, data + size));
}

std::unique_ptr<Stream> MemoryIo::open(const std::string& name) {
    const auto it = files_.find(name);
    if (it == files_.end())
        return nullptr;
    return std::make_unique<MemoryStream>(it->second);
}

} // namespace cv::cab
