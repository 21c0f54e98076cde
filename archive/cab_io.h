#pragma once
/// How the cabinet reader reaches its input: named streams with read, seek and size, so the
/// same reader works on files, on memory in tests and on fuzzer input.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace cv::cab {

class Stream {
  public:
    virtual ~Stream() = default;
    /// Total size in bytes.
    virtual std::uint64_t size() const = 0;
    /// Moves the read position; false when `pos` lies beyond the end or the seek fails.
    virtual bool seek(std::uint64_t pos) = 0;
    /// Reads up to `n` bytes at the read position; returns how many were read (0 at the end).
    virtual std::size_t read(void* dst, std::size_t n) = 0;

    /// The `n` bytes at `pos` where the stream already holds them in memory, valid while the
    /// stream lives; null when it does not or when they lie outside it. Lets the reader
    /// decode in place instead of copying.
    virtual const std::uint8_t* view(std::uint64_t pos, std::size_t n) {
        (void)pos;
        (void)n;
        return nullptr;
    }

    /// Reads exactly `n` bytes at `pos`; false when fewer are available.
    bool read_exact_at(std::uint64_t pos, void* dst, std::size_t n);
};

class Io {
  public:
    virtual ~Io() = default;
    /// Opens the stream `name` for reading; null when it does not exist or cannot be opened.
    virtual std::unique_ptr<Stream> open(const std::string& name) = 0;
    /// The name under which the cabinet `name` of a set is opened from `folder` (ending in
    /// its separator, or ""): `folder + name` here; an Io over a file system that tells case
    /// apart finds the file as Windows would, without regard to case.
    virtual std::string locate(const std::string& folder, const std::string& name) {
        return folder + name;
    }
};

/// Streams over files of the C runtime.
class FileIo : public Io {
  public:
    std::unique_ptr<Stream> open(const std::string& path) override;
    /// `folder + name` when that file exists (or on Windows, which ignores case itself);
    /// otherwise the first file of `folder`, in name order, whose name equals `name` but for
    /// the case of ASCII letters; `folder + name` when there is none.
    std::string locate(const std::string& folder, const std::string& name) override;
};

/// Streams over byte buffers registered by name (tests and fuzzers). The buffers are copied.
class MemoryIo : public Io {
  public:
    void add(const std::string& name, std::vector<std::uint8_t> bytes);
    void add(const std::string& name, const std::uint8_t* data, std::size_t size);
    std::unique_ptr<Stream> open(const std::string& name) override;

  private:
    std::map<std::string, std::shared_ptr<const std::vector<std::uint8_t>>> files_;
};

} // namespace cv::cab
