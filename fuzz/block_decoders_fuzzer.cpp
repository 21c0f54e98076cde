// Every built-in block decoder on arbitrary blocks. The first byte picks the decoder and its
// window; each following block is a 2-byte output size, a 2-byte length, then the data.
#include "archive/decoder_factory.h"

#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const int type = data[0] & 3;
    const int bits = 10 + (data[0] >> 2) % 12;
    if (!cv::cab::decoder_available(type))
        return 0;
    auto decoder = cv::cab::make_decoder(static_cast<std::uint16_t>(type | bits << 8));
    if (!decoder)
        return 0;
    std::vector<std::uint8_t> out(cv::cab::kMaxBlockOutput);
    std::size_t pos = 1;
    while (pos + 4 <= size) {
        const std::size_t out_size = 1 + ((data[pos] | data[pos + 1] << 8) & 0x7FFF);
        std::size_t len = data[pos + 2] | data[pos + 3] << 8;
        pos += 4;
        len = std::min(len, size - pos);
        // Exact-size copies, so the sanitizer sees reads past the block.
        std::vector<std::uint8_t> in(data + pos, data + pos + len);
        std::vector<std::uint8_t> exact(out_size);
        if (!decoder->decode(in.data(), in.size(), exact.data(), exact.size()))
            break;
        pos += len;
    }
    return 0;
}
