#pragma once
// Internal to the reader: a folder's uncompressed data, decoded block by block from the
// segments it has in one or more cabinets of a set. A block split at a cabinet boundary is
// joined before decoding. Failures throw CabFailure.

#include "archive/block_decoder.h"
#include "archive/cab_format.h"
#include "archive/cab_io.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cv::cab::detail {

/// A folder of the set: its part in each cabinet it spans, first to last.
struct LogicalFolder {
    struct Segment {
        std::size_t cabinet; ///< index into the set's cabinets
        std::size_t folder;  ///< folder index inside that cabinet
    };
    std::uint16_t compression = 0;
    std::vector<Segment> segments;
    bool incomplete_start = false; ///< begins in a cabinet before the first one opened
};

struct OpenCabinet {
    std::string name;
    std::unique_ptr<Stream> stream;
    CabinetDirectory dir;
    std::vector<std::shared_ptr<LogicalFolder>> folders; ///< per folder record
};

class FolderStream {
  public:
    /// `open_next` opens the next cabinet of the set if there is one (adding a segment to
    /// `folder` when it continues there); it is called when the folder's known segments end.
    FolderStream(std::shared_ptr<LogicalFolder> folder,
                 const std::vector<std::unique_ptr<OpenCabinet>>& cabinets,
                 std::function<void()> open_next, bool verify_checksums);

    const LogicalFolder* folder() const { return folder_.get(); }
    std::uint64_t position() const { return position_; }

    /// Moves to uncompressed offset `offset`, decoding from the folder's start again when it
    /// lies behind the current position. `what` names the file for messages.
    void seek(std::uint64_t offset, const std::string& what);

    /// Hands the next `size` bytes to `consume(data, n)` in pieces; `consume` returns false
    /// to stop, and then read returns false.
    template <class Consume> bool read(std::uint64_t size, const std::string& what, Consume&& consume) {
        while (size > 0) {
            if (out_pos_ == out_len_)
                next_block(what);
            const std::size_t n =
                static_cast<std::size_t>(std::min<std::uint64_t>(size, out_len_ - out_pos_));
            if (!consume(out_.data() + out_pos_, n))
                return false;
            out_pos_ += n;
            position_ += n;
            size -= n;
        }
        return true;
    }

  private:
    void restart();
    void next_block(const std::string& what);
    // Reads the next block record (header, reserve, data) and appends its data to in_;
    // returns its uncompressed size.
    std::size_t read_block_part(const std::string& what);
    bool advance_segment();
    std::string where() const;

    std::shared_ptr<LogicalFolder> folder_;
    const std::vector<std::unique_ptr<OpenCabinet>>& cabinets_;
    std::function<void()> open_next_;
    bool verify_;
    std::unique_ptr<BlockDecoder> decoder_;

    std::size_t segment_ = 0;      // index into folder_->segments
    std::size_t block_ = 0;        // next block record in the segment
    std::uint64_t cursor_ = 0;     // stream offset of that block record
    std::size_t block_number_ = 0; // blocks decoded since the folder's start, for messages

    std::vector<std::uint8_t> in_;          // a block gathered from the stream or from two cabinets
    const std::uint8_t* block_data_ = nullptr; // the block to decode: in_ or the stream's own bytes
    std::size_t block_size_ = 0;
    std::array<std::uint8_t, kMaxBlockOutput> out_{};
    std::size_t out_pos_ = 0, out_len_ = 0;
    std::uint64_t position_ = 0;
};

} // namespace cv::cab::detail
