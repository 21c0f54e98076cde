#pragma once
// Test support: a small LZX encoder (greedy matching, real Huffman codes) that writes
// cabinet-style frames, one compressed data block per 32768 bytes of input. It exists so the
// decoder can be checked on inputs of any size, window and block layout; Debian carries no
// LZX compressor.

#include <cstdint>
#include <vector>

namespace cv::test {

struct LzxEncodeOptions {
    int window_bits = 16;
    // Block types to use in turn (1 verbatim, 2 aligned offset, 3 uncompressed).
    std::vector<int> block_types = {1};
    // Uncompressed bytes per LZX block; blocks may span frames.
    std::uint32_t block_size = 32768;
    bool call_translation = false;
    std::int32_t translation_size = 12000000;
    // When an odd uncompressed block ends exactly at a frame end, put its padding byte at
    // the start of the next data block instead of the end of this one.
    bool pad_byte_in_next_frame = false;
    // Greedy match search depth (higher: slower, better compression).
    int search_depth = 16;
};

/// Compresses `data`; returns the compressed payload of each data block (frame).
std::vector<std::vector<std::uint8_t>> lzx_encode(const std::vector<std::uint8_t>& data,
                                                  const LzxEncodeOptions& options);

/// The x86 call translation as the encoder applies it (exposed to test the decoder's undo).
void lzx_translate_calls(std::vector<std::uint8_t>& data, std::int32_t translation_size);

} // namespace cv::test
