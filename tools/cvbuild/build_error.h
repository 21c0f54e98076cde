#pragma once
/// The one failure type of the build tool: its text names the file or line at fault.

#include <stdexcept>
#include <string>

namespace cv::build {

class BuildError : public std::runtime_error {
  public:
    explicit BuildError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace cv::build
