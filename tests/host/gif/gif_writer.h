#pragma once
/// A tiny GIF encoder for tests: solid-colour frames over a four-colour palette, with the
/// extensions the frame splitter has to step over. Its LZW stream sends a clear code after
/// every two pixels so the code width never grows past 3 bits, which keeps it short and
/// still readable by any decoder.

#include <cstdint>
#include <string>
#include <vector>

namespace cv::gif::test {

struct FrameSpec {
    int left = 0;
    int top = 0;
    int width = 1;
    int height = 1;
    int delay = -1;          ///< hundredths; below 0 writes no graphic control extension
    int disposal = 0;        ///< 0..7
    std::uint8_t colour = 1; ///< palette index filling the frame (0..3)
    bool local_table = false;
    std::string comment;     ///< written as a comment extension before the frame when set
};

struct GifPlan {
    int width = 1;
    int height = 1;
    bool global_table = true;
    bool loop_extension = false; ///< NETSCAPE2.0 application extension after the screen
    bool trailer = true;
    std::vector<FrameSpec> frames;
};

/// A frame at (left, top) of the given size, with everything else defaulted.
inline FrameSpec Rect(int left, int top, int width, int height) {
    FrameSpec f;
    f.left = left;
    f.top = top;
    f.width = width;
    f.height = height;
    return f;
}

/// The GIF89a bytes for `plan`.
std::vector<std::uint8_t> WriteGif(const GifPlan& plan);

/// The image data of one solid frame: code-size byte, sub-blocks, terminator.
std::vector<std::uint8_t> SolidImageData(int pixels, std::uint8_t colour);

} // namespace cv::gif::test
