// The data.inf reader and the destination-folder list on arbitrary input.
#include "engine/file_list.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    cv::FileListResult list = cv::ParseFileList(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!list.ok)
        return 0;
    for (const cv::FileRecord& r : list.records) {
        if (r.source.size() > cv::kMaxRecordString || r.destination_folder.size() > cv::kMaxRecordString ||
            r.feature.size() > cv::kMaxRecordString)
            __builtin_trap(); // a string past the record bound was accepted
    }
    cv::FolderListResult folders = cv::CollectDestinationFolders(list.records);
    if (folders.ok && folders.folders.size() > cv::kMaxDestinationFolders)
        __builtin_trap();
    return 0;
}
