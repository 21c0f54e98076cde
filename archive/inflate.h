#pragma once
/// Deflate decoding (RFC 1951) with a 32 KB history that survives from one call to the next,
/// as MSZIP needs: each data block is one deflate stream that may refer back into the output
/// of the blocks before it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace cv::cab {

class Inflater {
  public:
    Inflater();
    ~Inflater();
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    /// Decodes the deflate stream in `in` (up to its final block) into `out`, which must
    /// receive exactly `out_size` bytes (at most 32768). Returns false with `error()` set on
    /// corrupt data. The output becomes history for the next call.
    bool inflate(const std::uint8_t* in, std::size_t in_size, std::uint8_t* out,
                 std::size_t out_size);

    /// Forgets the history (a new folder).
    void reset();

    const std::string& error() const { return error_; }

  private:
    struct State;
    std::unique_ptr<State> s_;
    std::string error_;
};

} // namespace cv::cab
