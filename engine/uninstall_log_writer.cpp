#include "engine/uninstall_log_writer.h"

namespace cv {

std::string FormatLogLine(std::string_view key, std::string_view value) {
    std::string line;
    line.reserve(key.size() + value.size() + 3);
    line.append(key);
    line.push_back('=');
    line.append(value);
    line.append("\r\n");
    return line;
}

void UninstallLogWriter::WriteLogEntry(std::string_view key, std::string_view value) {
    if (!sink_.Append(FormatLogLine(key, value)))
        ++lost_;
}

} // namespace cv
