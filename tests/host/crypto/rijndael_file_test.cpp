// CRijndaelFILE: key set-up checks, block modes against the bare cipher, and the encrypted
// file format with the settings-file parameters and with others.

#include "crypto/rijndael.h"
#include "crypto/rijndael_file.h"
#include "crypto/setup_file_key.h"
#include "crypto/sha256.h"
#include "tests/host/crypto/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <stdexcept>

namespace cv::test {
namespace {

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "no exception";
}

const std::uint8_t kChain[32] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                                 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32};

struct Params {
    std::string key_text = "sample key text";
    int key_length = 16;
    int block_size = 16;
    int mode = 0;
    int padding = 0;
};

void Init(CRijndaelFILE& cipher, const Params& p) {
    cipher.InitKey(p.key_text.data(), static_cast<int>(p.key_text.size()), kChain, p.key_length,
                   p.block_size, p.mode, p.padding);
}

TEST(RijndaelFileKey, InitKeyChecksInOrder) {
    CRijndaelFILE c;
    const char* key = "k";
    EXPECT_EQ(MessageOf([&] { c.InitKey(nullptr, 0, kChain, 1, 1, 9, 9); }),
              "FileCrypt ERROR: No Key DataSpecified!");
    EXPECT_EQ(MessageOf([&] { c.InitKey(key, 0, kChain, 1, 1, 9, 9); }),
              "FileCrypt ERROR: Key Data Length should be > 0!");
    EXPECT_EQ(MessageOf([&] { c.InitKey(key, -3, kChain, 1, 1, 9, 9); }),
              "FileCrypt ERROR: Key Data Length should be > 0!");
    EXPECT_EQ(MessageOf([&] { c.InitKey(key, 1, kChain, 20, 1, 9, 9); }), "Illegal Key Length!");
    EXPECT_EQ(MessageOf([&] { c.InitKey(key, 1, kChain, 16, 20, 9, 9); }), "Illegal Block Size!");
    EXPECT_EQ(MessageOf([&] { c.InitKey(key, 1, kChain, 16, 16, 3, 9); }),
              "FileCrypt ERROR: Illegal Operation Mode!");
    EXPECT_EQ(MessageOf([&] { c.InitKey(key, 1, kChain, 16, 16, -1, 9); }),
              "FileCrypt ERROR: Illegal Operation Mode!");
    EXPECT_EQ(MessageOf([&] { c.InitKey(key, 1, kChain, 16, 16, 2, 3); }),
              "FileCrypt ERROR: Illegal Padding Mode!");
    EXPECT_EQ(MessageOf([&] { c.InitKey(key, 1, kChain, 32, 32, 2, 2); }), "no exception");
}

TEST(RijndaelFileKey, EveryOperationNeedsAKey) {
    CRijndaelFILE c;
    std::uint8_t data[16] = {};
    const std::string expected = "FileCrypt ERROR: Encryption/Decryption Object not Initialized!";
    EXPECT_EQ(MessageOf([&] { c.KeyCheckDigest(data); }), expected);
    EXPECT_EQ(MessageOf([&] { c.EncryptBuffer(data, data, 16); }), expected);
    EXPECT_EQ(MessageOf([&] { c.DecryptBuffer(data, data, 16); }), expected);
    EXPECT_EQ(MessageOf([&] { c.EncryptFileTo("/nonexistent/a", "/nonexistent/b"); }), expected);
    EXPECT_EQ(MessageOf([&] { c.DecryptFileTo("/nonexistent/a", "/nonexistent/b"); }), expected);
    EXPECT_EQ(MessageOf([&] { c.RestartChain(); }), expected);
    // A refused InitKey does not make the object usable either.
    EXPECT_NE(MessageOf([&] { c.InitKey("k", 1, kChain, 16, 16, 5, 0); }), "no exception");
    EXPECT_EQ(MessageOf([&] { c.RestartChain(); }), expected);
}

TEST(RijndaelFileBuffer, LengthMustBeWholeBlocks) {
    for (int block : {16, 24, 32}) {
        CRijndaelFILE c;
        Init(c, {.block_size = block});
        std::uint8_t data[96] = {};
        for (std::size_t length :
             {std::size_t{0}, std::size_t{1}, std::size_t(block - 1), std::size_t(block + 8)}) {
            EXPECT_EQ(MessageOf([&] { c.EncryptBuffer(data, data, length); }),
                      "Illegal Block Size!")
                << "block " << block << " length " << length;
            EXPECT_EQ(MessageOf([&] { c.DecryptBuffer(data, data, length); }),
                      "Illegal Block Size!");
        }
    }
}

// The modes computed block by block with the bare cipher, as an independent reference.
Bytes ReferenceEncrypt(const Params& p, const Bytes& plain) {
    Bytes key(static_cast<std::size_t>(p.key_length));
    for (std::size_t i = 0; i < key.size(); ++i) {
        key[i] = static_cast<std::uint8_t>(p.key_text[i % p.key_text.size()]);
    }
    crypto::Rijndael raw;
    raw.set_key(key.data(), p.key_length, p.block_size);
    const auto size = static_cast<std::size_t>(p.block_size);
    Bytes chain(kChain, kChain + size);
    Bytes out(plain.size());
    Bytes block(size);
    for (std::size_t at = 0; at < plain.size(); at += size) {
        if (p.mode == 0) {
            raw.encrypt_block(&plain[at], &out[at]);
            continue;
        }
        if (p.mode == 1) {
            for (std::size_t i = 0; i < size; ++i) {
                block[i] = chain[i] ^ plain[at + i];
            }
            raw.encrypt_block(block.data(), &out[at]);
        } else {
            raw.encrypt_block(chain.data(), block.data());
            for (std::size_t i = 0; i < size; ++i) {
                out[at + i] = block[i] ^ plain[at + i];
            }
        }
        std::memcpy(chain.data(), &out[at], size);
    }
    return out;
}

TEST(RijndaelFileBuffer, ModesMatchTheBareCipherAndCarryTheChain) {
    for (int mode : {0, 1, 2}) {
        for (int block : {16, 24, 32}) {
            const Params p{.key_text = "abc", .key_length = 24, .block_size = block, .mode = mode};
            const Bytes plain = Pattern(static_cast<std::size_t>(block) * 6, 5);
            const Bytes expected = ReferenceEncrypt(p, plain);
            CRijndaelFILE c;
            Init(c, p);
            // Two calls: the chain must run on from the first into the second.
            Bytes out(plain.size());
            const std::size_t first = static_cast<std::size_t>(block) * 2;
            c.EncryptBuffer(plain.data(), out.data(), first);
            c.EncryptBuffer(plain.data() + first, out.data() + first, plain.size() - first);
            EXPECT_EQ(ToHex(out), ToHex(expected)) << "mode " << mode << " block " << block;

            c.RestartChain();
            Bytes back = out;
            c.DecryptBuffer(back.data(), back.data(), first); // in place
            c.DecryptBuffer(back.data() + first, back.data() + first, back.size() - first);
            EXPECT_EQ(back, plain) << "mode " << mode << " block " << block;
        }
    }
}

TEST(RijndaelFileBuffer, ChainingModesDiffer) {
    const Bytes plain(64, 0x41); // equal blocks: mode 0 repeats itself, the others must not
    Bytes out[3];
    for (int mode : {0, 1, 2}) {
        CRijndaelFILE c;
        Init(c, {.mode = mode});
        out[mode].resize(plain.size());
        c.EncryptBuffer(plain.data(), out[mode].data(), plain.size());
    }
    EXPECT_TRUE(std::equal(out[0].begin(), out[0].begin() + 16, out[0].begin() + 16));
    EXPECT_FALSE(std::equal(out[1].begin(), out[1].begin() + 16, out[1].begin() + 16));
    EXPECT_NE(out[1], out[2]);
    EXPECT_NE(out[0], out[1]);
}

class RijndaelFileFormat : public ScratchFolder {
  protected:
    // Encrypts `plain` with `p` and returns the encrypted file's bytes.
    Bytes Encrypt(const Params& p, const Bytes& plain, const std::string& name = "in.bin") {
        WriteBytes(PathOf(name), plain);
        CRijndaelFILE c;
        Init(c, p);
        c.EncryptFileTo(PathOf(name), PathOf(name + ".enc"));
        return ReadBytes(PathOf(name + ".enc"));
    }
    Bytes Decrypt(const Params& p, const Bytes& encrypted) {
        WriteBytes(PathOf("enc.bin"), encrypted);
        CRijndaelFILE c;
        Init(c, p);
        c.DecryptFileTo(PathOf("enc.bin"), PathOf("dec.bin"));
        return ReadBytes(PathOf("dec.bin"));
    }
    std::string HeaderFailure() const {
        return "FileCrypt ERROR: File " + PathOf("enc.bin") + " cannot be Correctly Decrypted!";
    }
};

TEST_F(RijndaelFileFormat, SettingsFileHeaderIsTheDigestOfTheCheckText) {
    WriteBytes(PathOf("empty"), {});
    CRijndaelFILE c;
    crypto::InitSetupFileKey(c);
    c.EncryptFileTo(PathOf("empty"), PathOf("empty.nsx"));
    const Bytes file = ReadBytes(PathOf("empty.nsx"));

    // Marker, the 14-character key text repeated to 16 bytes, then "16" "16" "0" "0".
    std::string text = crypto::kKeyCheckMarker;
    text += std::string(crypto::kSetupFileKeyText) + std::string(crypto::kSetupFileKeyText, 2);
    text += "161600";
    CSHA sha;
    sha.AddData(text.data(), text.size());
    std::uint8_t digest[32];
    sha.FinalDigest(digest);
    EXPECT_EQ(ToHex(file), ToHex(digest, 32)) << "an empty plaintext is the header alone";

    EXPECT_EQ(MessageOf([&] { c.DecryptFileTo(PathOf("empty.nsx"), PathOf("empty.out")); }),
              "no exception");
    EXPECT_TRUE(std::filesystem::exists(PathOf("empty.out")));
    EXPECT_EQ(std::filesystem::file_size(PathOf("empty.out")), 0u);
}

TEST_F(RijndaelFileFormat, ShortPlaintextIsPaddedAndThePaddingStays) {
    const Params settings;
    const Bytes plain = Pattern(20);
    const Bytes file = Encrypt(settings, plain);
    ASSERT_EQ(file.size(), 64u);
    Bytes padded = plain;
    padded.resize(32, 0);
    EXPECT_EQ(ToHex(Bytes(file.begin() + 32, file.end())),
              ToHex(ReferenceEncrypt(settings, padded)));
    EXPECT_EQ(Decrypt(settings, file), padded);

    // The other paddings (blanks, the count of bytes added), and a larger block.
    const struct {
        Params params;
        std::size_t padded;
        std::uint8_t fill;
    } others[] = {
        {{.padding = 1}, 32, 0x20}, {{.mode = 2, .padding = 2}, 32, 12}, {{.block_size = 24, .padding = 2}, 24, 4},
    };
    for (const auto& o : others) {
        SCOPED_TRACE("fill " + std::to_string(o.fill));
        const Bytes padded_file = Encrypt(o.params, plain);
        EXPECT_EQ(padded_file.size(), 32u + o.padded);
        Bytes expected = plain;
        expected.resize(o.padded, o.fill);
        EXPECT_EQ(Decrypt(o.params, padded_file), expected);
    }
}

TEST_F(RijndaelFileFormat, WholeBlocksGetNoPadding) {
    for (std::size_t size : {16u, 384u, 768u, 1024u, 4096u}) {
        const Bytes plain = Pattern(size, static_cast<unsigned>(size));
        for (int mode : {0, 1, 2}) {
            const Params p{.mode = mode};
            const Bytes file = Encrypt(p, plain);
            ASSERT_EQ(file.size(), 32 + size) << "size " << size << " mode " << mode;
            // One chain across every 384-byte chunk of the file.
            EXPECT_EQ(ToHex(Bytes(file.begin() + 32, file.end())),
                      ToHex(ReferenceEncrypt(p, plain)))
                << "size " << size << " mode " << mode;
            EXPECT_EQ(Decrypt(p, file), plain) << "size " << size << " mode " << mode;
        }
    }
}

TEST_F(RijndaelFileFormat, LastChunkPaddedAfterFullChunks) {
    for (std::size_t size : {385u, 1000u, 1025u}) {
        const Params p{.block_size = 32, .mode = 1, .padding = 1};
        const Bytes plain = Pattern(size);
        const Bytes file = Encrypt(p, plain);
        const std::size_t padded_size = (size + 31) / 32 * 32;
        ASSERT_EQ(file.size(), 32 + padded_size);
        Bytes expected = plain;
        expected.resize(padded_size, 0x20);
        EXPECT_EQ(Decrypt(p, file), expected) << "size " << size;
    }
}

TEST_F(RijndaelFileFormat, HeaderCheckRefusesOtherParameters) {
    const Params written;
    const Bytes file = Encrypt(written, Pattern(100));
    const Params others[] = {
        {.key_text = "sample key texT"},
        {.key_length = 24},
        {.block_size = 32},
        {.mode = 1},
        {.padding = 2},
    };
    for (const Params& p : others) {
        WriteBytes(PathOf("dec.bin"), Pattern(10)); // must be emptied, nothing else written
        EXPECT_EQ(MessageOf([&] { Decrypt(p, file); }), HeaderFailure());
        EXPECT_EQ(std::filesystem::file_size(PathOf("dec.bin")), 0u);
    }
}

TEST_F(RijndaelFileFormat, HeaderCheckRefusesShortFiles) {
    const Params p;
    const Bytes file = Encrypt(p, Pattern(50));
    for (std::size_t size : {0u, 1u, 31u}) {
        EXPECT_EQ(MessageOf([&] { Decrypt(p, Bytes(file.begin(), file.begin() + size)); }),
                  HeaderFailure())
            << "size " << size;
    }
}

TEST_F(RijndaelFileFormat, KeyWithZeroByteStillGuardsTheParameters) {
    // The check text must not stop at the zero byte, or these parameters would go unchecked.
    const std::string key_text("\0key", 4);
    const Bytes file = Encrypt({.key_text = key_text}, Pattern(64));
    EXPECT_EQ(MessageOf([&] { Decrypt({.key_text = key_text, .mode = 2}, file); }),
              HeaderFailure());
    EXPECT_EQ(Decrypt({.key_text = key_text}, file), Pattern(64));
}

TEST_F(RijndaelFileFormat, TornDataPartDecryptsWholeChunksThenFails) {
    const Params p;
    const Bytes plain = Pattern(1024);
    Bytes file = Encrypt(p, plain);
    file.resize(file.size() - 5); // data part 1019 bytes: chunks 384, 384 and a torn 251
    EXPECT_EQ(MessageOf([&] { Decrypt(p, file); }), "Illegal Block Size!");
    EXPECT_EQ(ReadBytes(PathOf("dec.bin")), Bytes(plain.begin(), plain.begin() + 768));
}

TEST_F(RijndaelFileFormat, SameFileRefusedBeforeOpening) {
    CRijndaelFILE c;
    Init(c, {});
    const std::string missing = PathOf("missing.bin");
    const std::string same = "FileCrypt ERROR: The same File for Input and Output " + missing + "!";
    EXPECT_EQ(MessageOf([&] { c.EncryptFileTo(missing, missing); }), same);
    EXPECT_EQ(MessageOf([&] { c.DecryptFileTo(missing, missing); }), same);
    EXPECT_FALSE(std::filesystem::exists(missing)) << "the output was opened";

    // The same existing file under another spelling, which opening would have truncated.
    WriteBytes(PathOf("data.bin"), Pattern(40));
    const std::string other = (root_ / "." / "data.bin").string();
    EXPECT_EQ(MessageOf([&] { c.EncryptFileTo(PathOf("data.bin"), other); }),
              "FileCrypt ERROR: The same File for Input and Output " + PathOf("data.bin") + "!");
    EXPECT_EQ(ReadBytes(PathOf("data.bin")), Pattern(40));
}

TEST_F(RijndaelFileFormat, OpenAndWriteFailuresNameTheFile) {
    CRijndaelFILE c;
    Init(c, {});
    const std::string missing = PathOf("missing.bin");
    const std::string no_folder = PathOf("no/such/folder.bin");
    WriteBytes(PathOf("plain.bin"), Pattern(500));
    EXPECT_EQ(MessageOf([&] { c.EncryptFileTo(missing, PathOf("out.bin")); }),
              "FileCrypt ERROR: Cannot open File " + missing + "!");
    EXPECT_EQ(MessageOf([&] { c.DecryptFileTo(missing, PathOf("out.bin")); }),
              "FileCrypt ERROR: Cannot open File " + missing + "!");
    EXPECT_EQ(MessageOf([&] { c.EncryptFileTo(PathOf("plain.bin"), no_folder); }),
              "FileCrypt ERROR: Cannot open File " + no_folder + "!");
    if (std::filesystem::exists("/dev/full")) { // every write there fails with "no space"
        EXPECT_EQ(MessageOf([&] { c.EncryptFileTo(PathOf("plain.bin"), "/dev/full"); }),
                  "FileCrypt ERROR: Cannot write File /dev/full!");
    }
}

TEST_F(RijndaelFileFormat, ChainRestartsForEveryFile) {
    for (int mode : {1, 2}) {
        const Params p{.mode = mode};
        WriteBytes(PathOf("a"), Pattern(700, 1));
        WriteBytes(PathOf("b"), Pattern(700, 1));
        CRijndaelFILE c;
        Init(c, p);
        c.EncryptFileTo(PathOf("a"), PathOf("a.enc"));
        c.EncryptFileTo(PathOf("b"), PathOf("b.enc"));
        EXPECT_EQ(ReadBytes(PathOf("a.enc")), ReadBytes(PathOf("b.enc"))) << "mode " << mode;
        // Decrypted in the other order by the same object, each on its own.
        c.DecryptFileTo(PathOf("b.enc"), PathOf("b.out"));
        c.DecryptFileTo(PathOf("a.enc"), PathOf("a.out"));
        Bytes expected = Pattern(700, 1);
        expected.resize(704, 0);
        EXPECT_EQ(ReadBytes(PathOf("a.out")), expected) << "mode " << mode;
        EXPECT_EQ(ReadBytes(PathOf("b.out")), expected) << "mode " << mode;
    }
}

} // namespace
} // namespace cv::test
