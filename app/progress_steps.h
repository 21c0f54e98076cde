#pragma once
/// ProgressSteps: which positions of a progress bar are worth a message. A bar moves by whole
/// pixels, and a message from a worker thread is a round trip to the window's thread, which
/// costs more than installing a small file; so a long run moves the bar in about 256 steps,
/// always showing the first position, the last one and any step back.

#include <algorithm>

namespace cv {

class ProgressSteps {
  public:
    void SetRange(int count) {
        range_ = count;
        step_ = std::max(1, count / 256);
        shown_ = -1;
    }
    /// Whether `position` should be sent to the bar; remembers it when so.
    bool Worth(int position) {
        if (shown_ >= 0 && position > shown_ && position - shown_ < step_ && position < range_ - 1)
            return false;
        shown_ = position;
        return true;
    }

  private:
    int range_ = 0;
    int step_ = 1;
    int shown_ = -1;
};

} // namespace cv
