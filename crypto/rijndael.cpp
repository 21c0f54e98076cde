#include "crypto/rijndael.h"

#include "crypto/rijndael_tables.h"
#include "crypto/secure_wipe.h"

#include <stdexcept>

namespace cv::crypto {

namespace {

using tables::gmul;
using tables::kDecryptTables;
using tables::kEncryptTables;
using tables::kInverseSbox;
using tables::kSbox;

bool is_allowed_size(int bytes) {
    return bytes == 16 || bytes == 24 || bytes == 32;
}

std::uint32_t load_be(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}

void store_be(std::uint32_t v, std::uint8_t* p) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

std::uint8_t byte_of(std::uint32_t w, int row) {
    return static_cast<std::uint8_t>(w >> (24 - 8 * row));
}

std::uint32_t sub_word(std::uint32_t w) {
    return tables::pack(kSbox[byte_of(w, 0)], kSbox[byte_of(w, 1)], kSbox[byte_of(w, 2)],
                        kSbox[byte_of(w, 3)]);
}

std::uint32_t inverse_mix_column(std::uint32_t w) {
    std::uint8_t a0 = byte_of(w, 0), a1 = byte_of(w, 1), a2 = byte_of(w, 2), a3 = byte_of(w, 3);
    return tables::pack(gmul(a0, 14) ^ gmul(a1, 11) ^ gmul(a2, 13) ^ gmul(a3, 9),
                        gmul(a0, 9) ^ gmul(a1, 14) ^ gmul(a2, 11) ^ gmul(a3, 13),
                        gmul(a0, 13) ^ gmul(a1, 9) ^ gmul(a2, 14) ^ gmul(a3, 11),
                        gmul(a0, 11) ^ gmul(a1, 13) ^ gmul(a2, 9) ^ gmul(a3, 14));
}

/// Row shift offsets for rows 1 to 3 (row 0 never moves).
struct ShiftOffsets {
    int row[4];
};

ShiftOffsets shift_offsets(int columns) {
    if (columns == 8) {
        return {{0, 1, 3, 4}};
    }
    return {{0, 1, 2, 3}};
}

// The general path keeps the state as block bytes in input order: byte 4c + r is row r of
// column c.
void add_round_key(std::uint8_t* state, const std::uint32_t* keys, int columns) {
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < 4; ++r) {
            state[4 * c + r] ^= byte_of(keys[c], r);
        }
    }
}

void shift_rows(std::uint8_t* state, int columns, bool inverse) {
    ShiftOffsets offsets = shift_offsets(columns);
    std::uint8_t row[8];
    for (int r = 1; r < 4; ++r) {
        int shift = inverse ? columns - offsets.row[r] : offsets.row[r];
        for (int c = 0; c < columns; ++c) {
            row[c] = state[4 * ((c + shift) % columns) + r];
        }
        for (int c = 0; c < columns; ++c) {
            state[4 * c + r] = row[c];
        }
    }
}

void mix_columns(std::uint8_t* state, int columns) {
    for (int c = 0; c < columns; ++c) {
        std::uint8_t* col = state + 4 * c;
        std::uint8_t a0 = col[0], a1 = col[1], a2 = col[2], a3 = col[3];
        col[0] = gmul(a0, 2) ^ gmul(a1, 3) ^ a2 ^ a3;
        col[1] = a0 ^ gmul(a1, 2) ^ gmul(a2, 3) ^ a3;
        col[2] = a0 ^ a1 ^ gmul(a2, 2) ^ gmul(a3, 3);
        col[3] = gmul(a0, 3) ^ a1 ^ a2 ^ gmul(a3, 2);
    }
}

void inverse_mix_columns(std::uint8_t* state, int columns) {
    for (int c = 0; c < columns; ++c) {
        store_be(inverse_mix_column(load_be(state + 4 * c)), state + 4 * c);
    }
}

void substitute(std::uint8_t* state, int size, const std::array<std::uint8_t, 256>& box) {
    for (int i = 0; i < size; ++i) {
        state[i] = box[state[i]];
    }
}

} // namespace

Rijndael::~Rijndael() {
    secure_wipe(encrypt_keys_, sizeof encrypt_keys_);
    secure_wipe(decrypt_keys_, sizeof decrypt_keys_);
}

void Rijndael::set_key(const std::uint8_t* key, int key_length, int block_size) {
    if (!is_allowed_size(key_length)) {
        throw std::runtime_error("Illegal Key Length!");
    }
    if (!is_allowed_size(block_size)) {
        throw std::runtime_error("Illegal Block Size!");
    }
    const int key_words = key_length / 4;
    columns_ = block_size / 4;
    rounds_ = (key_words > columns_ ? key_words : columns_) + 6;
    const int total = (rounds_ + 1) * columns_;

    for (int i = 0; i < key_words; ++i) {
        encrypt_keys_[i] = load_be(key + 4 * i);
    }
    std::uint8_t round_constant = 1;
    for (int i = key_words; i < total; ++i) {
        std::uint32_t temp = encrypt_keys_[i - 1];
        if (i % key_words == 0) {
            temp = sub_word((temp << 8) | (temp >> 24)) ^ (std::uint32_t{round_constant} << 24);
            round_constant = tables::xtime(round_constant);
        } else if (key_words > 6 && i % key_words == 4) {
            temp = sub_word(temp);
        }
        encrypt_keys_[i] = encrypt_keys_[i - key_words] ^ temp;
    }

    for (int r = 0; r <= rounds_; ++r) {
        const std::uint32_t* from = encrypt_keys_ + (rounds_ - r) * columns_;
        std::uint32_t* to = decrypt_keys_ + r * columns_;
        const bool outer = r == 0 || r == rounds_;
        for (int c = 0; c < columns_; ++c) {
            to[c] = outer ? from[c] : inverse_mix_column(from[c]);
        }
    }
    has_key_ = true;
}

void Rijndael::require_key() const {
    if (!has_key_) {
        throw std::runtime_error("FileCrypt ERROR: Encryption/Decryption Object not Initialized!");
    }
}

void Rijndael::encrypt_block(const std::uint8_t* in, std::uint8_t* out) const {
    require_key();
    if (columns_ == 4) {
        encrypt_table16(in, out);
    } else {
        encrypt_general(in, out);
    }
}

void Rijndael::decrypt_block(const std::uint8_t* in, std::uint8_t* out) const {
    require_key();
    if (columns_ == 4) {
        decrypt_table16(in, out);
    } else {
        decrypt_general(in, out);
    }
}

void Rijndael::encrypt_table16(const std::uint8_t* in, std::uint8_t* out) const {
    const auto& T = kEncryptTables;
    const std::uint32_t* rk = encrypt_keys_;
    std::uint32_t s0 = load_be(in) ^ rk[0], s1 = load_be(in + 4) ^ rk[1];
    std::uint32_t s2 = load_be(in + 8) ^ rk[2], s3 = load_be(in + 12) ^ rk[3];
    for (int round = 1; round < rounds_; ++round) {
        rk += 4;
        std::uint32_t t0 = T[0][s0 >> 24] ^ T[1][(s1 >> 16) & 0xff] ^ T[2][(s2 >> 8) & 0xff] ^
                           T[3][s3 & 0xff] ^ rk[0];
        std::uint32_t t1 = T[0][s1 >> 24] ^ T[1][(s2 >> 16) & 0xff] ^ T[2][(s3 >> 8) & 0xff] ^
                           T[3][s0 & 0xff] ^ rk[1];
        std::uint32_t t2 = T[0][s2 >> 24] ^ T[1][(s3 >> 16) & 0xff] ^ T[2][(s0 >> 8) & 0xff] ^
                           T[3][s1 & 0xff] ^ rk[2];
        std::uint32_t t3 = T[0][s3 >> 24] ^ T[1][(s0 >> 16) & 0xff] ^ T[2][(s1 >> 8) & 0xff] ^
                           T[3][s2 & 0xff] ^ rk[3];
        s0 = t0, s1 = t1, s2 = t2, s3 = t3;
    }
    rk += 4;
    auto last = [](std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
        return tables::pack(kSbox[a >> 24], kSbox[(b >> 16) & 0xff], kSbox[(c >> 8) & 0xff],
                            kSbox[d & 0xff]);
    };
    store_be(last(s0, s1, s2, s3) ^ rk[0], out);
    store_be(last(s1, s2, s3, s0) ^ rk[1], out + 4);
    store_be(last(s2, s3, s0, s1) ^ rk[2], out + 8);
    store_be(last(s3, s0, s1, s2) ^ rk[3], out + 12);
}

void Rijndael::decrypt_table16(const std::uint8_t* in, std::uint8_t* out) const {
    const auto& T = kDecryptTables;
    const std::uint32_t* rk = decrypt_keys_;
    std::uint32_t s0 = load_be(in) ^ rk[0], s1 = load_be(in + 4) ^ rk[1];
    std::uint32_t s2 = load_be(in + 8) ^ rk[2], s3 = load_be(in + 12) ^ rk[3];
    for (int round = 1; round < rounds_; ++round) {
        rk += 4;
        std::uint32_t t0 = T[0][s0 >> 24] ^ T[1][(s3 >> 16) & 0xff] ^ T[2][(s2 >> 8) & 0xff] ^
                           T[3][s1 & 0xff] ^ rk[0];
        std::uint32_t t1 = T[0][s1 >> 24] ^ T[1][(s0 >> 16) & 0xff] ^ T[2][(s3 >> 8) & 0xff] ^
                           T[3][s2 & 0xff] ^ rk[1];
        std::uint32_t t2 = T[0][s2 >> 24] ^ T[1][(s1 >> 16) & 0xff] ^ T[2][(s0 >> 8) & 0xff] ^
                           T[3][s3 & 0xff] ^ rk[2];
        std::uint32_t t3 = T[0][s3 >> 24] ^ T[1][(s2 >> 16) & 0xff] ^ T[2][(s1 >> 8) & 0xff] ^
                           T[3][s0 & 0xff] ^ rk[3];
        s0 = t0, s1 = t1, s2 = t2, s3 = t3;
    }
    rk += 4;
    auto last = [](std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
        return tables::pack(kInverseSbox[a >> 24], kInverseSbox[(b >> 16) & 0xff],
                            kInverseSbox[(c >> 8) & 0xff], kInverseSbox[d & 0xff]);
    };
    store_be(last(s0, s3, s2, s1) ^ rk[0], out);
    store_be(last(s1, s0, s3, s2) ^ rk[1], out + 4);
    store_be(last(s2, s1, s0, s3) ^ rk[2], out + 8);
    store_be(last(s3, s2, s1, s0) ^ rk[3], out + 12);
}

void Rijndael::encrypt_general(const std::uint8_t* in, std::uint8_t* out) const {
    const int size = block_size();
    std::uint8_t state[kMaxBlockSize];
    for (int i = 0; i < size; ++i) {
        state[i] = in[i];
    }
    add_round_key(state, encrypt_keys_, columns_);
    for (int round = 1; round <= rounds_; ++round) {
        substitute(state, size, kSbox);
        shift_rows(state, columns_, false);
        if (round != rounds_) {
            mix_columns(state, columns_);
        }
        add_round_key(state, encrypt_keys_ + round * columns_, columns_);
    }
    for (int i = 0; i < size; ++i) {
        out[i] = state[i];
    }
    secure_wipe(state, sizeof state);
}

void Rijndael::decrypt_general(const std::uint8_t* in, std::uint8_t* out) const {
    const int size = block_size();
    std::uint8_t state[kMaxBlockSize];
    for (int i = 0; i < size; ++i) {
        state[i] = in[i];
    }
    add_round_key(state, decrypt_keys_, columns_);
    for (int round = 1; round <= rounds_; ++round) {
        substitute(state, size, kInverseSbox);
        shift_rows(state, columns_, true);
        if (round != rounds_) {
            inverse_mix_columns(state, columns_);
        }
        add_round_key(state, decrypt_keys_ + round * columns_, columns_);
    }
    for (int i = 0; i < size; ++i) {
        out[i] = state[i];
    }
    secure_wipe(state, sizeof state);
}

} // namespace cv::crypto
