#include "common/profile_cache.h"

#include "common/file_stamp.h"

#include <algorithm>

namespace cv {

struct ProfileCache::Slot {
    FileStamp stamp;
    std::shared_ptr<const ProfileFile> file;
    std::uint64_t last_used = 0;
};

ProfileCache::ProfileCache(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 1)) {}

ProfileCache& ProfileCache::process() {
    static ProfileCache cache;
    return cache;
}

std::uint64_t ProfileCache::parse_count() const {
    std::lock_guard lock(mutex_);
    return parses_;
}

std::shared_ptr<const ProfileFile> ProfileCache::get(const std::string& path) {
    // The stamp is taken before the file is read: a rewrite after it changes the stamp
    // again and is picked up by the next request.
    std::optional<FileStamp> stamp = ReadFileStamp(path);
    std::lock_guard lock(mutex_);
    auto it = slots_.find(path);
    if (!stamp) {
        if (it != slots_.end())
            slots_.erase(it);
        return nullptr;
    }
    if (it != slots_.end() && it->second->stamp == *stamp) {
        it->second->last_used = ++clock_;
        return it->second->file;
    }
    // Parsing under the lock keeps two threads from parsing the same file twice; settings
    // files parse in well under a millisecond.
    std::optional<ProfileFile> parsed = ProfileFile::load(path);
    if (!parsed) {
        if (it != slots_.end())
            slots_.erase(it);
        return nullptr;
    }
    ++parses_;
    auto slot = std::make_shared<Slot>();
    slot->stamp = *stamp;
    slot->file = std::make_shared<const ProfileFile>(std::move(*parsed));
    slot->last_used = ++clock_;
    if (it != slots_.end()) {
        it->second = slot;
    } else {
        if (slots_.size() >= capacity_) {
            auto oldest = std::min_element(slots_.begin(), slots_.end(), [](auto& a, auto& b) {
                return a.second->last_used < b.second->last_used;
            });
            slots_.erase(oldest);
        }
        slots_.emplace(path, slot);
    }
    return slot->file;
}

namespace {

/// What the Windows reader answers for a file that does not exist: the same as for an empty one.
const ProfileFile& EmptyProfile() {
    static const ProfileFile empty = ProfileFile::parse("");
    return empty;
}

} // namespace

std::size_t ReadProfileString(const char* section, const char* key, const char* def, char* buffer,
                              std::size_t size, const std::string& path) {
    auto file = ProfileCache::process().get(path);
    return (file ? *file : EmptyProfile()).read(section, key, def, buffer, size);
}

std::string GetProfileValue(const std::string& path, std::string_view section,
                            std::string_view key, std::string_view def, std::size_t buffer_size) {
    auto file = ProfileCache::process().get(path);
    return (file ? *file : EmptyProfile()).get(section, key, def, buffer_size);
}

} // namespace cv
