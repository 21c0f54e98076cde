#pragma once
/// CRijndaelFILE: the encrypted file format of the settings files, on top of the Rijndael
/// cipher.
///
/// An encrypted file is a 32-byte key-check digest followed by the ciphertext of the
/// plaintext padded to a whole number of blocks (nothing is added when the plaintext already
/// is one; an empty plaintext gives the digest alone). There is no length field: decryption
/// keeps the padding bytes at the end of its output.
///
/// The key-check digest is the SHA-256 of the check text: the marker kKeyCheckMarker, the key
/// bytes, then block size, key length, mode and padding as decimal numbers back to back.
///
/// Every failure raises std::runtime_error with a fixed text (given with each operation).

#include "crypto/method.h"
#include "crypto/rijndael.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace cv {

class CRijndaelFILE : public IMethod {
  public:
    enum Mode { kElectronicCodeBook = 0, kCipherBlockChaining = 1, kCipherFeedback = 2 };
    enum Padding { kPadZeros = 0, kPadBlanks = 1, kPadCount = 2 };

    /// Bytes a file operation reads and ciphers at a time: a multiple of every block size,
    /// so only the last chunk of a file can need padding.
    static constexpr int kChunkSize = 384;
    /// Size of the double buffer behind the chunks.
    static constexpr int kBufferSize = 1024;
    static constexpr std::size_t kHeaderSize = 32;

    CRijndaelFILE() = default;
    /// Wipes the key bytes and both chain blocks (the cipher wipes its round keys).
    ~CRijndaelFILE() override;

    /// Installs a key. Checks, in this order, raising on the first failure:
    /// `keyText` null, "FileCrypt ERROR: No Key DataSpecified!";
    /// `keyTextLength` not above 0, "FileCrypt ERROR: Key Data Length should be > 0!";
    /// `keyLength` not 16, 24 or 32, "Illegal Key Length!";
    /// `blockSize` not 16, 24 or 32, "Illegal Block Size!";
    /// `mode` not 0 to 2, "FileCrypt ERROR: Illegal Operation Mode!";
    /// `padding` not 0 to 2, "FileCrypt ERROR: Illegal Padding Mode!".
    /// The key is the key text repeated cyclically to `keyLength` bytes. `chainBlock` holds
    /// `blockSize` bytes and becomes both the initial and the working chain block (null
    /// stands for an all-zero block). Replaces all earlier key material.
    void InitKey(const char* keyText, int keyTextLength, const std::uint8_t* chainBlock,
                 int keyLength, int blockSize, int mode, int padding);

    /// Raises "FileCrypt ERROR: Encryption/Decryption Object not Initialized!" without a key
    /// (as does every operation below).
    void KeyCheckDigest(std::uint8_t* out) const override;

    /// `length` must be above 0 and a multiple of the block size, else "Illegal Block Size!".
    void EncryptBuffer(const std::uint8_t* in, std::uint8_t* out, std::size_t length) override;
    void DecryptBuffer(const std::uint8_t* in, std::uint8_t* out, std::size_t length) override;

    /// Whole-file operations. Both refuse the same file for input and output before opening
    /// either ("FileCrypt ERROR: The same File for Input and Output <input>!"; the same file
    /// under two spellings counts too), raise "FileCrypt ERROR: Cannot open File <path>!"
    /// when a file cannot be opened and "FileCrypt ERROR: Cannot write File <output>!" when
    /// the output cannot be written completely. Each restarts the chain after the header.
    /// A failure after opening may leave the output partly written.
    void EncryptFileTo(const std::string& input, const std::string& output) override;
    /// Also raises "FileCrypt ERROR: File <input> cannot be Correctly Decrypted!" when the
    /// header does not match this key and these parameters (or the file is shorter than the
    /// header; the output is then left empty), and "Illegal Block Size!" when the data part
    /// does not end on a block boundary (after writing the whole chunks before it).
    void DecryptFileTo(const std::string& input, const std::string& output) override;

    void RestartChain() override;

    int BlockSize() const { return m_blockSize; }

  private:
    void RequireInitialized() const;
    void CheckBufferLength(std::size_t length) const;
    /// Pads the `n` bytes at `buffer` to a whole number of blocks; returns the new length.
    /// The buffer must have room for n + block size - 1 bytes.
    std::size_t PadData(std::uint8_t* buffer, std::size_t n) const;

    int m_blockSize = 0;
    int m_keyLength = 0;
    int m_mode = 0;
    int m_padding = 0;
    std::uint8_t m_key[crypto::Rijndael::kMaxKeyLength] = {};
    crypto::Rijndael m_cipher;
    std::uint8_t m_initialChain[crypto::Rijndael::kMaxBlockSize] = {};
    std::uint8_t m_chain[crypto::Rijndael::kMaxBlockSize] = {};
};

} // namespace cv
