#include "app/system_folder_text.h"

#include "common/path_limit.h"

#include <vector>

namespace cv {

SystemFolder ReadSystemFolder(const FolderCall& call) {
    char buffer[kMaxPathLength + 1];
    const unsigned n = call(buffer, static_cast<unsigned>(sizeof buffer));
    if (n == 0)
        return {SystemFolder::Status::Failed, {}};
    if (n < sizeof buffer)
        return {SystemFolder::Status::Read, std::string(buffer, n)};

    // Too long: ask once more with the size the call named, within the longest path, only
    // so that the message can name the folder.
    SystemFolder refused{SystemFolder::Status::TooLong, {}};
    if (n > kLongestSystemPath)
        return refused;
    std::vector<char> wide(n);
    const unsigned m = call(wide.data(), n);
    if (m > 0 && m < n)
        refused.text.assign(wide.data(), m);
    return refused;
}

std::string SystemFolderMessage(const char* what, const SystemFolder& folder) {
    if (folder.status == SystemFolder::Status::Failed)
        return std::string("The setup cannot read its ") + what + ".";
    std::string text = std::string("The setup cannot run with a ") + what + " longer than " +
                       std::to_string(kMaxPathLength) + " characters";
    if (folder.text.empty())
        return text + ".";
    return text + ":\r\n" + folder.text;
}

} // namespace cv
