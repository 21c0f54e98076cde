#include "crypto/rijndael_file.h"

#include "crypto/double_buffering.h"
#include "crypto/secure_wipe.h"
#include "crypto/setup_file_key.h"
#include "crypto/sha256.h"

#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace cv {

namespace {

bool IsAllowedSize(int bytes) {
    return bytes == 16 || bytes == 24 || bytes == 32;
}

/// True when both paths name one file: the same text, or two spellings of an existing file
/// (opening the output would otherwise truncate the input before it is read).
bool IsSameFile(const std::string& a, const std::string& b) {
    if (a == b) {
        return true;
    }
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

/// Opens the input for binary reading and the output for binary writing (truncated), after
/// refusing one file for both.
void OpenFiles(const std::string& input, const std::string& output, std::ifstream& in,
               std::ofstream& out) {
    if (IsSameFile(input, output)) {
        throw std::runtime_error("FileCrypt ERROR: The same File for Input and Output " + input +
                                 "!");
    }
    in.open(input, std::ios::binary);
    if (!in.is_open()) {
        throw std::runtime_error("FileCrypt ERROR: Cannot open File " + input + "!");
    }
    out.open(output, std::ios::binary | std::ios::trunc);
    if (!out.is_open()) {
        throw std::runtime_error("FileCrypt ERROR: Cannot open File " + output + "!");
    }
}

void CloseOutput(std::ofstream& out, const std::string& path) {
    out.close();
    if (out.fail()) {
        throw std::runtime_error("FileCrypt ERROR: Cannot write File " + path + "!");
    }
}

void XorBlock(std::uint8_t* target, const std::uint8_t* with, int size) {
    for (int i = 0; i < size; ++i) {
        target[i] ^= with[i];
    }
}

} // namespace

CRijndaelFILE::~CRijndaelFILE() {
    crypto::secure_wipe(m_key, sizeof m_key);
    crypto::secure_wipe(m_initialChain, sizeof m_initialChain);
    crypto::secure_wipe(m_chain, sizeof m_chain);
}

void CRijndaelFILE::InitKey(const char* keyText, int keyTextLength, const std::uint8_t* chainBlock,
                            int keyLength, int blockSize, int mode, int padding) {
    if (keyText == nullptr) {
        throw std::runtime_error("FileCrypt ERROR: No Key DataSpecified!");
    }
    if (keyTextLength <= 0) {
        throw std::runtime_error("FileCrypt ERROR: Key Data Length should be > 0!");
    }
    if (!IsAllowedSize(keyLength)) {
        throw std::runtime_error("Illegal Key Length!");
    }
    if (!IsAllowedSize(blockSize)) {
        throw std::runtime_error("Illegal Block Size!");
    }
    if (mode < 0 || mode > 2) {
        throw std::runtime_error("FileCrypt ERROR: Illegal Operation Mode!");
    }
    if (padding < 0 || padding > 2) {
        throw std::runtime_error("FileCrypt ERROR: Illegal Padding Mode!");
    }
    m_mode = mode;
    m_padding = padding;
    crypto::secure_wipe(m_key, sizeof m_key);
    for (int i = 0; i < keyLength; ++i) {
        m_key[i] = static_cast<std::uint8_t>(keyText[i % keyTextLength]);
    }
    crypto::secure_wipe(m_initialChain, sizeof m_initialChain);
    if (chainBlock != nullptr) {
        std::memcpy(m_initialChain, chainBlock, static_cast<std::size_t>(blockSize));
    }
    std::memcpy(m_chain, m_initialChain, sizeof m_chain);
    m_blockSize = blockSize;
    m_keyLength = keyLength;
    m_cipher.set_key(m_key, keyLength, blockSize);
    m_initialized = true;
}

void CRijndaelFILE::RequireInitialized() const {
    if (!m_initialized) {
        throw std::runtime_error("FileCrypt ERROR: Encryption/Decryption Object not Initialized!");
    }
}

void CRijndaelFILE::KeyCheckDigest(std::uint8_t* out) const {
    RequireInitialized();
    // Marker (8) + key (up to 32) + four numbers (at most 2 + 2 + 1 + 1 digits) = 46.
    char text[48] = {};
    std::size_t length = 0;
    std::memcpy(text, crypto::kKeyCheckMarker, crypto::kKeyCheckMarkerLength);
    length += crypto::kKeyCheckMarkerLength;
    std::memcpy(text + length, m_key, static_cast<std::size_t>(m_keyLength));
    length += static_cast<std::size_t>(m_keyLength);
    for (int number : {m_blockSize, m_keyLength, m_mode, m_padding}) {
        auto written = std::to_chars(text + length, text + sizeof text, number);
        length = static_cast<std::size_t>(written.ptr - text);
    }
    // The digest covers the whole check text. Stopping at its first zero byte would let a
    // key with a zero byte hide the parameters from the check, so that a file written with
    // another mode or padding would pass it and decrypt to garbage; for keys without zero
    // bytes both readings give the same digest.
    CSHA sha;
    sha.AddData(text, length);
    sha.FinalDigest(out);
    crypto::secure_wipe(text, sizeof text);
}

void CRijndaelFILE::CheckBufferLength(std::size_t length) const {
    if (length == 0 || length % static_cast<std::size_t>(m_blockSize) != 0) {
        throw std::runtime_error("Illegal Block Size!");
    }
}

void CRijndaelFILE::EncryptBuffer(const std::uint8_t* in, std::uint8_t* out, std::size_t length) {
    RequireInitialized();
    CheckBufferLength(length);
    const int size = m_blockSize;
    for (std::size_t offset = 0; offset < length; offset += static_cast<std::size_t>(size)) {
        const std::uint8_t* plain = in + offset;
        std::uint8_t* cipher = out + offset;
        switch (m_mode) {
        case kElectronicCodeBook:
            m_cipher.encrypt_block(plain, cipher);
            break;
        case kCipherBlockChaining:
            XorBlock(m_chain, plain, size);
            m_cipher.encrypt_block(m_chain, cipher);
            std::memcpy(m_chain, cipher, static_cast<std::size_t>(size));
            break;
        default: { // cipher feedback: C = E(V) xor P, V = C
            std::uint8_t stream[crypto::Rijndael::kMaxBlockSize];
            m_cipher.encrypt_block(m_chain, stream);
            XorBlock(stream, plain, size);
            std::memcpy(cipher, stream, static_cast<std::size_t>(size));
            std::memcpy(m_chain, stream, static_cast<std::size_t>(size));
            break;
        }
        }
    }
}

void CRijndaelFILE::DecryptBuffer(const std::uint8_t* in, std::uint8_t* out, std::size_t length) {
    RequireInitialized();
    CheckBufferLength(length);
    const int size = m_blockSize;
    const auto bytes = static_cast<std::size_t>(size);
    for (std::size_t offset = 0; offset < length; offset += bytes) {
        // Kept aside: `in` and `out` may be the same buffer.
        std::uint8_t cipher[crypto::Rijndael::kMaxBlockSize];
        std::memcpy(cipher, in + offset, bytes);
        std::uint8_t* plain = out + offset;
        switch (m_mode) {
        case kElectronicCodeBook:
            m_cipher.decrypt_block(cipher, plain);
            break;
        case kCipherBlockChaining: // P = D(C) xor V, V = C
            m_cipher.decrypt_block(cipher, plain);
            XorBlock(plain, m_chain, size);
            std::memcpy(m_chain, cipher, bytes);
            break;
        default: // cipher feedback: P = E(V) xor C, V = C
            m_cipher.encrypt_block(m_chain, plain);
            XorBlock(plain, cipher, size);
            std::memcpy(m_chain, cipher, bytes);
            break;
        }
    }
}

void CRijndaelFILE::RestartChain() {
    RequireInitialized();
    std::memcpy(m_chain, m_initialChain, sizeof m_chain);
}

std::size_t CRijndaelFILE::PadData(std::uint8_t* buffer, std::size_t n) const {
    const auto size = static_cast<std::size_t>(m_blockSize);
    if (n % size == 0) {
        return n;
    }
    const std::size_t added = size - n % size;
    std::uint8_t value = 0;
    if (m_padding == kPadBlanks) {
        value = 0x20;
    } else if (m_padding == kPadCount) {
        value = static_cast<std::uint8_t>(added);
    }
    std::memset(buffer + n, value, added);
    return n + added;
}

void CRijndaelFILE::EncryptFileTo(const std::string& input, const std::string& output) {
    RequireInitialized();
    std::ifstream in;
    std::ofstream out;
    OpenFiles(input, output, in, out);
    std::uint8_t header[kHeaderSize];
    KeyCheckDigest(header);
    out.write(reinterpret_cast<const char*>(header), kHeaderSize);
    RestartChain();

    std::uint8_t buffer[kBufferSize];
    std::uint8_t chunk[kChunkSize];
    CDoubleBuffering reader(in, buffer, kBufferSize, kChunkSize);
    for (int n = reader.GetData(chunk); n > 0; n = reader.GetData(chunk)) {
        std::size_t length = static_cast<std::size_t>(n);
        if (n < kChunkSize) {
            length = PadData(chunk, length);
        }
        EncryptBuffer(chunk, chunk, length);
        out.write(reinterpret_cast<const char*>(chunk), static_cast<std::streamsize>(length));
    }
    crypto::secure_wipe(buffer, sizeof buffer);
    crypto::secure_wipe(chunk, sizeof chunk);
    CloseOutput(out, output);
}

void CRijndaelFILE::DecryptFileTo(const std::string& input, const std::string& output) {
    RequireInitialized();
    std::ifstream in;
    std::ofstream out;
    OpenFiles(input, output, in, out);
    std::uint8_t expected[kHeaderSize];
    KeyCheckDigest(expected);
    std::uint8_t header[kHeaderSize] = {};
    in.read(reinterpret_cast<char*>(header), kHeaderSize);
    // A short file fails here even if its bytes happen to match the start of the digest.
    if (static_cast<std::size_t>(in.gcount()) != kHeaderSize ||
        std::memcmp(header, expected, kHeaderSize) != 0) {
        throw std::runtime_error("FileCrypt ERROR: File " + input +
                                 " cannot be Correctly Decrypted!");
    }
    RestartChain();

    std::uint8_t buffer[kBufferSize];
    std::uint8_t chunk[kChunkSize];
    CDoubleBuffering reader(in, buffer, kBufferSize, kChunkSize);
    for (int n = reader.GetData(chunk); n > 0; n = reader.GetData(chunk)) {
        DecryptBuffer(chunk, chunk, static_cast<std::size_t>(n));
        out.write(reinterpret_cast<const char*>(chunk), n);
    }
    crypto::secure_wipe(buffer, sizeof buffer);
    crypto::secure_wipe(chunk, sizeof chunk);
    CloseOutput(out, output);
}

} // namespace cv
