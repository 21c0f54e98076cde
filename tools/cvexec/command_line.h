#pragma once
/// The uninstaller's command line: "/R <code>" removes with its windows, "/S <code>" (also
/// "/R <code> /S") without any, "/M <code>" offers Repair and Remove. Switches are read
/// without regard to case and may begin with "-". The product code names a folder and a
/// registry key, so it must be a plain name: no path separators, no ":", no "..", no control
/// characters, at most 200 characters.

#include <string>
#include <vector>

namespace cv::uninstall {

enum class Mode { Remove, Silent, Modify };

struct CommandLine {
    Mode mode = Mode::Remove;
    std::string code;
    std::string error; ///< why the command line was refused; "" when it is good
};

CommandLine ParseCommandLine(const std::vector<std::string>& args);
bool IsSafeProductCode(const std::string& code);
/// The arguments of a Windows command line, split as the C runtime splits them (quotes
/// group, backslashes before a quote escape it).
std::vector<std::string> SplitCommandLine(const std::string& text);

} // namespace cv::uninstall
