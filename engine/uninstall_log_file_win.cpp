#include "engine/uninstall_log_file_win.h"

namespace cv {

bool UninstallLogFile::Append(std::string_view line) {
    if (!file_) {
        file_.reset(::CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file_)
            return false;
        ::SetFilePointer(file_.get(), 0, nullptr, FILE_END);
    }
    DWORD wrote = 0;
    return ::WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &wrote, nullptr) &&
           wrote == line.size();
}

} // namespace cv
