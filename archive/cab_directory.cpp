#include "archive/cab_directory.h"

#include "archive/checked.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace cv::cab {

std::size_t CabinetDirectory::folder_of(const FileRecord& f) const {
    if (f.folder_index == kFromPrevious)
        return 0;
    if (f.folder_index == kToNext || f.folder_index == kPreviousAndNext)
        return folders.size() - 1;
    return f.folder_index;
}

namespace {

// Bounds-checked little-endian reads over one buffer read from the cabinet; running past its
// end is reported as a truncated record.
class Cursor {
  public:
    Cursor(const std::vector<std::uint8_t>& bytes, const std::string& where)
        : bytes_(bytes), where_(where) {}

    std::size_t pos() const { return pos_; }
    void need(std::size_t n, const char* what) {
        check(n <= bytes_.size() - pos_, Status::corrupt, [&] {
            return where_ + " is truncated: " + what + " needs " + std::to_string(n) +
                   " bytes at offset " + std::to_string(pos_) + " but only " +
                   std::to_string(bytes_.size() - pos_) + " remain";
        });
    }
    std::uint8_t u8(const char* what) {
        need(1, what);
        return bytes_[pos_++];
    }
    std::uint16_t u16(const char* what) {
        need(2, what);
        const std::uint16_t v = bytes_[pos_] | bytes_[pos_ + 1] << 8;
        pos_ += 2;
        return v;
    }
    std::uint32_t u32(const char* what) {
        need(4, what);
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = v << 8 | bytes_[pos_ + i];
        pos_ += 4;
        return v;
    }
    void skip(std::size_t n, const char* what) {
        need(n, what);
        pos_ += n;
    }
    /// A zero-terminated string of at most kMaxString characters.
    std::string str(const char* what) {
        const std::size_t avail = bytes_.size() - pos_;
        const std::size_t scan = std::min(avail, kMaxString + 1);
        const auto* start = bytes_.data() + pos_;
        const void* zero = std::memchr(start, 0, scan);
        check(zero != nullptr, Status::corrupt, [&] {
            if (scan == avail)
                return where_ + " is truncated: " + what + " at offset " +
                       std::to_string(pos_) + " has no terminating zero byte";
            return where_ + " is corrupt: " + what + " at offset " + std::to_string(pos_) +
                   " is longer than " + std::to_string(kMaxString) + " characters";
        });
        const std::size_t len = static_cast<const std::uint8_t*>(zero) - start;
        std::string s(reinterpret_cast<const char*>(start), len);
        pos_ += len + 1;
        return s;
    }

  private:
    const std::vector<std::uint8_t>& bytes_;
    const std::string& where_;
    std::size_t pos_ = 0;
};

// Reads up to `n` bytes at `pos` (fewer at the end of the stream).
std::vector<std::uint8_t> read_span(Stream& s, std::uint64_t pos, std::uint64_t n,
                                    const std::string& name) {
    const std::uint64_t size = s.size();
    const std::uint64_t avail = pos < size ? size - pos : 0;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min(n, avail)));
    check(bytes.empty() || s.read_exact_at(pos, bytes.data(), bytes.size()), Status::corrupt,
          [&] { return "cabinet '" + name + "': read of " + std::to_string(bytes.size()) +
                       " bytes at offset " + std::to_string(pos) + " failed"; });
    return bytes;
}

void read_header(Stream& s, std::uint64_t base, const std::string& name, CabinetHeader& h) {
    const std::string where = "cabinet '" + name + "' header";
    // Fixed part, reserve sizes, header reserve and four strings of at most 256 bytes each.
    auto bytes = read_span(s, base, kHeaderSize + 4 + kMaxHeaderReserve + 4 * (kMaxString + 1),
                           name);
    Cursor c(bytes, where);
    check(bytes.size() >= 4, Status::not_cabinet,
          [&] { return "'" + name + "' is not a cabinet: it is shorter than a signature"; });
    const std::uint32_t signature = c.u32("signature");
    check(signature == kSignature, Status::not_cabinet, [&] {
        return "'" + name + "' is not a cabinet: its signature is not \"MSCF\"";
    });
    c.skip(4, "reserved field");
    h.cabinet_size = c.u32("cabinet size");
    c.skip(4, "reserved field");
    h.files_offset = c.u32("file records offset");
    c.skip(4, "reserved field");
    const std::uint16_t version = c.u16("version");
    check(version == kVersion, Status::not_cabinet, [&] {
        char v[16];
        std::snprintf(v, sizeof v, "%u.%u", version >> 8, version & 0xFF);
        return "'" + name + "' is not a cabinet of version 1.3: its version is " + v;
    });
    h.folder_count = c.u16("folder count");
    h.file_count = c.u16("file count");
    h.flags = c.u16("flags");
    h.set_id = c.u16("set identifier");
    h.index = c.u16("cabinet index");
    if (h.flags & kFlagReserve) {
        h.header_reserve = c.u16("header reserve size");
        h.folder_reserve = c.u8("folder reserve size");
        h.data_reserve = c.u8("data reserve size");
        check(h.header_reserve <= kMaxHeaderReserve, Status::corrupt, [&] {
            return where + " is corrupt: header reserve is " + std::to_string(h.header_reserve) +
                   " bytes when it should be at most " + std::to_string(kMaxHeaderReserve);
        });
        c.skip(h.header_reserve, "header reserve");
    }
    if (h.flags & kFlagPrevious) {
        h.previous_cabinet = c.str("previous cabinet name");
        h.previous_disk = c.str("previous disk name");
    }
    if (h.flags & kFlagNext) {
        h.next_cabinet = c.str("next cabinet name");
        h.next_disk = c.str("next disk name");
    }
    check(h.folder_count > 0 && h.file_count > 0, Status::corrupt, [&] {
        return where + " is corrupt: it lists " + std::to_string(h.folder_count) +
               " folders and " + std::to_string(h.file_count) +
               " files when a cabinet needs at least one of each";
    });
}

std::size_t header_length(const CabinetHeader& h) {
    std::size_t n = kHeaderSize;
    if (h.flags & kFlagReserve)
        n += 4 + h.header_reserve;
    if (h.flags & kFlagPrevious)
        n += h.previous_cabinet.size() + h.previous_disk.size() + 2;
    if (h.flags & kFlagNext)
        n += h.next_cabinet.size() + h.next_disk.size() + 2;
    return n;
}

void read_folders(Stream& s, const std::string& name, CabinetDirectory& d) {
    const CabinetHeader& h = d.header;
    const std::size_t record = kFolderRecordSize + h.folder_reserve;
    const std::string where = "cabinet '" + name + "' folder records";
    auto bytes = read_span(s, d.base + header_length(h),
                           static_cast<std::uint64_t>(record) * h.folder_count, name);
    Cursor c(bytes, where);
    d.folders.resize(h.folder_count);
    for (std::size_t i = 0; i < d.folders.size(); ++i) {
        FolderRecord& f = d.folders[i];
        f.data_offset = c.u32("folder data offset");
        f.block_count = c.u16("folder block count");
        f.compression = c.u16("folder compression type");
        c.skip(h.folder_reserve, "folder reserve");
        const int type = f.type(), bits = f.window_bits();
        const std::string at = "cabinet '" + name + "' folder " + std::to_string(i);
        check(type <= kLzx, Status::corrupt, [&] {
            return at + " is corrupt: compression type is " + std::to_string(type) +
                   " when it should be 0 (none), 1 (MSZIP), 2 (Quantum) or 3 (LZX)";
        });
        check(type != kQuantum || (bits >= 10 && bits <= 21), Status::corrupt, [&] {
            return at + " is corrupt: Quantum window exponent is " + std::to_string(bits) +
                   " when it should be 10 to 21";
        });
        check(type != kLzx || (bits >= 15 && bits <= 21), Status::corrupt, [&] {
            return at + " is corrupt: LZX window exponent is " + std::to_string(bits) +
                   " when it should be 15 to 21";
        });
    }
}

void read_files(Stream& s, const std::string& name, CabinetDirectory& d) {
    const CabinetHeader& h = d.header;
    const std::string where = "cabinet '" + name + "' file records";
    // The file records are read from right after the folder records, as cabextract does,
    // not from the header's file records offset: a cabinet whose offset points elsewhere
    // (hidden-files.cab) then shows every reader the same files.
    const std::uint64_t start = d.base + header_length(h) +
                                static_cast<std::uint64_t>(kFolderRecordSize + h.folder_reserve) *
                                    h.folder_count;
    auto bytes = read_span(s, start,
                           static_cast<std::uint64_t>(kFileRecordSize + kMaxString + 1) *
                               h.file_count,
                           name);
    Cursor c(bytes, where);
    d.files.resize(h.file_count);
    for (std::size_t i = 0; i < d.files.size(); ++i) {
        FileRecord& f = d.files[i];
        f.size = c.u32("file size");
        f.folder_offset = c.u32("file offset");
        f.folder_index = c.u16("file folder index");
        f.date = c.u16("file date");
        f.time = c.u16("file time");
        f.attributes = c.u16("file attributes");
        f.name = c.str("file name");
        const std::string at = "cabinet '" + name + "' file " + std::to_string(i);
        check(!f.name.empty(), Status::corrupt,
              [&] { return at + " is corrupt: its name is empty"; });
        const bool special = f.folder_index >= kFromPrevious;
        check(special || f.folder_index < h.folder_count, Status::corrupt, [&] {
            return at + " ('" + f.name + "') is corrupt: folder index is " +
                   std::to_string(f.folder_index) + " when the cabinet has " +
                   std::to_string(h.folder_count) + " folders";
        });
        check(!f.from_previous() || h.has_previous(), Status::corrupt, [&] {
            return at + " ('" + f.name +
                   "') is corrupt: it continues from a previous cabinet, which the header "
                   "does not name";
        });
        check(!f.to_next() || h.has_next(), Status::corrupt, [&] {
            return at + " ('" + f.name +
                   "') is corrupt: it continues in a next cabinet, which the header does not "
                   "name";
        });
    }
}

} // namespace

namespace detail {
CabinetDirectory load_directory(Stream& stream, std::uint64_t base, const std::string& name) {
    CabinetDirectory d;
    d.base = base;
    read_header(stream, base, name, d.header);
    read_folders(stream, name, d);
    read_files(stream, name, d);
    return d;
}
} // namespace detail

Result read_directory(Stream& stream, std::uint64_t base, const std::string& name,
                      CabinetDirectory& out) {
    try {
        out = detail::load_directory(stream, base, name);
        return {};
    } catch (const CabFailure& f) {
        return {f.status, f.message};
    }
}

std::vector<std::uint64_t> find_cabinets(Stream& stream, std::size_t limit) {
    std::vector<std::uint64_t> found;
    const std::uint64_t size = stream.size();
    constexpr std::size_t kChunk = 1 << 16;
    std::vector<std::uint8_t> buf(kChunk + 3);
    for (std::uint64_t pos = 0; pos + 4 <= size && found.size() < limit; pos += kChunk) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk + 3, size - pos));
        if (!stream.read_exact_at(pos, buf.data(), n))
            break;
        for (std::size_t i = 0; i + 4 <= n && found.size() < limit; ++i) {
            if (std::memcmp(buf.data() + i, "MSCF", 4) != 0)
                continue;
            CabinetDirectory d;
            if (read_directory(stream, pos + i, "", d).ok())
                found.push_back(pos + i);
        }
    }
    return found;
}

} // namespace cv::cab
