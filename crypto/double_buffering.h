#pragma once
/// CDoubleBuffering: hands out a stream's contents in fixed-length chunks through a caller's
/// buffer of two halves that are refilled in turn, so memory use does not depend on the
/// file size.

#include <cstdint>
#include <istream>

namespace cv {

class CDoubleBuffering {
  public:
    /// Reads `stream` through `buffer` (`m_iSize` bytes, owned by the caller and used for
    /// the object's lifetime) in reads of `m_iSize` / 2 bytes; `iDataLen` is the chunk length
    /// GetData uses by default. Raises std::runtime_error, checked in this order:
    /// "CDoubleBuffering: m_iSize should be Even Number!";
    /// "CDoubleBuffering: Referenced File not Opened or in Bad State!" (a stream in a failed
    /// state, which includes a file stream that did not open);
    /// "CDoubleBuffering: Illegal Construction Data!" unless 1 <= iDataLen <= m_iSize / 2.
    /// Then reads the first half.
    CDoubleBuffering(std::istream& stream, std::uint8_t* buffer, int m_iSize, int iDataLen);
    CDoubleBuffering(const CDoubleBuffering&) = delete;
    CDoubleBuffering& operator=(const CDoubleBuffering&) = delete;

    /// Copies the next chunk of the stream to `out` and returns its length: `length` bytes
    /// (-1 means iDataLen) while that many remain, then once the remaining 1 to length bytes,
    /// then 0 on every later call. Raises "CDoubleBuffering::GetData(): Illegal iDataLen!"
    /// unless length is -1 or 1 to m_iSize / 2, and "CDoubleBuffering: Referenced File not
    /// Opened or in Bad State!" when a read fails with an I/O error (rather than returning a
    /// silently shortened file).
    int GetData(std::uint8_t* out, int length = -1);

  private:
    void ReadHalf();

    std::istream& m_stream;
    int m_iSize;
    int m_half;
    int iDataLen;
    std::uint8_t* m_buffer;
    /// Position of the next unread byte; the unread bytes run from here, wrapping at m_iSize.
    int m_readPos = 0;
    /// Unread valid bytes in the buffer.
    int m_valid = 0;
    /// Half that the next read fills: 0 or m_half. Reads are whole halves until the last,
    /// short one, so the unread bytes always end at this boundary.
    int m_fillPos = 0;
    bool m_streamEnded = false;
    bool m_endOfData = false;
};

} // namespace cv
