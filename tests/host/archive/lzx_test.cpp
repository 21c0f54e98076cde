#include "archive/lzx.h"
#include "tests/host/archive/lzx_test_encoder.h"
#include "tests/host/archive/sample_blocks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Frames = std::vector<Bytes>;

const std::string kCabs = std::string(CV_SHARED_DIR) + "/testdata/cabs/";

struct Result {
    bool ok = true;
    Bytes data;
    std::string error;
    std::size_t failed_frame = 0;
};

// Decodes frames of 32768 bytes (the last one shorter) into one buffer.
Result decode_frames(int window_bits, const Frames& frames, std::size_t total) {
    auto decoder = cv::cab::make_lzx_decoder(window_bits);
    Result r;
    r.data.resize(total);
    std::size_t done = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const std::size_t size = std::min<std::size_t>(32768, total - done);
        if (!decoder->decode(frames[i].data(), frames[i].size(), r.data.data() + done, size)) {
            r.ok = false;
            r.error = decoder->error();
            r.failed_frame = i;
            return r;
        }
        EXPECT_EQ(decoder->error(), "");
        done += size;
    }
    return r;
}

Bytes sample_input(std::size_t size, unsigned seed) {
    // Text-like runs, repeats at many distances, and x86 CALL opcodes with small targets.
    std::mt19937 rng(seed);
    Bytes out;
    const char* words[] = {"cabinet ", "folder ", "frame ", "window ", "\xE8", "\x00\x00", "LZX "};
    while (out.size() < size) {
        const unsigned pick = rng() % 10;
        if (pick < 6) {
            const char* w = words[rng() % 7];
            out.insert(out.end(), w, w + std::max<std::size_t>(1, std::strlen(w)));
        } else if (pick < 8 && out.size() > 300) {
            const std::size_t from = out.size() - 1 - rng() % std::min<std::size_t>(out.size() - 1, 60000);
            const std::size_t len = 3 + rng() % 300;
            for (std::size_t k = 0; k < len; ++k)
                out.push_back(out[from + k]);
        } else {
            out.push_back(0xE8);
            const std::uint32_t rel = rng() % 4000 - 2000;
            for (int k = 0; k < 4; ++k)
                out.push_back(static_cast<std::uint8_t>(rel >> (8 * k)));
        }
    }
    out.resize(size);
    return out;
}

void expect_round_trip(const Bytes& input, const cv::test::LzxEncodeOptions& options) {
    const Frames frames = cv::test::lzx_encode(input, options);
    ASSERT_EQ(frames.size(), (input.size() + 32767) / 32768);
    const Result r = decode_frames(options.window_bits, frames, input.size());
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.data.size(), input.size());
    for (std::size_t i = 0; i < input.size(); ++i)
        ASSERT_EQ(r.data[i], input[i]) << "first difference at " << i;
}

std::filesystem::path make_temp_dir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "lzx_test_XXXXXX").string();
    if (!mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    return tmpl;
}

// Folder records and data blocks of a cabinet whose file table may be broken; stops at
// the end of the file.
std::vector<cv::test::SampleFolder> folders_by_hand(const Bytes& raw) {
    auto u16 = [&](std::size_t at) -> std::uint32_t { return at + 2 <= raw.size() ? raw[at] | (raw[at + 1] << 8) : 0; };
    auto u32 = [&](std::size_t at) { return u16(at) | (u16(at + 2) << 16); };
    const std::uint32_t folder_count = u16(26), flags = u16(30);
    std::size_t pos = 36, folder_reserve = 0, data_reserve = 0;
    if (flags & 4) {
        folder_reserve = raw.at(38);
        data_reserve = raw.at(39);
        pos = 40 + u16(36);
    }
    std::vector<cv::test::SampleFolder> folders;
    for (std::uint32_t i = 0; i < folder_count && pos + 8 <= raw.size(); ++i, pos += 8 + folder_reserve) {
        cv::test::SampleFolder f;
        f.type = static_cast<int>(u16(pos + 6) & 15);
        f.window_bits = static_cast<int>((u16(pos + 6) >> 8) & 31);
        std::size_t at = u32(pos);
        for (std::uint32_t k = 0; k < u16(pos + 4) && at + 8 + data_reserve <= raw.size(); ++k) {
            const std::size_t packed = u16(at + 4), start = at + 8 + data_reserve;
            const std::size_t end = std::min(raw.size(), start + packed);
            f.blocks.push_back({Bytes(raw.begin() + static_cast<std::ptrdiff_t>(start), raw.begin() + static_cast<std::ptrdiff_t>(end)), u16(at + 6)});
            at = start + packed;
        }
        folders.push_back(f);
    }
    return folders;
}

TEST(LzxFactory, AcceptsOnlyCabinetWindows) {
    for (int bits = 15; bits <= 21; ++bits)
        EXPECT_NE(cv::cab::make_lzx_decoder(bits), nullptr) << bits;
    for (int bits : {-1, 0, 14, 22, 25})
        EXPECT_EQ(cv::cab::make_lzx_decoder(bits), nullptr) << bits;
}

TEST(LzxSample, FolderMatchesCabextract) {
    const std::string path = kCabs + "mszip_lzx_qtm.cab";
    const auto cab = cv::test::read_sample_cabinet(path);
    int lzx_folder = -1;
    for (std::size_t i = 0; i < cab.folders.size(); ++i)
        if (cab.folders[i].type == 3)
            lzx_folder = static_cast<int>(i);
    ASSERT_GE(lzx_folder, 0);
    const auto& folder = cab.folders[static_cast<std::size_t>(lzx_folder)];

    auto decoder = cv::cab::make_lzx_decoder(folder.window_bits);
    ASSERT_NE(decoder, nullptr);
    Bytes out;
    for (const auto& block : folder.blocks) {
        Bytes part(block.uncompressed);
        ASSERT_TRUE(decoder->decode(block.payload.data(), block.payload.size(), part.data(), part.size()))
            << decoder->error();
        out.insert(out.end(), part.begin(), part.end());
    }

    const auto dir = make_temp_dir();
    const std::string cmd = "cabextract -q -d '" + dir.string() + "' '" + path + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    int compared = 0;
    for (const auto& file : cab.files) {
        if (file.folder != lzx_folder)
            continue;
        const Bytes expected = cv::test::read_whole_file((dir / file.name).string());
        ASSERT_LE(std::size_t{file.offset} + file.size, out.size());
        EXPECT_EQ(Bytes(out.begin() + file.offset, out.begin() + file.offset + file.size), expected) << file.name;
        ++compared;
    }
    std::filesystem::remove_all(dir);
    EXPECT_GT(compared, 0);
}

// Cabinets that once crashed or fooled other decoders: each LZX folder must fail cleanly.
TEST(LzxSample, BrokenCabinetsFailCleanly) {
    for (const char* name : {"lzx-main-tree-no-lengths.cab", "lzx-premature-matches.cab",
                             "cve-2015-4471-lzx-under-read.cab"}) {
        SCOPED_TRACE(name);
        std::vector<cv::test::SampleFolder> folders;
        try {
            folders = cv::test::read_sample_cabinet(kCabs + name).folders;
        } catch (const std::exception&) {
            // The sample walker gives up on this one (its file table is garbage): read the
            // folder records and their data blocks by hand.
            folders = folders_by_hand(cv::test::read_whole_file(kCabs + name));
        }
        int lzx_folders = 0;
        for (const auto& folder : folders) {
            if (folder.type != 3)
                continue;
            ++lzx_folders;
            auto decoder = cv::cab::make_lzx_decoder(folder.window_bits);
            ASSERT_NE(decoder, nullptr);
            bool failed = false;
            for (const auto& block : folder.blocks) {
                Bytes out(std::max<std::size_t>(block.uncompressed, 1));
                if (!decoder->decode(block.payload.data(), block.payload.size(), out.data(),
                                     std::min<std::size_t>(out.size(), 32768))) {
                    failed = true;
                    break;
                }
            }
            EXPECT_TRUE(failed);
            EXPECT_FALSE(decoder->error().empty());
            std::printf("  %s: %s\n", name, decoder->error().c_str());
        }
        EXPECT_GT(lzx_folders, 0);
    }
}

TEST(LzxStream, PublishedUncompressedExample) {
    // The three bytes "abc" as an uncompressed block: no translation, type 3, size 3,
    // 4 padding bits, R0-R2, the bytes and one byte restoring word alignment.
    const Bytes stream = {0x00, 0x30, 0x30, 0x00, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 'a', 'b', 'c', 0};
    const Result r = decode_frames(16, {stream}, 3);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.data, (Bytes{'a', 'b', 'c'}));
}

TEST(LzxRoundTrip, EveryWindowAndBlockType) {
    const Bytes input = sample_input(150000, 1);
    for (int bits = 15; bits <= 21; ++bits) {
        for (std::vector<int> types : {std::vector<int>{1}, {2}, {3}, {1, 3, 2}}) {
            SCOPED_TRACE("window " + std::to_string(bits) + " first type " + std::to_string(types[0]));
            cv::test::LzxEncodeOptions o;
            o.window_bits = bits;
            o.block_types = types;
            o.block_size = 45001; // odd, so blocks and uncompressed runs span frame ends
            expect_round_trip(input, o);
        }
    }
}

TEST(LzxRoundTrip, BlockLayoutsAroundFrameEnds) {
    const Bytes input = sample_input(32768 * 3 + 5, 2);
    struct Layout {
        std::vector<int> types;
        std::uint32_t block_size;
    };
    // With 1-byte blocks of alternating type, an odd uncompressed block ends each frame,
    // so its padding byte falls on the frame end.
    for (const Layout& layout : {Layout{{1, 3}, 1}, Layout{{3, 1, 3, 2}, 7}, Layout{{3, 1, 3, 2}, 32767},
                                 Layout{{3, 1, 3, 2}, 32768}, Layout{{3, 1, 3, 2}, 32769},
                                 Layout{{3, 1, 3, 2}, 100000}}) {
        for (bool pad_next : {false, true}) {
            SCOPED_TRACE("block size " + std::to_string(layout.block_size) + (pad_next ? ", pad in next frame" : ""));
            cv::test::LzxEncodeOptions o;
            o.block_types = layout.types;
            o.block_size = layout.block_size;
            o.pad_byte_in_next_frame = pad_next;
            expect_round_trip(input, o);
        }
    }
}

TEST(LzxRoundTrip, MatchesAtTheWindowLimitAcrossTheWrap) {
    // Random data repeated at a distance of window - 3, the largest LZX offset, over
    // several window lengths so the history wraps around the window many times.
    std::mt19937 rng(3);
    Bytes unit(32765);
    for (auto& b : unit)
        b = static_cast<std::uint8_t>(rng());
    Bytes input;
    for (int i = 0; i < 7; ++i)
        input.insert(input.end(), unit.begin(), unit.end());
    cv::test::LzxEncodeOptions o;
    o.window_bits = 15;
    o.block_types = {2, 1};
    o.block_size = 70000;
    const Frames frames = cv::test::lzx_encode(input, o);
    std::size_t packed = 0;
    for (const auto& f : frames)
        packed += f.size();
    EXPECT_LT(packed, input.size() / 3) << "the encoder found the far matches";
    expect_round_trip(input, o);
}

TEST(LzxRoundTrip, CallTranslationIsUndone) {
    Bytes input = sample_input(32768 * 2 + 11, 4);
    // Calls right before the untranslated tail of a frame and inside it.
    for (std::size_t at : {32768u - 11, 32768u - 10, 32768u - 6, 65536u - 1}) {
        input[at] = 0xE8;
        input[at + 1] = 0x10;
    }
    Bytes translated = input;
    cv::test::lzx_translate_calls(translated, 12000000);
    ASSERT_NE(translated, input) << "the sample holds translatable calls";

    for (std::int32_t size : {12000000, 40000, 1, 0}) {
        SCOPED_TRACE("translation size " + std::to_string(size));
        cv::test::LzxEncodeOptions o;
        o.call_translation = true;
        o.translation_size = size;
        o.block_types = {1, 3};
        o.block_size = 20000;
        expect_round_trip(input, o);
    }
    // A last frame of 10 bytes or less is never translated.
    Bytes tiny = {0xE8, 1, 0, 0, 0, 0xE8, 2, 0, 0, 0};
    cv::test::LzxEncodeOptions o;
    o.call_translation = true;
    expect_round_trip(tiny, o);
}

TEST(LzxRoundTrip, EmptyAndTinyFrames) {
    for (std::size_t size : {1u, 2u, 3u, 10u, 11u, 257u, 32768u}) {
        cv::test::LzxEncodeOptions o;
        o.block_types = {2};
        expect_round_trip(Bytes(size, 'z'), o);
    }
}

// --- damaged input ---

// Writes LZX bits for hand-made streams.
class Bits {
  public:
    Bits& put(std::uint32_t value, unsigned n) {
        for (unsigned i = n; i-- > 0;) {
            acc_ = (acc_ << 1) | ((value >> i) & 1);
            if (++count_ == 16) {
                out_.push_back(static_cast<std::uint8_t>(acc_));
                out_.push_back(static_cast<std::uint8_t>(acc_ >> 8));
                acc_ = count_ = 0;
            }
        }
        return *this;
    }
    Bytes bytes() {
        if (count_)
            put(0, 16 - count_);
        return out_;
    }

    // A block header after the stream's translation bit.
    Bits& header(unsigned type, std::uint32_t size) { return put(type, 3).put(size >> 8, 16).put(size & 255, 8); }

    // Code lengths of a fresh tree (previous lengths all zero) with a fixed pretree:
    // symbols 0-11 get 4 bits, 12-19 get 5 bits.
    Bits& lengths(const std::vector<std::uint8_t>& lens) {
        for (int i = 0; i < 20; ++i)
            put(i < 12 ? 4 : 5, 4);
        auto code = [this](unsigned sym) {
            if (sym < 12)
                put(sym, 4);
            else
                put(0x18 + (sym - 12), 5);
        };
        for (std::size_t x = 0; x < lens.size();) {
            std::size_t run = 0;
            while (x + run < lens.size() && lens[x + run] == 0 && run < 51)
                ++run;
            if (run >= 20) {
                code(18);
                put(static_cast<std::uint32_t>(run - 20), 5);
            } else if (run >= 4) {
                code(17);
                put(static_cast<std::uint32_t>(run - 4), 4);
            } else {
                run = 1;
                code((17 - lens[x]) % 17);
            }
            x += run;
        }
        return *this;
    }

    // A verbatim block's trees: main tree from `main` (256 + 8 * 32 entries, window 2^16)
    // and a length tree from `length` (249 entries).
    Bits& trees(const std::vector<std::uint8_t>& main, const std::vector<std::uint8_t>& length) {
        lengths({main.begin(), main.begin() + 256});
        lengths({main.begin() + 256, main.end()});
        return lengths(length);
    }

  private:
    Bytes out_;
    std::uint32_t acc_ = 0;
    unsigned count_ = 0;
};

constexpr unsigned kMain16 = 256 + 8 * 32;

// Main tree of two codes: literal 'a' is 0, `other` is 1.
std::vector<std::uint8_t> two_codes(unsigned other) {
    std::vector<std::uint8_t> main(kMain16, 0);
    main['a'] = 1;
    main[other] = 1;
    return main;
}

Result decode_one(const Bytes& stream, std::size_t out_size) {
    return decode_frames(16, {stream}, out_size);
}

TEST(LzxCorrupt, HandMadeStreamsFailWithTheirReason) {
    const std::vector<std::uint8_t> no_lengths(249, 0);
    struct Case {
        const char* what;
        Bytes stream;
        std::size_t out;
        const char* expected;
    };
    std::vector<Case> cases;
    for (unsigned type : {0u, 4u, 7u})
        cases.push_back({"invalid type", Bits().put(0, 1).header(type, 10).put(0, 32).bytes(), 10, "block type"});
    cases.push_back({"no main codes", Bits().put(0, 1).header(1, 10).trees(std::vector<std::uint8_t>(kMain16, 0), no_lengths).bytes(),
                     10, "main tree has no codes"});
    {
        auto main = two_codes(256);
        main['b'] = 1; // three codes of one bit
        cases.push_back({"over-subscribed", Bits().put(0, 1).header(1, 10).trees(main, no_lengths).bytes(), 10,
                         "over-subscribed"});
        main = std::vector<std::uint8_t>(kMain16, 0);
        main['a'] = 1;
        cases.push_back({"incomplete", Bits().put(0, 1).header(1, 10).trees(main, no_lengths).bytes(), 10, "incomplete"});
    }
    // Symbol 256: a two-byte match at repeated offset R0 = 1, before any byte exists.
    cases.push_back({"premature match", Bits().put(0, 1).header(1, 10).trees(two_codes(256), no_lengths).put(1, 1).bytes(),
                     10, "before the start"});
    // 'a', then a three-byte match in a block of 3 bytes inside a 10-byte frame, then the
    // same against a 3-byte frame.
    {
        const Bytes s = Bits().put(0, 1).header(1, 3).trees(two_codes(257), no_lengths).put(0, 1).put(1, 1).bytes();
        cases.push_back({"match past block", s, 10, "past the end of its block"});
        const Bytes f = Bits().put(0, 1).header(1, 100).trees(two_codes(257), no_lengths).put(0, 1).put(1, 1).bytes();
        cases.push_back({"match past frame", f, 3, "past the end of the frame"});
    }
    // Length header 7 with an empty length tree.
    cases.push_back({"empty length tree", Bits().put(0, 1).header(1, 100).trees(two_codes(256 + 7), no_lengths).put(0, 1).put(1, 1).bytes(),
                     100, "length tree"});
    // Aligned block whose aligned tree is empty, with a match at slot 8 (3 extra bits).
    {
        Bits b;
        b.put(0, 1).header(2, 100);
        for (int i = 0; i < 8; ++i)
            b.put(0, 3);
        b.trees(two_codes(256 + 8 * 8), no_lengths).put(0, 1).put(0, 1).put(1, 1);
        cases.push_back({"empty aligned tree", b.bytes(), 100, "aligned offset tree"});
    }
    // Uncompressed block that sets R0 = 0, followed by a verbatim block using R0.
    {
        Bits b;
        b.put(0, 1).header(3, 1).put(0, 4); // 28 bits, 4 bits of padding
        Bytes s = b.bytes();
        const Bytes raw = {0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 'x', 0};
        s.insert(s.end(), raw.begin(), raw.end());
        const Bytes tail = Bits().header(1, 9).trees(two_codes(256), no_lengths).put(1, 1).bytes();
        s.insert(s.end(), tail.begin(), tail.end());
        cases.push_back({"zero offset", s, 10, "before the start"});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Result r = decode_one(c.stream, c.out);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find(c.expected), std::string::npos) << r.error;
    }
}

TEST(LzxCorrupt, HandMadeStreamDecodesWhenIntact) {
    // The control for the cases above: 'a' then a 9-byte match at R0 = 1.
    const std::vector<std::uint8_t> no_lengths(249, 0);
    const Bytes s = Bits().put(0, 1).header(1, 10).trees(two_codes(256 + 7), [] {
        std::vector<std::uint8_t> l(249, 0);
        l[0] = 1;
        l[1] = 1;
        return l;
    }()).put(0, 1).put(1, 1).put(0, 1).bytes();
    const Result r = decode_one(s, 10);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.data, Bytes(10, 'a'));
}

TEST(LzxCorrupt, EveryPrefixFailsAsTruncatedOrDecodesExactly) {
    const Bytes input = sample_input(32768 + 3000, 5);
    cv::test::LzxEncodeOptions o;
    o.block_types = {2, 3, 1};
    o.block_size = 9000;
    o.call_translation = true;
    const Frames frames = cv::test::lzx_encode(input, o);
    ASSERT_EQ(frames.size(), 2u);
    for (std::size_t frame = 0; frame < 2; ++frame) {
        const std::size_t step = frame == 0 ? 7 : 1; // every byte of the short frame
        for (std::size_t cut = 0; cut < frames[frame].size(); cut += step) {
            Frames damaged = frames;
            damaged[frame].resize(cut);
            damaged[frame].shrink_to_fit(); // lets the address checker see any over-read
            const Result r = decode_frames(o.window_bits, damaged, input.size());
            if (r.ok) {
                ASSERT_EQ(r.data, input) << "cut at " << cut;
            } else {
                ASSERT_NE(r.error.find("truncated"), std::string::npos) << "cut at " << cut << ": " << r.error;
                ASSERT_EQ(r.failed_frame, frame);
            }
        }
    }
}

TEST(LzxCorrupt, RandomAndFlippedInputNeverCrash) {
    std::mt19937 rng(6);
    const Bytes input = sample_input(40000, 7);
    cv::test::LzxEncodeOptions o;
    o.block_types = {1, 2, 3};
    o.block_size = 15000;
    const Frames good = cv::test::lzx_encode(input, o);
    int failures = 0;
    for (int round = 0; round < 400; ++round) {
        Frames frames = good;
        if (round % 2 == 0) {
            for (auto& f : frames)
                for (int k = 0; k < 3; ++k)
                    f[rng() % f.size()] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
        } else {
            for (auto& f : frames) {
                f.resize(rng() % 3000);
                for (auto& b : f)
                    b = static_cast<std::uint8_t>(rng());
            }
        }
        const int bits = 15 + round % 7;
        const Result r = decode_frames(bits, frames, input.size());
        EXPECT_EQ(r.ok, r.error.empty());
        failures += !r.ok;
    }
    EXPECT_GT(failures, 150);
}

TEST(LzxDecoder, RefusesWorkAfterAFailureAndBadFrameSizes) {
    auto decoder = cv::cab::make_lzx_decoder(16);
    std::uint8_t out[8];
    const Bytes bad = {0xFF, 0xFF};
    EXPECT_FALSE(decoder->decode(bad.data(), bad.size(), out, 8));
    const std::string first = decoder->error();
    EXPECT_FALSE(first.empty());
    const Bytes abc = {0x00, 0x30, 0x30, 0x00, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 'a', 'b', 'c', 0};
    EXPECT_FALSE(decoder->decode(abc.data(), abc.size(), out, 3));
    EXPECT_EQ(decoder->error(), first);

    auto fresh = cv::cab::make_lzx_decoder(16);
    Bytes big(32769);
    EXPECT_FALSE(fresh->decode(abc.data(), abc.size(), big.data(), big.size()));
    EXPECT_NE(fresh->error().find("frame size"), std::string::npos);
}

TEST(LzxSpeed, LargeInput) {
    // Reports the decoding rate; meaningful only in an optimised build without sanitizers.
    // LZX_BENCH_FILE names a file to use instead of the generated 4 MB (LZX_BENCH_MB).
    const char* file = std::getenv("LZX_BENCH_FILE");
    const char* mb = std::getenv("LZX_BENCH_MB");
    const Bytes input = file ? cv::test::read_whole_file(file)
                             : sample_input(static_cast<std::size_t>(mb ? std::atoi(mb) : 4) << 20, 8);
    cv::test::LzxEncodeOptions o;
    o.window_bits = 21;
    o.block_types = {2};
    o.call_translation = true;
    o.block_size = 1 << 20;
    const Frames frames = cv::test::lzx_encode(input, o);
    std::size_t packed = 0;
    for (const auto& f : frames)
        packed += f.size();
    const auto start = std::chrono::steady_clock::now();
    const Result r = decode_frames(21, frames, input.size());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.data, input);
    std::printf("  %zu bytes from %zu: %.1f MB/s\n", input.size(), packed, input.size() / seconds / 1e6);
}

} // namespace
