#include "app/page_order.h"

namespace cv {

bool SkipsCustomSetup(int setup_type) { return setup_type == 0 || setup_type == 1; }

bool PageOrder::Build(long total, const std::function<std::string(int)>& name_at) {
    const bool fits = total <= static_cast<long>(kMaxPages);
    const int wanted = total < 0 ? 0 : fits ? static_cast<int>(total) : static_cast<int>(kMaxPages);
    pages_.fill(std::string());
    for (int i = 0; i < wanted; ++i)
        pages_[static_cast<std::size_t>(i)] = name_at(i);
    count_ = wanted;
    position_ = -1;
    return fits;
}

std::string PageOrder::PageAt(int position) const {
    if (position < 0 || position >= count_)
        return {};
    return pages_[static_cast<std::size_t>(position)];
}

bool PageOrder::Advance(int setup_type) {
    if (SkipsCustomSetup(setup_type) && PageAt(position_) == "setuptype.lcd")
        ++position_;
    ++position_;
    if (position_ < count_)
        return true;
    position_ = count_ - 1;
    return false;
}

PageOpening PageOrder::StepBack(int setup_type) {
    --position_;
    if (SkipsCustomSetup(setup_type) && PageAt(position_) == "customsetup.lcd")
        --position_;
    if (position_ < 1)
        position_ = 0;
    return Current();
}

PageOpening PageOrder::Completion() {
    ++position_;
    return {"complete.lcd", count_, count_};
}

} // namespace cv
