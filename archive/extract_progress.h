#pragma once
/// IExtractProgress: what the unpacking tells about its progress, so that it needs no page
/// or window of its own. Called on the unpacking's worker thread.

#include <cstddef>

namespace cv {

class IExtractProgress {
  public:
    virtual ~IExtractProgress() = default;
    /// The number of files of the archive set; told at most once per process.
    virtual void SetFileCount(std::size_t files) = 0;
    /// `count` files have been created so far.
    virtual void SetFilesUnpacked(int count) = 0;
};

} // namespace cv
