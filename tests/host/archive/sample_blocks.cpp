#include "tests/host/archive/sample_blocks.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace cv::test {

std::vector<std::uint8_t> read_whole_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

namespace {
struct Cursor {
    const std::vector<std::uint8_t>& b;
    std::size_t pos;
    std::uint32_t u8() {
        if (pos >= b.size())
            throw std::runtime_error("sample cabinet truncated");
        return b[pos++];
    }
    std::uint32_t u16() { return u8() | (u8() << 8); }
    std::uint32_t u32() { return u16() | (u16() << 16); }
    std::string str() {
        std::string s;
        while (char c = static_cast<char>(u8()))
            s += c;
        return s;
    }
};
} // namespace

SampleCabinet read_sample_cabinet(const std::string& path) {
    const auto bytes = read_whole_file(path);
    Cursor c{bytes, 0};
    if (c.u32() != 0x4643534D)
        throw std::runtime_error(path + " is not a cabinet");
    c.pos = 16;
    const std::uint32_t files_offset = c.u32();
    c.pos = 26;
    const std::uint32_t folder_count = c.u16(), file_count = c.u16(), flags = c.u16();
    c.pos = 36;
    std::uint32_t header_reserve = 0, folder_reserve = 0, data_reserve = 0;
    if (flags & 4) {
        header_reserve = c.u16();
        folder_reserve = c.u8();
        data_reserve = c.u8();
        c.pos += header_reserve;
    }
    if (flags & 1) {
        c.str();
        c.str();
    }
    if (flags & 2) {
        c.str();
        c.str();
    }
    SampleCabinet cab;
    for (std::uint32_t i = 0; i < folder_count; ++i) {
        const std::uint32_t first = c.u32(), count = c.u16(), type = c.u16();
        c.pos += folder_reserve;
        SampleFolder f;
        f.type = static_cast<int>(type & 15);
        f.window_bits = static_cast<int>((type >> 8) & 31);
        Cursor d{bytes, first};
        for (std::uint32_t k = 0; k < count; ++k) {
            d.u32();
            const std::uint32_t packed = d.u16(), unpacked = d.u16();
            d.pos += data_reserve;
            if (d.pos + packed > bytes.size())
                throw std::runtime_error("sample block beyond end of " + path);
            SampleBlock blk;
            blk.payload.assign(bytes.begin() + d.pos, bytes.begin() + d.pos + packed);
            blk.uncompressed = unpacked;
            d.pos += packed;
            f.blocks.push_back(std::move(blk));
        }
        cab.folders.push_back(std::move(f));
    }
    c.pos = files_offset;
    for (std::uint32_t i = 0; i < file_count; ++i) {
        SampleFile f;
        f.size = c.u32();
        f.offset = c.u32();
        f.folder = static_cast<int>(c.u16());
        c.pos += 6;
        f.name = c.str();
        cab.files.push_back(std::move(f));
    }
    return cab;
}

} // namespace cv::test
