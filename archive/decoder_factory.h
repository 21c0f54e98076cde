#pragma once
/// Choosing the decoder for a folder's compression type.

#include "archive/block_decoder.h"

#include <memory>

namespace cv::cab {

/// Whether the decoder for compression type `type` (0 none, 1 MSZIP, 2 Quantum, 3 LZX) is
/// built into this program.
bool decoder_available(int type);

/// A fresh decoder for a folder with compression field `compression` (type in the low 4 bits,
/// window exponent in bits 8-12, already checked by the directory reader); null when the
/// type's decoder is not built in.
std::unique_ptr<BlockDecoder> make_decoder(std::uint16_t compression);

} // namespace cv::cab
