// Known answers for the block cipher: FIPS-197 and the Rijndael rows with larger blocks.

#include "crypto/rijndael.h"
#include "tests/host/crypto/test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace cv::test {
namespace {

struct KnownAnswer {
    int key_bits = 0;
    int block_bits = 0;
    Bytes key, plain, cipher;
};

std::vector<KnownAnswer> LoadKnownAnswers() {
    std::ifstream in(std::string(CV_SHARED_DIR) + "/testdata/rijndael-kat.txt");
    std::vector<KnownAnswer> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        KnownAnswer row;
        std::string key, plain, cipher;
        fields >> row.key_bits >> row.block_bits >> key >> plain >> cipher;
        row.key = FromHex(key);
        row.plain = FromHex(plain);
        row.cipher = FromHex(cipher);
        rows.push_back(row);
    }
    return rows;
}

void ExpectKnownAnswer(const KnownAnswer& row, const std::string& what) {
    ASSERT_EQ(row.key.size() * 8, static_cast<std::size_t>(row.key_bits)) << what;
    ASSERT_EQ(row.plain.size() * 8, static_cast<std::size_t>(row.block_bits)) << what;
    crypto::Rijndael cipher;
    cipher.set_key(row.key.data(), static_cast<int>(row.key.size()),
                   static_cast<int>(row.plain.size()));
    Bytes out(row.plain.size());
    cipher.encrypt_block(row.plain.data(), out.data());
    EXPECT_EQ(ToHex(out), ToHex(row.cipher)) << what << ": encrypt";
    cipher.decrypt_block(row.cipher.data(), out.data());
    EXPECT_EQ(ToHex(out), ToHex(row.plain)) << what << ": decrypt";
}

TEST(Rijndael, Fips197AppendixB) {
    ExpectKnownAnswer({128, 128, FromHex("2b7e151628aed2a6abf7158809cf4f3c"),
                       FromHex("3243f6a8885a308d313198a2e0370734"),
                       FromHex("3925841d02dc09fbdc118597196a0b32")},
                      "AES-128 appendix B");
}

TEST(Rijndael, KnownAnswersForEveryBlockAndKeySize) {
    const auto rows = LoadKnownAnswers();
    ASSERT_EQ(rows.size(), 9u) << "rijndael-kat.txt should hold one row per block and key size";
    for (const auto& row : rows) {
        ExpectKnownAnswer(row, "key " + std::to_string(row.key_bits) + " block " +
                                   std::to_string(row.block_bits));
    }
}

TEST(Rijndael, RefusesUseWithoutKeyAndBadSizes) {
    crypto::Rijndael cipher;
    std::uint8_t block[32] = {};
    const std::string not_initialized =
        "FileCrypt ERROR: Encryption/Decryption Object not Initialized!";
    try {
        cipher.encrypt_block(block, block);
        FAIL() << "encrypt without key";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(e.what(), not_initialized);
    }
    try {
        cipher.decrypt_block(block, block);
        FAIL() << "decrypt without key";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(e.what(), not_initialized);
    }
    try {
        cipher.set_key(block, 20, 17); // key length is checked first
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Illegal Key Length!");
    }
    try {
        cipher.set_key(block, 16, 8);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Illegal Block Size!");
    }
    EXPECT_FALSE(cipher.has_key());
}

} // namespace
} // namespace cv::test
