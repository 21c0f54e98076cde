#include "pages/gif_frames.h"

#include <cstring>
#include <optional>

namespace cv::gif {

namespace {

constexpr std::uint8_t kExtensionIntroducer = 0x21;
constexpr std::uint8_t kImageSeparator = 0x2C;
constexpr std::uint8_t kLabelPlainText = 0x01;
constexpr std::uint8_t kLabelGraphicControl = 0xF9;
constexpr std::uint8_t kLabelComment = 0xFE;
constexpr std::uint8_t kLabelApplication = 0xFF;
/// Image descriptor: separator, left, top, width, height (16 bits each), packed byte.
constexpr std::size_t kImageDescriptorSize = 10;
/// Graphic control: introducer, label, length 4, packed, delay (16 bits), transparent index.
constexpr std::size_t kGraphicControlFieldsEnd = 8;

std::uint16_t ReadU16(std::span<const std::uint8_t> data, std::size_t at) {
    return static_cast<std::uint16_t>(data[at] | (data[at + 1] << 8));
}

/// Colour table bytes announced by a packed byte: 3 × 2^(n+1) when bit 7 is set.
std::size_t ColourTableSize(std::uint8_t packed) {
    if ((packed & 0x80) == 0)
        return 0;
    return 3u * (std::size_t{2} << (packed & 0x07));
}

/// End of the run of data sub-blocks starting at `pos` (just past its zero-length
/// terminator), or nothing when the run reaches the end of the data first.
std::optional<std::size_t> SkipSubBlocks(std::span<const std::uint8_t> data, std::size_t pos) {
    // Each step moves forward by at least one byte, so the loop ends within data.size()
    // steps; `pos` never exceeds size + 256, far from overflowing.
    while (pos < data.size()) {
        std::size_t length = data[pos];
        pos += 1 + length;
        if (length == 0)
            return pos;
    }
    return std::nullopt;
}

BlockKind ExtensionKind(std::uint8_t label) {
    switch (label) {
    case kLabelPlainText:
        return BlockKind::PlainText;
    case kLabelGraphicControl:
        return BlockKind::GraphicControl;
    case kLabelComment:
        return BlockKind::Comment;
    case kLabelApplication:
        return BlockKind::Application;
    default:
        return BlockKind::Unknown;
    }
}

/// The delay and disposal a graphic control extension carries, when its first sub-block is
/// long enough to hold them.
struct GraphicControl {
    std::size_t begin = 0;
    int delay = -1;
    int disposal = 0;
};

std::optional<GraphicControl> ReadGraphicControl(std::span<const std::uint8_t> data,
                                                 const Block& block) {
    if (block.end - block.begin < kGraphicControlFieldsEnd || data[block.begin + 2] < 4)
        return std::nullopt;
    GraphicControl gc;
    gc.begin = block.begin;
    gc.disposal = (data[block.begin + 3] >> 2) & 0x07;
    gc.delay = ReadU16(data, block.begin + 4);
    return gc;
}

} // namespace

bool HasGifSignature(std::span<const std::uint8_t> data) {
    return data.size() >= 3 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F';
}

bool ReadScreen(std::span<const std::uint8_t> data, Screen& screen) {
    if (!HasGifSignature(data) || data.size() < kScreenEnd)
        return false;
    Screen s;
    s.width = ReadU16(data, 6);
    s.height = ReadU16(data, 8);
    s.global_table_size = ColourTableSize(data[10]);
    if (data.size() < s.blocks_begin())
        return false;
    screen = s;
    return true;
}

BlockStatus ReadBlock(std::span<const std::uint8_t> data, std::size_t offset, Block& block) {
    if (offset >= data.size())
        return BlockStatus::Truncated;
    const std::uint8_t first = data[offset];
    if (first == kTrailer) {
        block = {BlockKind::Trailer, offset, offset + 1};
        return BlockStatus::Ok;
    }
    if (first == kExtensionIntroducer) {
        if (offset + 1 >= data.size())
            return BlockStatus::Truncated;
        BlockKind kind = ExtensionKind(data[offset + 1]);
        if (kind == BlockKind::Unknown)
            return BlockStatus::Unknown;
        std::optional<std::size_t> end = SkipSubBlocks(data, offset + 2);
        if (!end)
            return BlockStatus::Truncated;
        block = {kind, offset, *end};
        return BlockStatus::Ok;
    }
    if (first == kImageSeparator) {
        if (data.size() - offset < kImageDescriptorSize)
            return BlockStatus::Truncated;
        // Descriptor, local colour table, then the LZW code-size byte before the sub-blocks.
        std::size_t code_size_at = offset + kImageDescriptorSize + ColourTableSize(data[offset + 9]);
        if (code_size_at >= data.size())
            return BlockStatus::Truncated;
        std::optional<std::size_t> end = SkipSubBlocks(data, code_size_at + 1);
        if (!end)
            return BlockStatus::Truncated;
        block = {BlockKind::Image, offset, *end};
        return BlockStatus::Ok;
    }
    return BlockStatus::Unknown;
}

Split SplitFrames(std::span<const std::uint8_t> data) {
    Split split;
    if (!ReadScreen(data, split.screen)) {
        split.end = WalkEnd::NotGif;
        return split;
    }
    std::optional<GraphicControl> pending;
    std::size_t offset = split.screen.blocks_begin();
    for (;;) {
        if (offset == data.size()) {
            split.end = WalkEnd::EndOfData;
            return split;
        }
        Block block;
        BlockStatus status = ReadBlock(data, offset, block);
        if (status != BlockStatus::Ok) {
            split.end = status == BlockStatus::Truncated ? WalkEnd::Truncated : WalkEnd::Unknown;
            return split;
        }
        switch (block.kind) {
        case BlockKind::Trailer:
            // Bytes after the trailer are not part of the picture.
            split.end = WalkEnd::Trailer;
            return split;
        case BlockKind::GraphicControl:
            // A graphic control applies to the next rendering block; a second one before
            // it replaces the first.
            pending = ReadGraphicControl(data, block);
            break;
        case BlockKind::PlainText:
            // Plain text is a rendering block of its own and uses up the graphic control
            // before it, which therefore does not describe the next image.
            pending.reset();
            break;
        case BlockKind::Image: {
            if (split.frames.size() >= kMaxFrames) {
                split.end = WalkEnd::FrameLimit;
                return split;
            }
            Frame frame;
            frame.begin = pending ? pending->begin : block.begin;
            frame.end = block.end;
            frame.delay = pending ? pending->delay : -1;
            frame.disposal = pending ? pending->disposal : 0;
            frame.left = ReadU16(data, block.begin + 1);
            frame.top = ReadU16(data, block.begin + 3);
            frame.width = ReadU16(data, block.begin + 5);
            frame.height = ReadU16(data, block.begin + 7);
            split.frames.push_back(frame);
            pending.reset();
            break;
        }
        default:
            // Comments and application extensions carry nothing a frame needs.
            break;
        }
        offset = block.end;
    }
}

std::size_t StandaloneSize(const Split& split, const Frame& frame) {
    return split.screen.blocks_begin() + (frame.end - frame.begin) + 1;
}

bool WriteStandalone(std::span<const std::uint8_t> data, const Split& split, const Frame& frame,
                     std::span<std::uint8_t> out) {
    const std::size_t head = split.screen.blocks_begin();
    if (head > data.size() || frame.begin < head || frame.begin > frame.end ||
        frame.end > data.size() || out.size() != StandaloneSize(split, frame))
        return false;
    std::memcpy(out.data(), data.data(), head);
    std::memcpy(out.data() + head, data.data() + frame.begin, frame.end - frame.begin);
    out[out.size() - 1] = kTrailer;
    return true;
}

std::vector<std::uint8_t> MakeStandalone(std::span<const std::uint8_t> data, const Split& split,
                                         const Frame& frame) {
    if (frame.begin > frame.end || frame.end > data.size())
        return {};
    std::vector<std::uint8_t> out(StandaloneSize(split, frame));
    if (!WriteStandalone(data, split, frame, out))
        return {};
    return out;
}

unsigned FrameWaitMs(int delay) {
    if (delay < 0)
        return 0;
    if (delay > 4)
        return static_cast<unsigned>(delay) * 10u;
    return 100;
}

} // namespace cv::gif
