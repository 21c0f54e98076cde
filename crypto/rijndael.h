#pragma once
/// The Rijndael block cipher with 16, 24 or 32-byte blocks and keys. With a 16-byte block it
/// is AES-128, AES-192 or AES-256; 16-byte blocks take a table-driven path, the larger
/// blocks a byte-wise general path.

#include <cstdint>

namespace cv::crypto {

class Rijndael {
  public:
    static constexpr int kMaxBlockSize = 32;
    static constexpr int kMaxKeyLength = 32;
    static constexpr int kMaxRounds = 14;
    /// Room for rounds 0 to 14, each of up to 8 words.
    static constexpr int kMaxRoundKeyWords = (kMaxRounds + 1) * (kMaxBlockSize / 4);

    Rijndael() = default;
    Rijndael(const Rijndael&) = delete;
    Rijndael& operator=(const Rijndael&) = delete;
    /// Wipes the expanded keys.
    ~Rijndael();

    /// Expands `key` (`key_length` bytes) for blocks of `block_size` bytes. Raises
    /// std::runtime_error "Illegal Key Length!" or "Illegal Block Size!" when either is not
    /// 16, 24 or 32 (the key length is checked first). Replaces any earlier key.
    void set_key(const std::uint8_t* key, int key_length, int block_size);

    /// Encrypts one block of `block_size()` bytes from `in` to `out` (they may be the same
    /// buffer). Raises "FileCrypt ERROR: Encryption/Decryption Object not Initialized!" when
    /// no key has been set.
    void encrypt_block(const std::uint8_t* in, std::uint8_t* out) const;

    /// Decrypts one block; same contract as encrypt_block.
    void decrypt_block(const std::uint8_t* in, std::uint8_t* out) const;

    bool has_key() const { return has_key_; }
    int block_size() const { return columns_ * 4; }
    int rounds() const { return rounds_; }

  private:
    void require_key() const;
    void encrypt_table16(const std::uint8_t* in, std::uint8_t* out) const;
    void decrypt_table16(const std::uint8_t* in, std::uint8_t* out) const;
    void encrypt_general(const std::uint8_t* in, std::uint8_t* out) const;
    void decrypt_general(const std::uint8_t* in, std::uint8_t* out) const;

    /// Round keys as big-endian column words (row 0 in the top byte); round r occupies words
    /// r * columns_ to r * columns_ + columns_ - 1.
    std::uint32_t encrypt_keys_[kMaxRoundKeyWords] = {};
    /// Decryption keys in reverse round order, inverse column mixing applied to all rounds
    /// but the first and last (the equivalent inverse cipher).
    std::uint32_t decrypt_keys_[kMaxRoundKeyWords] = {};
    int columns_ = 4;
    int rounds_ = 0;
    bool has_key_ = false;
};

} // namespace cv::crypto
