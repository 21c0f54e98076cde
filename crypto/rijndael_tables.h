#pragma once
/// The Rijndael constant tables (S-box, inverse S-box and the four round lookup tables for
/// each direction), computed at compile time from the field arithmetic that defines them, so
/// that no hand-typed constant can be wrong and no table is mutable at run time.

#include <array>
#include <cstdint>

namespace cv::crypto::tables {

/// Multiplication by x in GF(2^8) modulo x^8 + x^4 + x^3 + x + 1.
constexpr std::uint8_t xtime(std::uint8_t a) {
    return static_cast<std::uint8_t>((a << 1) ^ ((a & 0x80) ? 0x1b : 0x00));
}

/// General multiplication in GF(2^8).
constexpr std::uint8_t gmul(std::uint8_t a, std::uint8_t b) {
    std::uint8_t product = 0;
    while (b != 0) {
        if (b & 1) {
            product ^= a;
        }
        a = xtime(a);
        b >>= 1;
    }
    return product;
}

constexpr std::uint8_t rotl8(std::uint8_t v, int n) {
    return static_cast<std::uint8_t>((v << n) | (v >> (8 - n)));
}

constexpr std::array<std::uint8_t, 256> make_sbox() {
    // Walk the multiplicative group with the generator 3 to get logarithms, then take the
    // inverse as 3^(255 - log x) and apply the affine map.
    std::array<std::uint8_t, 256> exp{};
    std::array<std::uint8_t, 256> log{};
    std::uint8_t v = 1;
    for (int i = 0; i < 255; ++i) {
        exp[i] = v;
        log[v] = static_cast<std::uint8_t>(i);
        v = static_cast<std::uint8_t>(v ^ xtime(v));
    }
    std::array<std::uint8_t, 256> sbox{};
    for (int x = 0; x < 256; ++x) {
        std::uint8_t inv = x == 0 ? 0 : exp[(255 - log[x]) % 255];
        sbox[x] = static_cast<std::uint8_t>(inv ^ rotl8(inv, 1) ^ rotl8(inv, 2) ^ rotl8(inv, 3) ^
                                            rotl8(inv, 4) ^ 0x63);
    }
    return sbox;
}

inline constexpr std::array<std::uint8_t, 256> kSbox = make_sbox();

constexpr std::array<std::uint8_t, 256> make_inverse_sbox() {
    std::array<std::uint8_t, 256> inv{};
    for (int x = 0; x < 256; ++x) {
        inv[kSbox[x]] = static_cast<std::uint8_t>(x);
    }
    return inv;
}

inline constexpr std::array<std::uint8_t, 256> kInverseSbox = make_inverse_sbox();

constexpr std::uint32_t pack(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) {
    return (std::uint32_t{b0} << 24) | (std::uint32_t{b1} << 16) | (std::uint32_t{b2} << 8) | b3;
}

constexpr std::uint32_t rotr32(std::uint32_t v, int n) {
    return (v >> n) | (v << (32 - n));
}

using WordTable = std::array<std::array<std::uint32_t, 256>, 4>;

/// Encryption tables: entry x of table k is the column (2s, s, s, 3s) for s = S(x), rotated
/// right by 8k bits, so one round of a column is four lookups and four xors.
constexpr WordTable make_encrypt_tables() {
    WordTable t{};
    for (int x = 0; x < 256; ++x) {
        std::uint8_t s = kSbox[x];
        std::uint32_t w = pack(gmul(s, 2), s, s, gmul(s, 3));
        for (int k = 0; k < 4; ++k) {
            t[k][x] = k == 0 ? w : rotr32(w, 8 * k);
        }
    }
    return t;
}

/// Decryption tables: the column (14s, 9s, 13s, 11s) for s = InvS(x), rotated likewise.
constexpr WordTable make_decrypt_tables() {
    WordTable t{};
    for (int x = 0; x < 256; ++x) {
        std::uint8_t s = kInverseSbox[x];
        std::uint32_t w = pack(gmul(s, 14), gmul(s, 9), gmul(s, 13), gmul(s, 11));
        for (int k = 0; k < 4; ++k) {
            t[k][x] = k == 0 ? w : rotr32(w, 8 * k);
        }
    }
    return t;
}

inline constexpr WordTable kEncryptTables = make_encrypt_tables();
inline constexpr WordTable kDecryptTables = make_decrypt_tables();

} // namespace cv::crypto::tables
