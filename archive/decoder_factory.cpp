#include "archive/decoder_factory.h"

// The LZX and Quantum decoders live in their own files, which the build adds (and announces
// with CV_HAVE_LZX / CV_HAVE_QUANTUM) only when they are present.

namespace cv::cab {

bool decoder_available(int type) {
    switch (type) {
    case 0:
    case 1: return true;
#ifdef CV_HAVE_QUANTUM
    case 2: return true;
#endif
#ifdef CV_HAVE_LZX
    case 3: return true;
#endif
    default: return false;
    }
}

std::unique_ptr<BlockDecoder> make_decoder(std::uint16_t compression) {
    const int window_bits = (compression >> 8) & 31;
    switch (compression & 15) {
    case 0: return make_stored_decoder();
    case 1: return make_mszip_decoder();
#ifdef CV_HAVE_QUANTUM
    case 2: return make_quantum_decoder(window_bits);
#endif
#ifdef CV_HAVE_LZX
    case 3: return make_lzx_decoder(window_bits);
#endif
    default: static_cast<void>(window_bits); return nullptr;
    }
}

} // namespace cv::cab
