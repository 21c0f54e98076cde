// Our inflate against the fastest there is: the same raw deflate blocks decoded in one
// process by our Inflater, by zlib and by libdeflate, best of several interleaved runs each.
//
// The blocks are those of an MSZIP cabinet of cvbuild (32 KB of input each, zlib level 6,
// one complete raw deflate stream per block), except that each block is deflated without the
// block before it as a dictionary: libdeflate cannot be given a history, and a block that
// reaches back would not decode there. Three sets: the extraction benchmark's payload (text-
// like and random files, about half each), text only, and binary only.
//
//   inflate_limit [MEGABYTES_PER_SET] [RUNS] [mixed|text|binary]   (a release build: no sanitizers)
//
// Naming a set runs that one alone (for a profiler).

#include "archive/inflate.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kBlock = 32768;
constexpr int kLevel = 6;

// Words with made-up ones between them now and then: matches stay short, as in real text.
void append_text(Bytes& out, std::size_t size, std::mt19937& rng) {
    static const char* const words[] = {
        "setup ", "install ", "cabinet ", "folder ", "Corvane ", "\r\n", "[Files]", "value=",
        "the ", "of ", "and ", "program ", "windows ", "file ", "copy ", "disk ", "0123456789 ",
        "The quick brown fox jumps over the lazy dog. "};
    const std::size_t end = out.size() + size;
    std::size_t n = 0;
    while (out.size() < end) {
        const char* w = words[rng() % std::size(words)];
        out.insert(out.end(), w, w + std::strlen(w));
        if (n++ % 5 == 0) {
            for (unsigned k = 2 + rng() % 7; k > 0; --k)
                out.push_back(static_cast<std::uint8_t>('a' + rng() % 26));
            out.push_back(' ');
        }
    }
    out.resize(end);
}

void append_random(Bytes& out, std::size_t size, std::mt19937& rng) {
    for (std::size_t i = 0; i < size; ++i)
        out.push_back(static_cast<std::uint8_t>(rng()));
}

enum class Kind { Mixed, Text, Binary };

// Files of about 1 MB, as in the extraction benchmark; the mixed set alternates them.
Bytes make_set(Kind kind, std::size_t size) {
    std::mt19937 rng(7);
    Bytes out;
    out.reserve(size + kBlock);
    for (std::size_t file = 0; out.size() < size; ++file) {
        const std::size_t piece = std::min<std::size_t>(size - out.size(), 1000000 + rng() % 100000);
        const bool text = kind == Kind::Text || (kind == Kind::Mixed && file % 2 == 1);
        if (text)
            append_text(out, piece, rng);
        else
            append_random(out, piece, rng);
    }
    return out;
}

struct Block {
    Bytes deflated;
    std::size_t offset; // of its output in the set
    std::size_t size;   // uncompressed
};

std::vector<Block> deflate_blocks(const Bytes& data) {
    z_stream z{};
    if (deflateInit2(&z, kLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        std::fprintf(stderr, "inflate_limit: cannot start zlib's deflate\n");
        std::exit(1);
    }
    std::vector<Block> blocks;
    for (std::size_t at = 0; at < data.size(); at += kBlock) {
        const std::size_t n = std::min(kBlock, data.size() - at);
        deflateReset(&z);
        Block b{Bytes(deflateBound(&z, n)), at, n};
        z.next_in = const_cast<Bytef*>(data.data() + at);
        z.avail_in = static_cast<uInt>(n);
        z.next_out = b.deflated.data();
        z.avail_out = static_cast<uInt>(b.deflated.size());
        if (deflate(&z, Z_FINISH) != Z_STREAM_END) {
            std::fprintf(stderr, "inflate_limit: deflate did not finish a block\n");
            std::exit(1);
        }
        b.deflated.resize(b.deflated.size() - z.avail_out);
        blocks.push_back(std::move(b));
    }
    deflateEnd(&z);
    return blocks;
}

// Each decoder decodes every block into `out` and says whether all went right.
bool decode_ours(const std::vector<Block>& blocks, Bytes& out) {
    cv::cab::Inflater inflater;
    for (const Block& b : blocks)
        if (!inflater.inflate(b.deflated.data(), b.deflated.size(), out.data() + b.offset, b.size))
            return false;
    return true;
}

bool decode_zlib(const std::vector<Block>& blocks, Bytes& out) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK)
        return false;
    bool ok = true;
    for (const Block& b : blocks) {
        inflateReset(&z);
        z.next_in = const_cast<Bytef*>(b.deflated.data());
        z.avail_in = static_cast<uInt>(b.deflated.size());
        z.next_out = out.data() + b.offset;
        z.avail_out = static_cast<uInt>(b.size);
        if (inflate(&z, Z_FINISH) != Z_STREAM_END || z.avail_out != 0) {
            ok = false;
            break;
        }
    }
    inflateEnd(&z);
    return ok;
}

bool decode_libdeflate(const std::vector<Block>& blocks, Bytes& out) {
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    if (!d)
        return false;
    bool ok = true;
    for (const Block& b : blocks) {
        if (libdeflate_deflate_decompress(d, b.deflated.data(), b.deflated.size(),
                                          out.data() + b.offset, b.size, nullptr) != LIBDEFLATE_SUCCESS) {
            ok = false;
            break;
        }
    }
    libdeflate_free_decompressor(d);
    return ok;
}

struct Decoder {
    const char* name;
    bool (*decode)(const std::vector<Block>&, Bytes&);
    double best = 1e9;
};

} // namespace

int main(int argc, char** argv) {
    const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 32;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 9;
    if (megabytes == 0 || runs <= 0) {
        std::fprintf(stderr, "usage: inflate_limit [MEGABYTES_PER_SET] [RUNS] [mixed|text|binary]\n");
        return 2;
    }
    const std::string only = argc > 3 ? argv[3] : "";
    const struct {
        const char* key;
        const char* name;
        Kind kind;
    } sets[] = {{"mixed", "mixed (extraction benchmark)", Kind::Mixed}, {"text", "text only", Kind::Text},
                {"binary", "binary only", Kind::Binary}};

    std::vector<std::string> summary;
    for (const auto& set : sets) {
        if (!only.empty() && only != set.key)
            continue;
        const Bytes data = make_set(set.kind, megabytes << 20);
        const std::vector<Block> blocks = deflate_blocks(data);
        std::size_t packed = 0;
        for (const Block& b : blocks)
            packed += b.deflated.size();
        Decoder decoders[] = {{"ours", decode_ours}, {"zlib", decode_zlib}, {"libdeflate", decode_libdeflate}};
        Bytes out(data.size());
        // Interleaved rounds, so that a noisy moment hits every decoder alike; best of each.
        for (int round = 0; round < runs; ++round) {
            for (Decoder& d : decoders) {
                std::fill(out.begin(), out.end(), 0);
                const auto start = Clock::now();
                const bool ok = d.decode(blocks, out);
                const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
                if (!ok || out != data) {
                    std::fprintf(stderr, "inflate_limit: %s decoded the %s set wrongly\n", d.name, set.name);
                    return 1;
                }
                d.best = std::min(d.best, seconds);
            }
        }
        std::printf("%s: %zu blocks, %.1f MB -> %.1f MB\n", set.name, blocks.size(), packed / 1e6, data.size() / 1e6);
        for (const Decoder& d : decoders)
            std::printf("  %-10s %8.1f ms  %7.1f MB/s\n", d.name, d.best * 1e3, data.size() / 1e6 / d.best);
        char line[160];
        std::snprintf(line, sizeof line, "%-30s ours/zlib %.2f  ours/libdeflate %.2f", set.name,
                      decoders[0].best / decoders[1].best, decoders[0].best / decoders[2].best);
        summary.push_back(line);
    }
    std::printf("ratios (best of %d runs, lower is faster; goal: ours/libdeflate at most 1.15)\n", runs);
    for (const std::string& s : summary)
        std::printf("%s\n", s.c_str());
    return 0;
}
