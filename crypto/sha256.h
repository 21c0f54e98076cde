#pragma once
/// SHA-256 (FIPS 180-2) as the class CSHA, used for the key-check digest of encrypted files.

#include <cstddef>
#include <cstdint>

namespace cv {

class CSHA {
  public:
    static constexpr std::size_t kDigestSize = 32;

    /// Starts a new message (same as Reset).
    CSHA();
    CSHA(const CSHA&) = delete;
    CSHA& operator=(const CSHA&) = delete;
    /// Wipes the state and any buffered message bytes.
    ~CSHA();

    /// Sets the standard initial values, a zero bit count and a cleared data flag.
    void Reset();

    /// Adds `length` bytes of the message; may be called any number of times. Raises
    /// std::runtime_error "FileCrypt ERROR: in CSHA::AddData(), Data Length should be > 0!"
    /// when `length` is 0, so an empty message cannot be hashed.
    void AddData(const void* data, std::size_t length);

    /// Pads the message, writes the 32-byte digest to `out` and resets the object. Raises
    /// "FileCrypt ERROR: in CSHA::FinalDigest(), No data Added before call!" when no data
    /// were added since the last reset.
    void FinalDigest(std::uint8_t* out);

  private:
    void Compress(const std::uint8_t* block);

    std::uint32_t m_state[8];
    std::uint64_t m_bitCount;
    std::uint8_t m_block[64];
    bool m_dataAdded;
};

} // namespace cv
