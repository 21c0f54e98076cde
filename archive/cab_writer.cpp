#include "archive/cab_writer.h"

#include "archive/cab_checksum.h"
#include "archive/cab_format.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>

namespace cv::cab {

namespace {

constexpr std::size_t kBlock = 32768;
constexpr std::size_t kMaxPacked = 32768 + 6144;          // what readers of the format accept
constexpr std::uint64_t kMaxFolder = 65535ull * 32768;     // block count is 16 bits
constexpr std::size_t kMaxRecord = kFileRecordSize + kMaxString + 1;
constexpr std::uint64_t kMinCabinetSize = 65536;

struct WriteError {
    Result result;
};
[[noreturn]] void fail(std::string message) {
    throw WriteError{{Status::aborted, std::move(message)}};
}

struct Block {
    std::size_t folder;
    std::uint64_t start; // in the concatenation of all folders
    std::uint32_t size;  // uncompressed
    std::vector<std::uint8_t> data;
};

struct PlannedFile {
    const WriterEntry* entry;
    std::size_t folder;
    std::uint32_t offset; // in its folder
    std::uint64_t start;  // in the concatenation of all folders
    std::uint32_t size;
    std::size_t home = 0; // cabinet that lists it first
};

// Deflates 32 KB blocks the MSZIP way: each block is a complete raw deflate stream, "CK"
// first, primed with the 32 KB before it so matches may reach back across blocks.
class MszipEncoder {
  public:
    explicit MszipEncoder(int level) {
        if (deflateInit2(&z_, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            fail("cannot start the deflate compressor");
    }
    ~MszipEncoder() { deflateEnd(&z_); }
    void new_folder() { history_.clear(); }

    std::vector<std::uint8_t> encode(const std::uint8_t* data, std::size_t n) {
        deflateReset(&z_);
        if (!history_.empty())
            deflateSetDictionary(&z_, history_.data(), static_cast<uInt>(history_.size()));
        std::vector<std::uint8_t> out(2 + deflateBound(&z_, n));
        out[0] = 'C';
        out[1] = 'K';
        z_.next_in = const_cast<Bytef*>(data);
        z_.avail_in = static_cast<uInt>(n);
        z_.next_out = out.data() + 2;
        z_.avail_out = static_cast<uInt>(out.size() - 2);
        if (deflate(&z_, Z_FINISH) != Z_STREAM_END)
            fail("deflate did not finish a block");
        out.resize(out.size() - z_.avail_out);
        history_.assign(data, data + n); // blocks are 32 KB, so one block is the window
        return out;
    }

  private:
    z_stream z_{};
    std::vector<std::uint8_t> history_;
};

class Builder {
  public:
    Builder(const std::vector<WriterEntry>& entries, const WriterOptions& options)
        : entries_(entries), options_(options) {}

    /// Compresses all files into blocks; a new folder starts before each file in `breaks`.
    void compress(const std::set<std::size_t>& breaks) {
        blocks_.clear();
        files_.clear();
        plans_.clear();
        std::unique_ptr<MszipEncoder> mszip;
        if (options_.compression == Compression::mszip)
            mszip = std::make_unique<MszipEncoder>(std::clamp(options_.level, 1, 9));
        std::vector<std::uint8_t> pending;
        pending.reserve(kBlock);
        std::size_t folder = 0;
        std::uint64_t folder_size = 0, folder_base = 0;
        auto flush = [&] {
            if (pending.empty())
                return;
            Block b{folder, folder_base + folder_size - pending.size(),
                    static_cast<std::uint32_t>(pending.size()), {}};
            b.data = mszip ? mszip->encode(pending.data(), pending.size()) : pending;
            if (b.data.size() > kMaxPacked)
                fail("a compressed block of " + std::to_string(b.data.size()) +
                     " bytes exceeds the format's limit");
            blocks_.push_back(std::move(b));
            pending.clear();
        };
        for (std::size_t index = 0; index < entries_.size(); ++index) {
            const WriterEntry& e = entries_[index];
            if (e.stored_name.empty() || e.stored_name.size() > kMaxString)
                fail("stored name '" + e.stored_name + "' must have 1 to 255 characters");
            std::uint64_t size = e.bytes.size();
            std::FILE* src = nullptr;
            if (!e.source_path.empty()) {
                std::error_code ec;
                size = std::filesystem::file_size(e.source_path, ec);
                if (ec || !(src = std::fopen(e.source_path.c_str(), "rb")))
                    fail("cannot read '" + e.source_path + "' for '" + e.stored_name + "'");
            }
            std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(src, [](std::FILE* f) {
                return f ? std::fclose(f) : 0;
            });
            if (size > kMaxFolder)
                fail("'" + e.stored_name + "' has " + std::to_string(size) +
                     " bytes; a cabinet file holds at most " + std::to_string(kMaxFolder));
            if (folder_size > 0 && (folder_size + size > kMaxFolder || breaks.count(index))) {
                flush();
                ++folder;
                folder_base += folder_size;
                folder_size = 0;
                if (mszip)
                    mszip->new_folder();
            }
            files_.push_back({&e, folder, static_cast<std::uint32_t>(folder_size),
                              folder_base + folder_size, static_cast<std::uint32_t>(size)});
            std::uint64_t left = size;
            std::size_t from = 0;
            while (left > 0) {
                const std::size_t take =
                    static_cast<std::size_t>(std::min<std::uint64_t>(left, kBlock - pending.size()));
                const std::size_t at = pending.size();
                pending.resize(at + take);
                if (src) {
                    if (std::fread(pending.data() + at, 1, take, src) != take)
                        fail("'" + e.source_path + "' ended early or could not be read");
                } else {
                    std::copy_n(e.bytes.data() + from, take, pending.data() + at);
                    from += take;
                }
                left -= take;
                folder_size += take;
                if (pending.size() == kBlock)
                    flush();
            }
        }
        flush();
    }

    // One data block record, or a part of one, that a cabinet holds.
    struct Piece {
        std::size_t block;
        std::size_t offset, size; // in the block's compressed data
        bool last;                // carries the block's uncompressed size
    };
    struct Plan {
        std::vector<Piece> pieces;
    };

    void lay_out() {
        const std::uint64_t max = options_.max_cabinet_size;
        if (max != 0 && max < kMinCabinetSize)
            fail("a maximum cabinet size of " + std::to_string(max) +
                 " bytes is too small; it must be at least " + std::to_string(kMinCabinetSize));
        std::size_t b = 0, boff = 0;
        do {
            const std::size_t k = plans_.size();
            if (k == 0xFFFF)
                fail("the files need more than 65535 cabinets");
            Plan plan;
            if (max == 0 || fits_rest(k, b, boff, max)) {
                for (; b < blocks_.size(); ++b, boff = 0)
                    plan.pieces.push_back({b, boff, blocks_[b].data.size() - boff, true});
                plans_.push_back(std::move(plan));
                break;
            }
            // Room for the header with both neighbours and for two file records that span
            // into or out of this cabinet.
            std::uint64_t used = header_size(k, true) + 2 * kMaxRecord;
            std::size_t folder = SIZE_MAX;
            std::size_t file = first_file_starting_at_or_after(b);
            while (b < blocks_.size()) {
                const Block& blk = blocks_[b];
                const std::uint64_t folder_cost =
                    blk.folder != folder ? kFolderRecordSize + options_.folder_reserve : 0;
                const std::uint64_t piece_cost = kBlockHeaderSize + options_.data_reserve;
                std::uint64_t records = 0;
                std::size_t f = file;
                for (; f < files_.size() && files_[f].start < blk.start + blk.size; ++f)
                    records += kFileRecordSize + files_[f].entry->stored_name.size() + 1;
                const std::size_t rest = blk.data.size() - boff;
                if (used + folder_cost + piece_cost + records + rest <= max) {
                    plan.pieces.push_back({b, boff, rest, true});
                    used += folder_cost + piece_cost + records + rest;
                    folder = blk.folder;
                    file = f;
                    ++b;
                    boff = 0;
                    continue;
                }
                const std::uint64_t overhead = used + folder_cost + piece_cost;
                if (overhead + 64 <= max && rest > 1) {
                    // The block's file records go to the cabinet that ends it.
                    const std::size_t part =
                        std::min<std::size_t>(static_cast<std::size_t>(max - overhead), rest - 1);
                    plan.pieces.push_back({b, boff, part, false});
                    boff += part;
                }
                break;
            }
            if (plan.pieces.empty())
                fail("the maximum cabinet size of " + std::to_string(max) +
                     " bytes leaves no room for data in cabinet " + std::to_string(k + 1));
            plans_.push_back(std::move(plan));
        } while (b < blocks_.size());
        assign_homes();
    }

    std::vector<std::string> write(const std::string& out_dir) {
        std::vector<std::string> paths;
        for (std::size_t k = 0; k < plans_.size(); ++k) {
            const std::vector<std::uint8_t> bytes = cabinet_bytes(k);
            const std::string path =
                (std::filesystem::path(out_dir) / options_.cabinet_name(static_cast<unsigned>(k + 1)))
                    .string();
            std::FILE* f = std::fopen(path.c_str(), "wb");
            if (!f)
                fail("cannot create '" + path + "'");
            const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
            if (std::fclose(f) != 0 || !ok)
                fail("cannot write '" + path + "'");
            paths.push_back(path);
        }
        return paths;
    }

  private:
    bool has_reserve() const {
        return options_.header_reserve || options_.folder_reserve || options_.data_reserve;
    }
    std::string name(std::size_t k) const { return options_.cabinet_name(static_cast<unsigned>(k + 1)); }
    std::string disk(std::size_t k) const { return options_.disk_name(static_cast<unsigned>(k + 1)); }

    std::uint64_t header_size(std::size_t k, bool has_next) const {
        std::uint64_t n = kHeaderSize;
        if (has_reserve())
            n += 4 + options_.header_reserve;
        if (k > 0)
            n += name(k - 1).size() + disk(k - 1).size() + 2;
        if (has_next)
            n += name(k + 1).size() + disk(k + 1).size() + 2;
        return n;
    }

    std::size_t first_file_starting_at_or_after(std::size_t b) const {
        if (b >= blocks_.size())
            return files_.size();
        // Files that start inside a block belong to the cabinet that ends the block.
        const std::uint64_t start = blocks_[b].start;
        std::size_t f = 0;
        while (f < files_.size() && files_[f].start < start)
            ++f;
        return f;
    }

    bool fits_rest(std::size_t k, std::size_t b, std::size_t boff, std::uint64_t max) const {
        std::uint64_t n = header_size(k, false) + 2 * kMaxRecord;
        std::size_t folder = SIZE_MAX;
        for (std::size_t i = b; i < blocks_.size(); ++i) {
            if (blocks_[i].folder != folder)
                n += kFolderRecordSize + options_.folder_reserve;
            folder = blocks_[i].folder;
            n += kBlockHeaderSize + options_.data_reserve + blocks_[i].data.size() - (i == b ? boff : 0);
        }
        for (std::size_t f = first_file_starting_at_or_after(b); f < files_.size(); ++f)
            n += kFileRecordSize + files_[f].entry->stored_name.size() + 1;
        return n <= max;
    }

    // Where cabinet k's data begin, in the concatenation of all folders.
    std::uint64_t data_start(std::size_t k) const {
        const auto& p = plans_[k].pieces;
        return p.empty() ? total_size() : blocks_[p.front().block].start;
    }
    std::uint64_t total_size() const {
        return files_.empty() ? 0 : files_.back().start + files_.back().size;
    }
    void assign_homes() {
        // A file is listed first by the cabinet that ends the block holding its first byte.
        std::vector<std::size_t> owner(blocks_.size());
        for (std::size_t k = 0; k < plans_.size(); ++k)
            for (const Piece& p : plans_[k].pieces)
                if (p.last)
                    owner[p.block] = k;
        std::size_t b = 0;
        for (PlannedFile& f : files_) {
            while (b < blocks_.size() && (blocks_[b].folder < f.folder ||
                                          (blocks_[b].folder == f.folder &&
                                           blocks_[b].start + blocks_[b].size <= f.start)))
                ++b;
            const bool inside = b < blocks_.size() && blocks_[b].folder == f.folder;
            f.home = inside ? owner[b] : (b > 0 ? owner[b - 1] : plans_.size() - 1);
        }
        // Readers tell a folder that goes on in the next cabinet by a file listed in both.
        // When the boundary falls between two files (or at the folder's start), the file
        // after it is listed in the cabinet before too, marked as continuing.
        for (std::size_t k = 0; k + 1 < plans_.size(); ++k) {
            if (!continues(k) || spanning_file(k))
                continue;
            const std::uint64_t point = data_start(k + 1);
            for (PlannedFile& f : files_)
                if (f.start >= point && f.size > 0) {
                    f.home = k;
                    break;
                }
        }
    }

    bool continues(std::size_t k) const {
        return blocks_[plans_[k].pieces.back().block].folder ==
               blocks_[plans_[k + 1].pieces.front().block].folder;
    }

    // The file listed in both cabinet k and k + 1, if any (index + 1, or 0).
    std::size_t spanning_file(std::size_t k) const {
        for (std::size_t f = 0; f < files_.size(); ++f)
            if (listed(files_[f], k) && listed(files_[f], k + 1))
                return f + 1;
        return 0;
    }

  public:
    /// Where the layout needs one more folder break, if anywhere. Readers match a folder
    /// that goes on in the next cabinet by the files listed in both (cabextract refuses the
    /// set otherwise), so, as the format's own writers do, a folder carried into a cabinet
    /// holds only the rest of the file that spans the boundary: the file after it starts a
    /// new folder. A boundary that falls between two files of a folder also gets a break.
    std::optional<std::size_t> needed_break() const {
        for (std::size_t k = 0; k + 1 < plans_.size(); ++k) {
            if (!continues(k))
                continue;
            const std::size_t spanning = spanning_file(k);
            if (spanning == 0)
                continue; // only a folder of empty files; nothing to match
            const std::size_t after = spanning; // index of the file after the spanning one
            if (after < files_.size() && files_[after].folder == files_[spanning - 1].folder)
                return after;
        }
        return std::nullopt;
    }

  private:
    bool listed(const PlannedFile& f, std::size_t k) const {
        if (f.home == k)
            return true;
        return f.home < k && f.size > 0 && f.start + f.size > data_start(k);
    }

    std::vector<std::uint8_t> cabinet_bytes(std::size_t k) const {
        const Plan& plan = plans_[k];
        const bool has_next = k + 1 < plans_.size();
        std::vector<std::uint8_t> out;
        auto u8 = [&](unsigned v) { out.push_back(static_cast<std::uint8_t>(v)); };
        auto u16 = [&](unsigned v) { u8(v & 0xFF); u8(v >> 8 & 0xFF); };
        auto u32 = [&](std::uint64_t v) { u16(v & 0xFFFF); u16(v >> 16 & 0xFFFF); };
        auto str = [&](const std::string& s) { out.insert(out.end(), s.begin(), s.end()); u8(0); };
        auto put32 = [&](std::size_t at, std::uint64_t v) {
            for (int i = 0; i < 4; ++i)
                out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        };

        // Folders of this cabinet, in order, with their pieces.
        std::vector<std::size_t> folders;
        for (const Piece& p : plan.pieces)
            if (folders.empty() || folders.back() != blocks_[p.block].folder)
                folders.push_back(blocks_[p.block].folder);
        if (folders.empty())
            folders.push_back(files_.empty() ? 0 : files_.back().folder);
        std::vector<const PlannedFile*> files;
        for (const PlannedFile& f : files_)
            if (listed(f, k))
                files.push_back(&f);
        if (files.empty())
            fail("cabinet " + std::to_string(k + 1) +
                 " would list no file; use a larger maximum cabinet size");

        u32(kSignature);
        u32(0);
        const std::size_t size_at = out.size();
        u32(0);
        u32(0);
        const std::size_t files_at = out.size();
        u32(0);
        u32(0);
        u16(kVersion);
        u16(static_cast<unsigned>(folders.size()));
        u16(static_cast<unsigned>(files.size()));
        u16((k > 0 ? kFlagPrevious : 0) | (has_next ? kFlagNext : 0) | (has_reserve() ? kFlagReserve : 0));
        u16(options_.set_id);
        u16(static_cast<unsigned>(k));
        if (has_reserve()) {
            u16(options_.header_reserve);
            u8(options_.folder_reserve);
            u8(options_.data_reserve);
            out.resize(out.size() + options_.header_reserve);
        }
        if (k > 0) {
            str(name(k - 1));
            str(disk(k - 1));
        }
        if (has_next) {
            str(name(k + 1));
            str(disk(k + 1));
        }
        std::vector<std::size_t> folder_at;
        for (std::size_t fo : folders) {
            folder_at.push_back(out.size());
            u32(0);
            unsigned count = 0;
            for (const Piece& p : plan.pieces)
                count += blocks_[p.block].folder == fo;
            u16(count);
            u16(options_.compression == Compression::mszip ? kMszip : kStored);
            out.resize(out.size() + options_.folder_reserve);
        }
        put32(files_at, out.size());
        for (const PlannedFile* f : files) {
            const bool from_prev = f->home < k;
            const bool to_next = has_next && listed(*f, k + 1);
            std::uint16_t index;
            if (from_prev && to_next)
                index = kPreviousAndNext;
            else if (from_prev)
                index = kFromPrevious;
            else if (to_next)
                index = kToNext;
            else
                index = static_cast<std::uint16_t>(
                    std::find(folders.begin(), folders.end(), f->folder) - folders.begin());
            u32(f->size);
            u32(f->offset);
            u16(index);
            u16(f->entry->date);
            u16(f->entry->time);
            u16(f->entry->attributes);
            str(f->entry->stored_name);
        }
        std::size_t current_folder = SIZE_MAX;
        for (const Piece& p : plan.pieces) {
            const Block& blk = blocks_[p.block];
            if (blk.folder != current_folder) {
                current_folder = blk.folder;
                const auto idx = std::find(folders.begin(), folders.end(), blk.folder) - folders.begin();
                put32(folder_at[idx], out.size());
            }
            const std::size_t at = out.size();
            u32(0);
            u16(static_cast<unsigned>(p.size));
            u16(p.last ? blk.size : 0);
            out.resize(out.size() + options_.data_reserve);
            const std::uint8_t* data = blk.data.data() + p.offset;
            out.insert(out.end(), data, data + p.size);
            put32(at, block_checksum(data, p.size, out.data() + at + 4, 4 + options_.data_reserve));
        }
        put32(size_at, out.size());
        return out;
    }

    const std::vector<WriterEntry>& entries_;
    const WriterOptions& options_;
    std::vector<Block> blocks_;
    std::vector<PlannedFile> files_;
    std::vector<Plan> plans_;
};

} // namespace

Result write_cabinets(const std::vector<WriterEntry>& entries, const std::string& out_dir,
                      const WriterOptions& options, std::vector<std::string>* written) {
    if (entries.empty())
        return {Status::aborted, "a cabinet needs at least one file"};
    if (entries.size() > 0xFFFF)
        return {Status::aborted, "a cabinet holds at most 65535 files, not " +
                                     std::to_string(entries.size())};
    try {
        Builder builder(entries, options);
        // Each pass fixes the earliest boundary that needs a folder break; the layout before
        // it stays as it was, so the passes end.
        std::set<std::size_t> breaks;
        for (;;) {
            builder.compress(breaks);
            builder.lay_out();
            const auto more = builder.needed_break();
            if (!more || !breaks.insert(*more).second)
                break;
        }
        auto paths = builder.write(out_dir);
        if (written)
            *written = std::move(paths);
        return {};
    } catch (const WriteError& e) {
        return e.result;
    }
}

} // namespace cv::cab
