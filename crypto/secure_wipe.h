#pragma once
/// Zeroing of key material that the compiler may not drop as a dead store.

#include <cstddef>

namespace cv::crypto {

/// Overwrites `size` bytes at `data` with zeros through a volatile pointer, so the writes
/// survive even when the object is about to be destroyed.
inline void secure_wipe(void* data, std::size_t size) {
    volatile unsigned char* p = static_cast<volatile unsigned char*>(data);
    while (size-- > 0) {
        *p++ = 0;
    }
}

} // namespace cv::crypto
