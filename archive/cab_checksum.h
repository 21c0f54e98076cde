#pragma once
/// The data-block checksum of the cabinet format: an XOR of little-endian 32-bit words, with
/// a 1 to 3 byte remainder folded in big-endian order.

#include <cstddef>
#include <cstdint>

namespace cv::cab {

/// Continues the XOR-sum `seed` over `n` bytes at `p`.
std::uint32_t checksum(const std::uint8_t* p, std::size_t n, std::uint32_t seed);

/// The checksum a data block must carry: the sum over its data, continued over its header
/// from the fifth byte on (`header_tail`: the two sizes and the reserve bytes).
inline std::uint32_t block_checksum(const std::uint8_t* data, std::size_t data_size,
                                    const std::uint8_t* header_tail, std::size_t tail_size) {
    return checksum(header_tail, tail_size, checksum(data, data_size, 0));
}

} // namespace cv::cab
