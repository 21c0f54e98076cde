#pragma once
/// Process-wide cache of parsed profile files keyed by path, and the key-by-key read that the
/// runtime uses in place of `GetPrivateProfileStringA`.
///
/// A file is parsed on its first read and answered from memory afterwards; each request looks
/// at the file's size and modification time and parses it again when either changed (the
/// language step rewrites layout files while the run goes on). A rewrite that keeps both the
/// size and the modification time (within the file system's time resolution) goes unnoticed.
/// Safe to use from several threads; a caller keeps the snapshot it was given even when
/// the file is parsed again meanwhile.

#include "common/profile.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace cv {

class ProfileCache {
  public:
    /// A cache keeping at most `capacity` files (the least recently used one goes first).
    explicit ProfileCache(std::size_t capacity = 64);

    /// The parsed file at `path`, up to date with the file on disk; null when the file does not
    /// exist or cannot be read.
    std::shared_ptr<const ProfileFile> get(const std::string& path);

    /// Number of times a file was parsed (first reads and re-reads after a change).
    std::uint64_t parse_count() const;

    /// The cache the runtime shares.
    static ProfileCache& process();

  private:
    struct Slot;
    mutable std::mutex mutex_;
    std::size_t capacity_;
    std::uint64_t clock_ = 0;
    std::uint64_t parses_ = 0;
    std::unordered_map<std::string, std::shared_ptr<Slot>> slots_;
};

/// `GetPrivateProfileStringA` on the file at `path` through the process cache (see
/// ProfileFile::read for the forms). A missing file reads like an empty one.
std::size_t ReadProfileString(const char* section, const char* key, const char* def, char* buffer,
                              std::size_t size, const std::string& path);

/// The value of `key` in `section` of the file at `path` as read into a buffer of
/// `buffer_size` bytes; `def` when the entry or the file is missing.
std::string GetProfileValue(const std::string& path, std::string_view section,
                            std::string_view key, std::string_view def = {},
                            std::size_t buffer_size = kProfileValueBuffer);

} // namespace cv
