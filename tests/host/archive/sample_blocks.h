#pragma once
// Test support: a deliberately small, trusting walk over one well-formed cabinet that hands
// out each folder's raw data blocks, so decoder tests can run without the full reader.

#include <cstdint>
#include <string>
#include <vector>

namespace cv::test {

struct SampleBlock {
    std::vector<std::uint8_t> payload;
    std::size_t uncompressed = 0;
};

struct SampleFolder {
    int type = 0;        // low 4 bits of the compression field
    int window_bits = 0; // bits 8-12
    std::vector<SampleBlock> blocks;
};

struct SampleFile {
    std::string name;
    std::uint32_t size = 0, offset = 0;
    int folder = 0;
};

struct SampleCabinet {
    std::vector<SampleFolder> folders;
    std::vector<SampleFile> files;
};

/// Reads `path`; throws std::runtime_error when the file is missing or not a plain cabinet.
SampleCabinet read_sample_cabinet(const std::string& path);

/// Reads a whole file into memory; throws when it cannot be opened.
std::vector<std::uint8_t> read_whole_file(const std::string& path);

} // namespace cv::test
