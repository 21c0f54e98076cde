#include "archive/folder_stream.h"

#include "archive/cab_checksum.h"
#include "archive/checked.h"
#include "archive/decoder_factory.h"

#include <cstdio>

namespace cv::cab::detail {

namespace {

// A block's compressed data, joined from all its parts, never exceeds this; the format's
// writers stay below 32768 + 6144 bytes.
constexpr std::size_t kMaxJoinedBlock = 65535;

const char* method_name(int type) {
    switch (type) {
    case kStored: return "uncompressed";
    case kMszip: return "MSZIP";
    case kQuantum: return "Quantum";
    case kLzx: return "LZX";
    default: return "unknown";
    }
}

} // namespace

FolderStream::FolderStream(std::shared_ptr<LogicalFolder> folder,
                           const std::vector<std::unique_ptr<OpenCabinet>>& cabinets,
                           std::function<void()> open_next, bool verify_checksums)
    : folder_(std::move(folder)), cabinets_(cabinets), open_next_(std::move(open_next)),
      verify_(verify_checksums) {
    in_.reserve(kMaxJoinedBlock);
    restart();
}

std::string FolderStream::where() const {
    const auto& seg = folder_->segments[std::min(segment_, folder_->segments.size() - 1)];
    return "cabinet '" + cabinets_[seg.cabinet]->name + "' folder " +
           std::to_string(seg.folder) + " block " + std::to_string(block_);
}

void FolderStream::restart() {
    const auto& first = folder_->segments.front();
    const OpenCabinet& cab = *cabinets_[first.cabinet];
    decoder_ = make_decoder(folder_->compression);
    check(decoder_ != nullptr, Status::unsupported, [&] {
        return "cabinet '" + cab.name + "' folder " + std::to_string(first.folder) + " uses " +
               method_name(folder_->compression & 15) +
               " compression, whose decoder is not built in";
    });
    segment_ = 0;
    block_ = 0;
    cursor_ = cab.dir.base + cab.dir.folders[first.folder].data_offset;
    block_number_ = 0;
    out_pos_ = out_len_ = 0;
    position_ = 0;
}

void FolderStream::seek(std::uint64_t offset, const std::string& what) {
    if (offset < position_ - out_pos_)
        restart();
    else if (offset < position_) {
        // Still inside the decoded block.
        const std::uint64_t back = position_ - offset;
        out_pos_ -= static_cast<std::size_t>(back);
        position_ = offset;
        return;
    }
    read(offset - position_, what, [](const std::uint8_t*, std::size_t) { return true; });
}

bool FolderStream::advance_segment() {
    if (segment_ + 1 >= folder_->segments.size()) {
        // The folder may go on in a cabinet not opened yet.
        const auto& last = folder_->segments.back();
        const OpenCabinet& cab = *cabinets_[last.cabinet];
        if (last.cabinet + 1 == cabinets_.size() && cab.dir.header.has_next() &&
            last.folder + 1 == cab.dir.folders.size())
            open_next_();
        if (segment_ + 1 >= folder_->segments.size())
            return false;
    }
    ++segment_;
    block_ = 0;
    const auto& seg = folder_->segments[segment_];
    const OpenCabinet& cab = *cabinets_[seg.cabinet];
    cursor_ = cab.dir.base + cab.dir.folders[seg.folder].data_offset;
    return true;
}

std::size_t FolderStream::read_block_part(const std::string& what) {
    const auto& seg = folder_->segments[segment_];
    OpenCabinet& cab = *cabinets_[seg.cabinet];
    const std::size_t reserve = cab.dir.header.data_reserve;
    std::uint8_t header[kBlockHeaderSize + 255];
    const std::size_t header_size = kBlockHeaderSize + reserve;
    check(cab.stream->read_exact_at(cursor_, header, header_size), Status::corrupt, [&] {
        return where() + " (file '" + what + "') is truncated: its header at offset " +
               std::to_string(cursor_) + " lies past the end of the cabinet";
    });
    const std::uint32_t sum = header[0] | header[1] << 8 | header[2] << 16 |
                              static_cast<std::uint32_t>(header[3]) << 24;
    const std::size_t packed = header[4] | header[5] << 8;
    const std::size_t unpacked = header[6] | header[7] << 8;
    check(unpacked <= kMaxBlockOutput, Status::corrupt, [&] {
        return where() + " (file '" + what + "') is corrupt: uncompressed size is " +
               std::to_string(unpacked) + " when it should be at most 32768";
    });
    const std::size_t had = in_.size();
    check(packed <= kMaxJoinedBlock - had, Status::corrupt, [&] {
        return where() + " (file '" + what + "') is corrupt: its parts hold " +
               std::to_string(had + packed) + " compressed bytes, more than " +
               std::to_string(kMaxJoinedBlock);
    });
    // A whole block of a stream held in memory is decoded where it lies; a block joined
    // from two cabinets, or one from a plain file, is gathered in in_.
    const std::uint8_t* data = nullptr;
    if (had == 0 && unpacked != 0)
        data = cab.stream->view(cursor_ + header_size, packed);
    if (!data) {
        in_.resize(had + packed);
        check(cab.stream->read_exact_at(cursor_ + header_size, in_.data() + had, packed),
              Status::corrupt, [&] {
                  return where() + " (file '" + what + "') is truncated: " +
                         std::to_string(packed) + " bytes of data at offset " +
                         std::to_string(cursor_ + header_size) + " run past the end of the cabinet";
              });
        data = in_.data() + had;
    }
    block_data_ = had == 0 ? data : in_.data();
    block_size_ = had + packed;
    if (verify_ && sum != 0) {
        const std::uint32_t want = block_checksum(data, packed, header + 4, 4 + reserve);
        check(sum == want, Status::corrupt, [&] {
            char buf[64];
            std::snprintf(buf, sizeof buf, "checksum is %08X when it should be %08X", sum, want);
            return where() + " (file '" + what + "') is corrupt: " + buf;
        });
    }
    cursor_ += header_size + packed;
    ++block_;
    return unpacked;
}

void FolderStream::next_block(const std::string& what) {
    in_.clear();
    std::size_t unpacked = 0;
    for (;;) {
        while (block_ >= cabinets_[folder_->segments[segment_].cabinet]
                             ->dir.folders[folder_->segments[segment_].folder]
                             .block_count) {
            check(advance_segment(), Status::corrupt, [&] {
                return where() + ": the folder's data end before file '" + what +
                       "' does (its record lies beyond them)";
            });
        }
        unpacked = read_block_part(what);
        if (unpacked != 0)
            break;
        // An uncompressed size of 0 marks a block whose rest is the first block of the
        // folder's part in the next cabinet; it can only be the last block of a segment.
        const std::size_t count = cabinets_[folder_->segments[segment_].cabinet]
                                      ->dir.folders[folder_->segments[segment_].folder]
                                      .block_count;
        check(block_ == count, Status::corrupt, [&] {
            return where() + " (file '" + what + "') is corrupt: uncompressed size is 0 " +
                   "but the block is not the last one of its cabinet";
        });
        check(advance_segment(), Status::corrupt, [&] {
            return where() + " (file '" + what + "') is truncated: the block continues in a " +
                   "next cabinet, which the set does not have";
        });
    }
    check(decoder_->decode(block_data_, block_size_, out_.data(), unpacked), Status::corrupt, [&] {
        return "cabinet '" + cabinets_[folder_->segments[segment_].cabinet]->name + "' folder " +
               std::to_string(folder_->segments[segment_].folder) + " block " +
               std::to_string(block_ - 1) + " (file '" + what + "', data block " +
               std::to_string(block_number_) + " of the folder): " + decoder_->error();
    });
    ++block_number_;
    out_pos_ = 0;
    out_len_ = unpacked;
}

} // namespace cv::cab::detail
