#pragma once
/// The GIF frame splitter: walks the blocks of a GIF87a/GIF89a file and cuts an animated
/// GIF into its frames, each of which can be turned into a standalone one-image GIF that
/// any still-picture loader reads. Nothing here decodes pixels. Every length read from the
/// file is checked against the end of the data; a malformed or cut file yields the frames
/// that are complete before the fault.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace cv::gif {

/// Header (6) plus logical screen descriptor (7).
inline constexpr std::size_t kScreenEnd = 13;
inline constexpr std::uint8_t kTrailer = 0x3B;

/// The kinds of block the splitter tells apart at a parse offset.
enum class BlockKind {
    PlainText,      ///< 0x21 0x01
    GraphicControl, ///< 0x21 0xF9
    Comment,        ///< 0x21 0xFE
    Application,    ///< 0x21 0xFF
    Image,          ///< 0x2C image descriptor, local colour table and image data
    Trailer,        ///< 0x3B
    Unknown,        ///< anything else: the walk stops here
};

/// One block found in the data: its kind and the byte range [begin, end).
struct Block {
    BlockKind kind = BlockKind::Unknown;
    std::size_t begin = 0;
    std::size_t end = 0;
};

/// The most frames one file is cut into. Each frame becomes a decoded picture holding GDI
/// objects, and a process has about ten thousand of those; the walk stops here.
inline constexpr std::size_t kMaxFrames = 2048;

/// What reading one block found.
enum class BlockStatus {
    Ok,         ///< a whole recognised block
    Truncated,  ///< a recognised block that runs past the end of the data
    Unknown,    ///< a byte that starts no known block
};

/// Why a walk over the blocks ended.
enum class WalkEnd {
    Trailer,    ///< the trailer byte was reached
    EndOfData,  ///< the data ended exactly between two blocks (no trailer)
    Truncated,  ///< a block runs past the end of the data
    Unknown,    ///< a byte that starts no known block
    FrameLimit, ///< kMaxFrames frames were cut; the rest is left out
    NotGif,     ///< no signature, or too short for the screen and global colour table
};

/// The file-level facts of a GIF.
struct Screen {
    int width = 0;                    ///< logical screen width (offset 6)
    int height = 0;                   ///< logical screen height (offset 8)
    std::size_t global_table_size = 0; ///< bytes of the global colour table, 0 when absent
    /// Offset of the first block: 13 plus the global colour table.
    std::size_t blocks_begin() const { return kScreenEnd + global_table_size; }
};

/// One frame: the blocks that belong to one image and what they say about it.
struct Frame {
    /// Range copied into the standalone GIF: from the frame's graphic control extension
    /// (or its image descriptor when it has none) through the end of its image data.
    std::size_t begin = 0;
    std::size_t end = 0;
    int delay = -1;    ///< hundredths of a second; -1 when the frame has no graphic control
    int disposal = 0;  ///< disposal method 0..7 (bits 2..4 of the graphic control packed byte)
    int left = 0;      ///< position and size in the logical screen (image descriptor)
    int top = 0;
    int width = 0;
    int height = 0;
};

/// The result of cutting a GIF into frames.
struct Split {
    Screen screen;
    std::vector<Frame> frames; ///< every complete frame, in file order
    WalkEnd end = WalkEnd::EndOfData;
};

/// True when the data starts with the three signature bytes "GIF".
bool HasGifSignature(std::span<const std::uint8_t> data);

/// Reads the logical screen. False when the data is not a GIF or is too short to hold the
/// header, the logical screen descriptor and the global colour table it announces.
bool ReadScreen(std::span<const std::uint8_t> data, Screen& screen);

/// Classifies and measures the block at `offset` (which must be below the data size for
/// Ok). Every extension is its introducer and label followed by data sub-blocks (the fixed
/// fields of the graphic control, plain-text and application extensions are their first
/// sub-block); an image is its 10-byte descriptor, local colour table, code-size byte and
/// sub-blocks. `block` is filled only when the result is Ok.
BlockStatus ReadBlock(std::span<const std::uint8_t> data, std::size_t offset, Block& block);

/// Cuts the data into frames. Each frame is the run of blocks up to and including the next
/// image descriptor; the walk stops at the trailer, at an unrecognised byte, or at a block
/// that runs past the end, keeping the frames completed before it. A data block that is not
/// a GIF or has no readable screen gives no frames.
Split SplitFrames(std::span<const std::uint8_t> data);

/// Bytes of the standalone GIF for `frame`: header, screen and global colour table, the
/// frame's blocks and the trailer.
std::size_t StandaloneSize(const Split& split, const Frame& frame);

/// Writes the standalone GIF for `frame` into `out`, which must be exactly
/// StandaloneSize() bytes; false (nothing written) when it is not or the frame does not lie
/// inside `data`.
bool WriteStandalone(std::span<const std::uint8_t> data, const Split& split, const Frame& frame,
                     std::span<std::uint8_t> out);

/// The standalone GIF for `frame` as a new buffer (empty when WriteStandalone fails).
std::vector<std::uint8_t> MakeStandalone(std::span<const std::uint8_t> data, const Split& split,
                                         const Frame& frame);

/// How long an animation shows a frame, in milliseconds: delay × 10 for delays above 4
/// hundredths, 100 ms for 0 to 4 (players treat such short delays as unset), and 0 for a
/// frame without a graphic control extension (delay -1), which is due at once.
unsigned FrameWaitMs(int delay);

} // namespace cv::gif
