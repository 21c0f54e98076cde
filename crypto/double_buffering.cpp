#include "crypto/double_buffering.h"

#include <cstring>
#include <stdexcept>

namespace cv {

namespace {
const char kBadStream[] = "CDoubleBuffering: Referenced File not Opened or in Bad State!";
}

CDoubleBuffering::CDoubleBuffering(std::istream& stream, std::uint8_t* buffer, int size,
                                   int dataLen)
    : m_stream(stream), m_iSize(size), m_half(size / 2), iDataLen(dataLen), m_buffer(buffer) {
    if (size % 2 != 0) {
        throw std::runtime_error("CDoubleBuffering: m_iSize should be Even Number!");
    }
    if (stream.fail()) {
        throw std::runtime_error(kBadStream);
    }
    if (dataLen < 1 || dataLen > m_half || buffer == nullptr) {
        throw std::runtime_error("CDoubleBuffering: Illegal Construction Data!");
    }
    ReadHalf();
}

void CDoubleBuffering::ReadHalf() {
    m_stream.read(reinterpret_cast<char*>(m_buffer + m_fillPos), m_half);
    if (m_stream.bad()) {
        throw std::runtime_error(kBadStream);
    }
    const int got = static_cast<int>(m_stream.gcount());
    m_valid += got;
    m_fillPos = (m_fillPos + m_half) % m_iSize;
    // istream::read stops short only at the end of the stream.
    if (got < m_half) {
        m_streamEnded = true;
    }
}

int CDoubleBuffering::GetData(std::uint8_t* out, int length) {
    if (length == -1) {
        length = iDataLen;
    } else if (length < 1 || length > m_half) {
        throw std::runtime_error("CDoubleBuffering::GetData(): Illegal iDataLen!");
    }
    if (m_endOfData) {
        return 0;
    }
    // The unread bytes (fewer than length <= m_half) lie just before m_fillPos, so the half
    // at m_fillPos is free for the next read.
    while (m_valid < length && !m_streamEnded) {
        ReadHalf();
    }
    const int count = m_valid < length ? m_valid : length;
    const int first = count < m_iSize - m_readPos ? count : m_iSize - m_readPos;
    std::memcpy(out, m_buffer + m_readPos, static_cast<std::size_t>(first));
    std::memcpy(out + first, m_buffer, static_cast<std::size_t>(count - first));
    m_readPos = (m_readPos + count) % m_iSize;
    m_valid -= count;
    if (count < length) {
        m_endOfData = true;
    }
    return count;
}

} // namespace cv
