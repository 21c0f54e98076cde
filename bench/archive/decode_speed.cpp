// Decode speed of the LZX and Quantum decoders: a cabinet of about 16 MB of mixed text and
// binary data for each, made by the test encoders, decoded by our reader (in process) and by
// `cabextract -t` (as a process; its start-up is a few milliseconds of the total), best of
// three runs each.
//
//   decode_speed [MEGABYTES]

#include "tests/host/archive/archive_test_support.h"
#include "tests/host/archive/lzx_test_encoder.h"
#include "tests/host/archive/quantum_test_encoder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

using namespace cv;
using Clock = std::chrono::steady_clock;

namespace {

class DiscardHandler : public cab::ExtractHandler {
  public:
    class Sink : public cab::FileSink {
      public:
        explicit Sink(std::uint64_t& bytes) : bytes_(bytes) {}
        bool write(const std::uint8_t*, std::size_t n) override {
            bytes_ += n;
            return true;
        }

      private:
        std::uint64_t& bytes_;
    };
    std::uint64_t bytes = 0;
    std::unique_ptr<cab::FileSink> copy_file(const std::string&, const cab::FileRecord&) override {
        return std::make_unique<Sink>(bytes);
    }
    bool close_file(const cab::FileRecord&, std::unique_ptr<cab::FileSink>) override { return true; }
};

// Words with made-up ones between them (short matches, as in real text) and runs of random
// bytes (literals), in pieces of 64 KB.
test::Bytes sample_data(std::size_t size) {
    const char* words[] = {"setup ", "install ", "cabinet ", "folder ", "\r\n", "[Files]", "value=",
                           "the ", "of ", "program ", "windows ", "file ", "copy ", "disk "};
    std::mt19937 rng(7);
    test::Bytes out;
    out.reserve(size + 64);
    while (out.size() < size) {
        const bool text = (out.size() / 65536) % 4 != 3;
        const std::size_t piece_end = std::min(size, out.size() + 65536);
        while (out.size() < piece_end) {
            if (text) {
                const std::string w = words[rng() % std::size(words)];
                out.insert(out.end(), w.begin(), w.end());
                if (rng() % 5 == 0)
                    for (unsigned n = 2 + rng() % 6; n > 0; --n)
                        out.push_back(static_cast<std::uint8_t>('a' + rng() % 26));
            } else {
                out.push_back(static_cast<std::uint8_t>(rng()));
            }
        }
    }
    out.resize(size);
    return out;
}

double best_of_three(const std::function<bool()>& run) {
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        const auto start = Clock::now();
        if (!run())
            return -1;
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

void measure(const char* name, const test::Bytes& cabinet, std::size_t size, const std::string& path) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(cabinet.data()), static_cast<std::streamsize>(cabinet.size()));
    const double ours = best_of_three([&] {
        cab::FileIo io;
        DiscardHandler handler;
        const auto r = cab::extract(io, path, handler);
        if (!r.ok() || handler.bytes != size) {
            std::fprintf(stderr, "%s: our reader failed: %s\n", name, r.message.c_str());
            return false;
        }
        return true;
    });
    const std::string command = "cabextract -q -t '" + path + "' >/dev/null 2>&1";
    const double theirs = best_of_three([&] { return std::system(command.c_str()) == 0; });
    const double mb = static_cast<double>(size) / 1e6;
    std::printf("%-8s %7.1f MB %9.3f s %8.1f MB/s", name, mb, ours, mb / ours);
    if (theirs > 0)
        std::printf(" %9.3f s %8.1f MB/s %7.2f\n", theirs, mb / theirs, ours / theirs);
    else
        std::printf("   (cabextract could not test it)\n");
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t size = static_cast<std::size_t>(argc > 1 ? std::atof(argv[1]) : 16) * 1000000;
    const test::Bytes data = sample_data(size);
    const auto folder = test::make_temp_folder("decode-speed");

    test::LzxEncodeOptions lzx;
    lzx.window_bits = 21;
    lzx.block_types = {1, 2};
    lzx.call_translation = true;
    const test::Bytes lzx_cab =
        test::write_one_folder_cabinet(test::lzx_encode(data, lzx), 3u | 21u << 8, size, "data.bin");
    const test::Bytes quantum_cab = test::write_quantum_cabinet(data, 21, "data.bin");

    std::printf("%-8s %10s %11s %13s %11s %13s %7s\n", "decoder", "size", "cvcab", "", "cabextract",
                "", "ratio");
    measure("LZX", lzx_cab, size, (folder / "lzx.cab").string());
    measure("Quantum", quantum_cab, size, (folder / "quantum.cab").string());
    std::filesystem::remove_all(folder);
    return 0;
}
