#pragma once
// Test support: a small Quantum encoder (greedy matches, one frame per 32768-byte block) and
// a writer of single-folder cabinets, so the decoder can be checked against cabextract on
// inputs far larger and more varied than the one sample file. It shares the frequency model
// with the decoder; cabextract, as the independent reader, catches errors they would share.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cv::test {

/// Writes chosen Quantum symbols, so tests can build exactly the stream they need (also
/// streams no sane encoder writes, such as a match before the start of the data).
class QuantumTestWriter {
  public:
    explicit QuantumTestWriter(int window_bits);
    ~QuantumTestWriter();

    void literal(std::uint8_t byte);
    /// `length` 3 to 259; `offset` 1 up to what the length's position model can reach.
    void match(std::uint32_t length, std::uint32_t offset);
    /// Flushes the coder, byte-aligns, appends `trailer_zeros` zero bytes and returns the
    /// frame; the next symbol starts a new frame (the models run on).
    std::vector<std::uint8_t> end_frame(int trailer_zeros = 0);

  private:
    struct State;
    std::unique_ptr<State> s_;
};

/// Compressed payload of each data block of `data` (32768 bytes per block, the last one
/// shorter), coded with a window of 2^window_bits bytes. Each full frame ends with
/// `trailer_zeros` padding bytes, as real cabinets have.
std::vector<std::vector<std::uint8_t>> quantum_encode(const std::vector<std::uint8_t>& data,
                                                      int window_bits, int trailer_zeros = 2);

/// A cabinet holding `data` as the one file `name` in one Quantum folder.
std::vector<std::uint8_t> write_quantum_cabinet(const std::vector<std::uint8_t>& data,
                                                int window_bits, const std::string& name);

/// A cabinet whose one file `name` is the first `kept` bytes of `data`, while the folder's
/// last frame codes `data` to its end: its final match (or literals) run on past the data,
/// as some encoders write the end of a folder. `kept` must lie inside the last frame.
std::vector<std::uint8_t> write_quantum_cabinet_ending_early(const std::vector<std::uint8_t>& data,
                                                             std::size_t kept, int window_bits,
                                                             const std::string& name);

} // namespace cv::test
