#pragma once
// Splitting a driver command into words ("..." keeps blanks, \" \\ \r \n escapes) and quoting
// texts for the replies in the same form.

#include <string>
#include <vector>

namespace cv::driver {

std::vector<std::string> SplitWords(const std::string& line);
std::string Quote(const std::string& text);

} // namespace cv::driver
