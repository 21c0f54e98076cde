#pragma once
/// Quantum decoder for cabinet folders (compression type 2).
///
/// Quantum is an LZ77 method whose literals, match lengths and match positions are coded
/// with a 16-bit arithmetic coder over adaptive frequency models (archive/quantum_model.h).
/// The stream is cut into frames of 32768 output bytes; the coder restarts at every frame,
/// the models and the history window run on through the whole folder. In cabinets each
/// data block carries one frame, so this decoder restarts the coder at the start of every
/// block and ignores the padding after a frame's code. Only a folder's last block may be
/// shorter than a frame; a block that follows a short block is refused. That last block's
/// final match may run on past the block's end (within its frame): the block keeps what it
/// holds, as other readers do.
///
/// Created by `make_quantum_decoder(window_bits)` (archive/block_decoder.h), which returns
/// nullptr for window_bits outside kQuantumMinWindowBits..kQuantumMaxWindowBits.

#include "archive/block_decoder.h"

#include <cstddef>

namespace cv::cab {

inline constexpr int kQuantumMinWindowBits = 10;
inline constexpr int kQuantumMaxWindowBits = 21;
/// Output bytes per Quantum frame, and so per full cabinet data block.
inline constexpr std::size_t kQuantumFrameSize = 32768;

} // namespace cv::cab
