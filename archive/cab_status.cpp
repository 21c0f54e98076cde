#include "archive/cab_status.h"

namespace cv::cab {

const char* status_name(Status s) {
    switch (s) {
    case Status::ok: return "ok";
    case Status::open_failed: return "open failed";
    case Status::not_cabinet: return "not a cabinet";
    case Status::corrupt: return "corrupt";
    case Status::unsupported: return "unsupported";
    case Status::missing_cabinet: return "missing cabinet";
    case Status::aborted: return "aborted";
    }
    return "unknown";
}

} // namespace cv::cab
