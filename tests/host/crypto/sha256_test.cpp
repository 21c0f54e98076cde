// CSHA against the FIPS 180-2 digests, whole and split, and its usage errors.

#include "crypto/sha256.h"
#include "tests/host/crypto/test_support.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace cv::test {
namespace {

std::string DigestOf(CSHA& sha, const std::string& message) {
    sha.AddData(message.data(), message.size());
    std::uint8_t digest[32];
    sha.FinalDigest(digest);
    return ToHex(digest, sizeof digest);
}

struct Answer {
    std::string message;
    std::string digest;
};

std::vector<Answer> Answers() {
    return {
        // FIPS 180-2 appendix B.1, B.2 and B.3.
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        // Lengths around the padding boundaries (55 still fits the length, 56 does not).
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {std::string(63, 'a'), "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
        {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        {std::string(65, 'a'), "635361c48bb9eab14198e76ea8ab7f1a41685d6ad62aa9146d301d4f17eb0ae0"},
        {std::string(119, 'a'), "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"},
        {std::string(120, 'a'), "2f3d335432c70b580af0e8e1b3674a7c020d683aa5f73aaaedfdc55af904c21c"},
    };
}

TEST(Sha256, KnownDigestsInOneCall) {
    CSHA sha; // one object for all: FinalDigest must leave it ready for the next message
    for (const auto& answer : Answers()) {
        EXPECT_EQ(DigestOf(sha, answer.message), answer.digest)
            << "length " << answer.message.size();
    }
}

TEST(Sha256, KnownDigestsSplitAtEveryByteBoundary) {
    for (const auto& answer : Answers()) {
        if (answer.message.size() > 200) {
            continue;
        }
        const std::string& m = answer.message;
        for (std::size_t cut = 1; cut < m.size(); ++cut) {
            CSHA sha;
            sha.AddData(m.data(), cut);
            EXPECT_EQ(DigestOf(sha, m.substr(cut)), answer.digest)
                << "length " << m.size() << " cut at " << cut;
        }
    }
}

TEST(Sha256, RefusesEmptyDataAndDigestWithoutData) {
    CSHA sha;
    std::uint8_t digest[32];
    try {
        sha.AddData("x", 0);
        FAIL() << "length 0 accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "FileCrypt ERROR: in CSHA::AddData(), Data Length should be > 0!");
    }
    const char* no_data = "FileCrypt ERROR: in CSHA::FinalDigest(), No data Added before call!";
    try {
        sha.FinalDigest(digest);
        FAIL() << "digest of nothing";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), no_data);
    }
    sha.AddData("abc", 3);
    sha.FinalDigest(digest);
    try {
        sha.FinalDigest(digest); // the first digest reset the object
        FAIL() << "second digest without data";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), no_data);
    }
}

TEST(Sha256, ResetDropsPendingData) {
    CSHA sha;
    sha.AddData("garbage", 7);
    sha.Reset();
    EXPECT_EQ(DigestOf(sha, "abc"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

} // namespace
} // namespace cv::test
