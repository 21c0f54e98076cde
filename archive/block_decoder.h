#pragma once
/// Interface between the cabinet reader and its decoders.
///
/// A cabinet folder is a sequence of data blocks; each block holds compressed bytes and
/// yields at most 32768 uncompressed bytes. The reader joins a block that is split across two
/// cabinets before it reaches a decoder, so a decoder always sees whole blocks, in order,
/// and keeps its state (history window, trees, bit position rules) from one block of a folder
/// to the next. One decoder object decodes one folder.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace cv::cab {

inline constexpr std::size_t kMaxBlockOutput = 32768;

class BlockDecoder {
  public:
    virtual ~BlockDecoder() = default;

    /// Decodes the next data block of the folder. `in` holds the block's whole compressed
    /// payload (`in_size` bytes, without the block header and reserve); the call must produce
    /// exactly `out_size` bytes (1 to kMaxBlockOutput) into `out`. Returns false when the data
    /// are corrupt or do not yield exactly `out_size` bytes; `error()` then says what was
    /// wrong. Never reads outside `in` nor writes outside `out`, whatever the input.
    virtual bool decode(const std::uint8_t* in, std::size_t in_size, std::uint8_t* out,
                        std::size_t out_size) = 0;

    /// The reason of the last failure ("" when none).
    virtual const std::string& error() const = 0;
};

/// Stored (type 0) and MSZIP (type 1) folders.
std::unique_ptr<BlockDecoder> make_stored_decoder();
std::unique_ptr<BlockDecoder> make_mszip_decoder();
/// Quantum folder with a window of 2^window_bits bytes, window_bits 10 to 21.
std::unique_ptr<BlockDecoder> make_quantum_decoder(int window_bits);
/// LZX folder with a window of 2^window_bits bytes, window_bits 15 to 21.
std::unique_ptr<BlockDecoder> make_lzx_decoder(int window_bits);

} // namespace cv::cab
