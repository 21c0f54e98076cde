#pragma once
/// One adaptive frequency model of the Quantum method.
///
/// A model is a table of entries, each a symbol and a cumulative frequency: the sum of the
/// frequencies of all entries after it, so the last entry's value is that entry's own
/// frequency, and a sentinel entry after the table holds 0. Entry 0 therefore holds the total.
/// Every decoded symbol adds 8 to the cumulative frequencies of its own entry and all entries
/// before it; when the total then passes 3800 the model is scaled down, and every 50th scaling
/// (the first after 4) also re-sorts the entries by frequency. Encoder and decoder run exactly
/// the same updates, so the arithmetic must match bit for bit, sort order included.

#include <cstdint>

namespace cv::cab::quantum {

/// Largest table any Quantum model uses (the four literal models).
inline constexpr int kMaxModelEntries = 64;
/// A total above this triggers a scaling; totals therefore never exceed it by more than 8
/// at the moment a symbol is decoded.
inline constexpr std::uint32_t kRescaleThreshold = 3800;

class Model {
  public:
    /// Entries `first_symbol` .. `first_symbol + entries - 1`, each with frequency 1.
    /// `entries` must be 1 to kMaxModelEntries; the decoder only uses fixed sizes in range.
    void reset(int first_symbol, int entries);

    int entries() const { return entries_; }
    std::uint32_t total() const { return cumfreq_[0]; }
    /// Cumulative frequency of entry `i` (0 to entries(); entries() gives 0).
    std::uint32_t cumfreq(int i) const { return cumfreq_[i]; }
    int symbol(int i) const { return symbol_[i]; }

    /// Index of the entry whose range [cumfreq(i+1), cumfreq(i)) contains `target`, which
    /// must be below total().
    int find(std::uint32_t target) const {
        // Entries are kept roughly in falling frequency, so a linear walk from the front is
        // short for the common symbols. The sentinel (0) stops it for any target.
        int i = 0;
        while (cumfreq_[i + 1] > target)
            ++i;
        return i;
    }

    /// Counts one more occurrence of entry `i`. Returns false when the model's frequencies
    /// would leave the range the arithmetic decoder can divide by (total above the scaling
    /// threshold after scaling, or an entry with no frequency); the model must not be used
    /// after that.
    bool update(int i) {
        // Adding to a prefix keeps the cumulative values strictly falling; only a scaling
        // can change that, and it checks its result.
        for (int k = 0; k <= i; ++k)
            cumfreq_[k] += 8;
        return cumfreq_[0] <= kRescaleThreshold || rescale();
    }

  private:
    bool rescale();
    void halve();
    void resort();

    int entries_ = 0;
    int until_resort_ = 4;
    std::uint16_t symbol_[kMaxModelEntries + 1] = {};
    std::uint32_t cumfreq_[kMaxModelEntries + 1] = {};
};

} // namespace cv::cab::quantum
