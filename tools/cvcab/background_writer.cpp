#include "tools/cvcab/background_writer.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>
#include <utime.h>

namespace cv::cvcab {

void set_dos_time(const std::string& path, std::uint16_t date, std::uint16_t time) {
    const unsigned month = (date >> 5) & 15, day = date & 31;
    if (month < 1 || month > 12 || day < 1)
        return; // mktime would quietly roll such a date into another one
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
        return;
    utimbuf times{t, t};
    utime(path.c_str(), &times);
}

BackgroundWriter::BackgroundWriter(std::size_t chunk_size, std::size_t chunks)
    : chunk_size_(chunk_size), max_chunks_(chunks < 2 ? 2 : chunks), thread_([this] { run(); }) {}

BackgroundWriter::~BackgroundWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    work_ready_.notify_all();
    thread_.join(); // the thread drains the queue before it stops
}

std::string BackgroundWriter::error() const {
    std::lock_guard lock(mutex_);
    return error_;
}

void BackgroundWriter::fail(const std::string& why) {
    std::lock_guard lock(mutex_);
    if (error_.empty())
        error_ = why;
}

std::vector<std::uint8_t> BackgroundWriter::take_chunk() {
    std::unique_lock lock(mutex_);
    chunk_free_.wait(lock, [&] { return chunks_out_ < max_chunks_; });
    ++chunks_out_;
    std::vector<std::uint8_t> chunk;
    if (!free_chunks_.empty()) {
        chunk = std::move(free_chunks_.back());
        free_chunks_.pop_back();
    }
    chunk.clear();
    chunk.reserve(chunk_size_);
    return chunk;
}

void BackgroundWriter::push(Job job) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(job));
    }
    work_ready_.notify_one();
}

std::string BackgroundWriter::finish() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [&] { return queue_.empty() && !busy_; });
    return error_;
}

void BackgroundWriter::run() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            work_ready_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (queue_.empty())
                return;
            job = std::move(queue_.front());
            queue_.pop_front();
            busy_ = true;
        }
        const bool failed = !error().empty();
        if (!job.close) {
            const std::uint8_t* p = job.bytes.data();
            std::size_t left = job.bytes.size();
            while (!failed && left > 0) {
                const ssize_t n = ::write(job.fd, p, left);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0) {
                    fail("cannot write '" + job.path + "': " + std::strerror(n < 0 ? errno : ENOSPC));
                    break;
                }
                p += n;
                left -= static_cast<std::size_t>(n);
            }
        } else {
            if (::close(job.fd) != 0 && !failed)
                fail("cannot finish writing '" + job.path + "': " + std::strerror(errno));
            else if (!failed)
                set_dos_time(job.path, job.date, job.time);
        }
        {
            std::lock_guard lock(mutex_);
            if (!job.close) {
                free_chunks_.push_back(std::move(job.bytes));
                --chunks_out_;
            }
            busy_ = false;
        }
        chunk_free_.notify_one();
        idle_.notify_all();
    }
}

BackgroundWriter::File::File(BackgroundWriter& owner, int fd, std::string path)
    : owner_(owner), fd_(fd), path_(std::move(path)) {}

BackgroundWriter::File::~File() {
    if (!closed_) // dropped without a close (the extraction failed): finish the descriptor anyway
        close(0, 0);
}

void BackgroundWriter::File::hand_over() {
    Job job;
    job.fd = fd_;
    job.path = path_;
    job.bytes = std::move(chunk_);
    owner_.push(std::move(job));
    chunk_ = {};
}

bool BackgroundWriter::File::write(const std::uint8_t* data, std::size_t n) {
    while (n > 0) {
        if (chunk_.capacity() == 0)
            chunk_ = owner_.take_chunk();
        const std::size_t room = owner_.chunk_size_ - chunk_.size();
        const std::size_t take = n < room ? n : room;
        chunk_.insert(chunk_.end(), data, data + take);
        data += take;
        n -= take;
        if (chunk_.size() == owner_.chunk_size_)
            hand_over();
    }
    return owner_.error().empty();
}

void BackgroundWriter::File::close(std::uint16_t dos_date, std::uint16_t dos_time) {
    if (chunk_.capacity() != 0)
        hand_over();
    Job job;
    job.fd = fd_;
    job.close = true;
    job.path = path_;
    job.date = dos_date;
    job.time = dos_time;
    owner_.push(std::move(job));
    closed_ = true;
}

} // namespace cv::cvcab
