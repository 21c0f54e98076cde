#include "archive/cab_checksum.h"

#include <bit>
#include <cstring>

namespace cv::cab {

std::uint32_t checksum(const std::uint8_t* p, std::size_t n, std::uint32_t seed) {
    // XOR is associative, so eight bytes at a time fold into the same 32-bit sum.
    std::uint64_t wide = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, p + i, 8);
        wide ^= w;
    }
    // The wide words were loaded in host order; the build targets are little-endian.
    static_assert(std::endian::native == std::endian::little);
    std::uint32_t sum =
        seed ^ static_cast<std::uint32_t>(wide) ^ static_cast<std::uint32_t>(wide >> 32);
    for (; i + 4 <= n; i += 4)
        sum ^= static_cast<std::uint32_t>(p[i]) | static_cast<std::uint32_t>(p[i + 1]) << 8 |
               static_cast<std::uint32_t>(p[i + 2]) << 16 | static_cast<std::uint32_t>(p[i + 3]) << 24;
    switch (n - i) {
    case 3:
        sum ^= static_cast<std::uint32_t>(p[i]) << 16 | static_cast<std::uint32_t>(p[i + 1]) << 8 |
               p[i + 2];
        break;
    case 2: sum ^= static_cast<std::uint32_t>(p[i]) << 8 | p[i + 1]; break;
    case 1: sum ^= p[i]; break;
    default: break;
    }
    return sum;
}

} // namespace cv::cab
