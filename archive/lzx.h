#pragma once
/// LZX decoder for cabinet folders (compression type 3).
///
/// A folder is one LZX stream: the state (window, code lengths, repeated offsets, the
/// call-translation header) starts fresh with the decoder and runs on from data block to
/// data block. Each data block is one output frame of the stream (32768 bytes, the last
/// one shorter) whose compressed bits start on the block's first byte. Created through
/// `make_lzx_decoder` (archive/block_decoder.h).

#include "archive/block_decoder.h"
#include "archive/lzx_bits.h"
#include "archive/lzx_huffman.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cv::cab {

namespace lzx {
inline constexpr int kMinWindowBits = 15;
inline constexpr int kMaxWindowBits = 21;
inline constexpr unsigned kMaxPositionSlots = 50;
inline constexpr unsigned kLiterals = 256;
inline constexpr unsigned kMaxMainSymbols = kLiterals + 8 * kMaxPositionSlots;
inline constexpr unsigned kLengthSymbols = 249;
inline constexpr unsigned kAlignedSymbols = 8;
inline constexpr unsigned kPretreeSymbols = 20;
inline constexpr unsigned kMinMatch = 2;

/// Position slots of a window of 2^window_bits bytes; 0 outside 15..21.
unsigned position_slots(int window_bits);
} // namespace lzx

class LzxDecoder final : public BlockDecoder {
  public:
    /// `window_bits` must lie in 15..21.
    explicit LzxDecoder(int window_bits);

    bool decode(const std::uint8_t* in, std::size_t in_size, std::uint8_t* out,
                std::size_t out_size) override;
    const std::string& error() const override { return error_; }

  private:
    enum BlockType : unsigned { kNoBlock = 0, kVerbatim = 1, kAligned = 2, kUncompressed = 3 };

    bool fail(const std::string& what);
    bool fail_corrupt(const std::string& what); // reports a truncation instead when bits ran out
    bool read_translation_header();
    bool read_block_header();
    bool read_tree(const char* name, std::uint8_t* lengths, unsigned first, unsigned last);
    template <typename Table>
    bool build_table(const char* name, Table& table, const std::uint8_t* lengths, unsigned count);
    bool decode_compressed(std::uint32_t run, bool run_ends_frame);
    bool copy_uncompressed(std::uint32_t run);
    void end_uncompressed_block();
    void copy_frame_out(std::uint32_t frame_start, std::uint8_t* out, std::size_t size) const;
    void undo_call_translation(std::uint8_t* out, std::size_t size, std::uint64_t frame_offset) const;

    const std::uint32_t window_size_;
    const unsigned main_symbols_;
    std::vector<std::uint8_t> window_;
    std::uint32_t window_pos_ = 0; // where the next byte goes in window_
    std::uint64_t total_out_ = 0;  // bytes produced since the folder began
    std::uint64_t blocks_done_ = 0;
    std::uint32_t repeat_[3] = {1, 1, 1};

    bool header_read_ = false;
    bool translation_on_ = false;
    std::int32_t translation_size_ = 0;

    unsigned block_type_ = kNoBlock;
    std::uint32_t block_length_ = 0;
    std::uint32_t block_remaining_ = 0;
    bool pad_byte_pending_ = false;

    // Input of the current data block; raw_ is the byte position inside uncompressed blocks.
    const std::uint8_t* in_end_ = nullptr;
    const std::uint8_t* raw_ = nullptr;
    lzx::BitReader bits_;

    // Code lengths carry over from block to block as the base of the delta coding. A run in
    // the length coding may reach past the end of its part; the slack takes it (see read_tree).
    static constexpr unsigned kRunSlack = 64;
    std::uint8_t main_lengths_[lzx::kMaxMainSymbols + kRunSlack] = {};
    std::uint8_t length_lengths_[lzx::kLengthSymbols + kRunSlack] = {};
    std::uint8_t aligned_lengths_[lzx::kAlignedSymbols] = {};
    lzx::HuffmanTable<lzx::kMaxMainSymbols, 10> main_table_;
    lzx::HuffmanTable<lzx::kLengthSymbols, 10> length_table_;
    lzx::HuffmanTable<lzx::kAlignedSymbols, 7> aligned_table_;
    lzx::HuffmanTable<lzx::kPretreeSymbols, 8> pretree_;

    bool failed_ = false;
    std::string error_;
};

} // namespace cv::cab
