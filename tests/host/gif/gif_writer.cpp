#include "tests/host/gif/gif_writer.h"

namespace cv::gif::test {

namespace {

void PutU16(std::vector<std::uint8_t>& out, int v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void PutPalette(std::vector<std::uint8_t>& out) {
    const std::uint8_t palette[12] = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    out.insert(out.end(), palette, palette + 12);
}

void PutSubBlocks(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& bytes) {
    for (size_t at = 0; at < bytes.size(); at += 255) {
        size_t n = bytes.size() - at < 255 ? bytes.size() - at : 255;
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), bytes.begin() + at, bytes.begin() + at + n);
    }
    out.push_back(0);
}

} // namespace

std::vector<std::uint8_t> SolidImageData(int pixels, std::uint8_t colour) {
    constexpr unsigned kClear = 4, kEnd = 5, kWidth = 3;
    std::vector<std::uint8_t> packed;
    unsigned long acc = 0;
    int bits = 0;
    auto put = [&](unsigned code) {
        acc |= static_cast<unsigned long>(code) << bits;
        bits += kWidth;
        while (bits >= 8) {
            packed.push_back(static_cast<std::uint8_t>(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    };
    for (int i = 0; i < pixels; ++i) {
        if (i % 2 == 0)
            put(kClear);
        put(colour & 3u);
    }
    put(kEnd);
    if (bits > 0)
        packed.push_back(static_cast<std::uint8_t>(acc & 0xFF));
    std::vector<std::uint8_t> out{2}; // LZW minimum code size for four colours
    PutSubBlocks(out, packed);
    return out;
}

std::vector<std::uint8_t> WriteGif(const GifPlan& plan) {
    std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    PutU16(out, plan.width);
    PutU16(out, plan.height);
    out.push_back(plan.global_table ? 0x81 : 0x00); // table present, 2^(1+1) entries
    out.push_back(0);                                // background colour index
    out.push_back(0);                                // aspect ratio
    if (plan.global_table)
        PutPalette(out);
    if (plan.loop_extension) {
        const std::uint8_t app[] = {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E',
                                    '2', '.', '0', 3, 1, 0, 0, 0};
        out.insert(out.end(), app, app + sizeof app);
    }
    for (const FrameSpec& f : plan.frames) {
        if (!f.comment.empty()) {
            out.push_back(0x21);
            out.push_back(0xFE);
            PutSubBlocks(out, std::vector<std::uint8_t>(f.comment.begin(), f.comment.end()));
        }
        if (f.delay >= 0) {
            out.insert(out.end(), {0x21, 0xF9, 4, static_cast<std::uint8_t>((f.disposal & 7) << 2)});
            PutU16(out, f.delay);
            out.push_back(0); // transparent index (unused: flag bit clear)
            out.push_back(0);
        }
        out.push_back(0x2C);
        PutU16(out, f.left);
        PutU16(out, f.top);
        PutU16(out, f.width);
        PutU16(out, f.height);
        out.push_back(f.local_table ? 0x81 : 0x00);
        if (f.local_table)
            PutPalette(out);
        std::vector<std::uint8_t> image = SolidImageData(f.width * f.height, f.colour);
        out.insert(out.end(), image.begin(), image.end());
    }
    if (plan.trailer)
        out.push_back(0x3B);
    return out;
}

} // namespace cv::gif::test
