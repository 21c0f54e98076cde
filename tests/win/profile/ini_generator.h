#pragma once
// Random INI files that exercise the corners of the private-profile reader, and the queries
// to ask of them.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace cv::test {

struct GeneratedIni {
    std::string bytes;
    /// Section and key names that occur in the file (as written, without the brackets).
    std::vector<std::string> sections;
    std::vector<std::string> keys;
    /// Longest value written, to pick buffer sizes around it.
    std::vector<std::size_t> value_lengths;
};

class IniGenerator {
  public:
    explicit IniGenerator(std::uint32_t seed) : rng_(seed) {}

    GeneratedIni next();

    /// A name as a caller might spell it: case changed, blanks around it.
    std::string vary_name(const std::string& name);

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(int percent) { return pick(100) < percent; }

  private:
    std::string blanks();
    std::string name_from(const std::vector<std::string>& pool);
    std::string value();

    std::mt19937 rng_;
};

} // namespace cv::test
