#include "app/run_log.h"

namespace cv {

std::string MessageLogText(bool silent, std::string_view text) {
    return std::string(silent ? "Message (not shown): " : "Message: ") + std::string(text);
}

std::string RunLogLine(const std::tm& when, std::string_view text) {
    char stamp[32];
    if (std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &when) == 0)
        stamp[0] = '\0';
    std::string line = stamp;
    line += "  ";
    bool in_break = false;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            if (!in_break)
                line.push_back(' ');
            in_break = true;
            continue;
        }
        in_break = false;
        line.push_back(c);
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    line += "\r\n";
    return line;
}

RunLog::~RunLog() {
    Close();
}

bool RunLog::Open(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (file_)
        std::fclose(file_);
    file_ = std::fopen(path.c_str(), "wb");
    return file_ != nullptr;
}

void RunLog::Write(std::string_view text) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!file_)
        return;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (std::tm* t = std::localtime(&now))
        local = *t;
    const std::string line = RunLogLine(local, text);
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
}

void RunLog::Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

} // namespace cv
