#include "archive/quantum_model.h"

#include <utility>

namespace cv::cab::quantum {

void Model::reset(int first_symbol, int entries) {
    entries_ = entries;
    until_resort_ = 4;
    for (int i = 0; i <= entries; ++i) {
        symbol_[i] = static_cast<std::uint16_t>(first_symbol + i);
        cumfreq_[i] = static_cast<std::uint32_t>(entries - i);
    }
}

bool Model::rescale() {
    if (--until_resort_ != 0) {
        halve();
    } else {
        until_resort_ = 50;
        resort();
    }
    // Both scalings leave the total near half the threshold with every frequency at least 1;
    // this guards the divisions of the arithmetic decoder should that ever break.
    if (cumfreq_[0] > kRescaleThreshold)
        return false;
    for (int k = 0; k < entries_; ++k)
        if (cumfreq_[k] <= cumfreq_[k + 1])
            return false;
    return true;
}

void Model::halve() {
    // From the last entry to the first: halving may make an entry's cumulative value equal to its
    // successor's (frequency 0); such an entry is raised to keep a frequency of 1.
    for (int k = entries_ - 1; k >= 0; --k) {
        cumfreq_[k] >>= 1;
        if (cumfreq_[k] <= cumfreq_[k + 1])
            cumfreq_[k] = cumfreq_[k + 1] + 1;
    }
}

void Model::resort() {
    // Turn cumulative values into halved single frequencies, rounding up so none becomes 0.
    // Going forwards, entry k+1 still holds its cumulative value when entry k is converted.
    for (int k = 0; k < entries_; ++k)
        cumfreq_[k] = (cumfreq_[k] - cumfreq_[k + 1] + 1) >> 1;
    // The order of entries with equal frequency decides the code, so this must be exactly
    // the exchange sort the encoder uses (not stable, not std::sort): for each position,
    // swap in every later entry with a higher frequency.
    for (int a = 0; a < entries_ - 1; ++a)
        for (int b = a + 1; b < entries_; ++b)
            if (cumfreq_[a] < cumfreq_[b]) {
                std::swap(cumfreq_[a], cumfreq_[b]);
                std::swap(symbol_[a], symbol_[b]);
            }
    // And back to cumulative values, from the end (the sentinel stays 0).
    for (int k = entries_ - 1; k >= 0; --k)
        cumfreq_[k] += cumfreq_[k + 1];
}

} // namespace cv::cab::quantum
