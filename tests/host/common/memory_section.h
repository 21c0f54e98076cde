#pragma once
/// A settings section in memory for the table readers' tests: it answers a key lookup as the
/// profile reader would (missing keys read as "", values cut to the buffer) and records
/// which keys were asked for.

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace cv {

struct MemorySection {
    std::map<std::string, std::string> values;
    mutable std::vector<std::string> asked;

    std::function<std::string(const std::string&, std::size_t)> lookup() const {
        return [this](const std::string& key, std::size_t buffer) {
            asked.push_back(key);
            auto found = values.find(key);
            std::string value = found == values.end() ? "" : found->second;
            return value.substr(0, buffer - 1);
        };
    }
};

} // namespace cv
