#pragma once
/// IMethod: the abstract cipher behind the encrypted settings files. CRijndaelFILE is its
/// only implementation.

#include <cstddef>
#include <cstdint>
#include <string>

namespace cv {

class IMethod {
  public:
    virtual ~IMethod() = default;

    /// Writes the 32-byte digest that heads every encrypted file and identifies the key,
    /// block size, key length, mode and padding it was written with.
    virtual void KeyCheckDigest(std::uint8_t* out) const = 0;

    /// Encrypts `length` bytes (above 0, a multiple of the block size) from `in` to `out`
    /// (they may be the same buffer), carrying the chain block from call to call.
    virtual void EncryptBuffer(const std::uint8_t* in, std::uint8_t* out, std::size_t length) = 0;
    /// Inverse of EncryptBuffer under the same mode and chain.
    virtual void DecryptBuffer(const std::uint8_t* in, std::uint8_t* out, std::size_t length) = 0;

    /// Writes the encrypted form of the file `input` to `output`.
    virtual void EncryptFileTo(const std::string& input, const std::string& output) = 0;
    /// Writes the plaintext of the encrypted file `input` to `output`.
    virtual void DecryptFileTo(const std::string& input, const std::string& output) = 0;

    /// Sets the working chain block back to the initial one.
    virtual void RestartChain() = 0;

  protected:
    IMethod() = default;
    IMethod(const IMethod&) = delete;
    IMethod& operator=(const IMethod&) = delete;

    /// Set once a key has been installed; every operation but key set-up requires it.
    bool m_initialized = false;
};

} // namespace cv
