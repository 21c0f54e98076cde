#pragma once
/// Writes extracted files on a thread of their own, so that the kernel's copying and the
/// file system's work overlap with decoding instead of following it.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cv::cvcab {

class BackgroundWriter {
  public:
    /// At most `chunks` buffers of `chunk_size` bytes are in flight; a producer that gets
    /// ahead waits, so memory stays bounded whatever the cabinet holds.
    explicit BackgroundWriter(std::size_t chunk_size = 1 << 20, std::size_t chunks = 8);
    ~BackgroundWriter();
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    /// One open output file. Its bytes are collected into chunks and handed over whole.
    /// A file holds a chunk only while it has bytes not yet handed over, so files written
    /// one after another (as the reader does) never wait on each other; more than `chunks`
    /// files written at once would.
    class File {
      public:
        File(BackgroundWriter& owner, int fd, std::string path);
        ~File();
        File(const File&) = delete;
        File& operator=(const File&) = delete;
        /// Queues `n` bytes; false once the writer has failed.
        bool write(const std::uint8_t* data, std::size_t n);
        /// Queues the rest, then the close and the file time (a DOS date and time); the file
        /// must not be written afterwards.
        void close(std::uint16_t dos_date, std::uint16_t dos_time);
        const std::string& path() const { return path_; }

      private:
        void hand_over();
        BackgroundWriter& owner_;
        int fd_;
        std::string path_;
        std::vector<std::uint8_t> chunk_;
        bool closed_ = false;
    };

    /// Waits until everything queued is written and closed. Returns the first failure
    /// ("" when none); later work after a failure is dropped.
    std::string finish();
    /// The first failure so far ("" when none).
    std::string error() const;

  private:
    struct Job {
        int fd = -1;
        std::vector<std::uint8_t> bytes;
        bool close = false;
        std::string path;
        std::uint16_t date = 0, time = 0;
    };
    void push(Job job);
    std::vector<std::uint8_t> take_chunk();
    void run();
    void fail(const std::string& why);

    const std::size_t chunk_size_;
    mutable std::mutex mutex_;
    std::condition_variable work_ready_, chunk_free_, idle_;
    std::deque<Job> queue_;
    std::vector<std::vector<std::uint8_t>> free_chunks_;
    std::size_t chunks_out_ = 0; // chunks held by files or queued
    const std::size_t max_chunks_;
    bool busy_ = false;
    bool stopping_ = false;
    std::string error_;
    std::thread thread_;
};

/// Sets a file's modification and access times from a DOS date and time in local time;
/// an impossible date leaves the times as they are.
void set_dos_time(const std::string& path, std::uint16_t date, std::uint16_t time);

} // namespace cv::cvcab
