#pragma once
/// PageOrder: the wizard's page list and its position, and the decisions of moving through
/// it: next with the custom-setup skip, back, the completion page past the end. It opens no
/// windows; the main frame asks it which page comes and then opens that page.

#include <array>
#include <cstddef>
#include <functional>
#include <string>

namespace cv {

/// The page list's room; the names of a longer list are not read.
inline constexpr std::size_t kMaxPages = 20;

/// Position and count given to pages outside the list (start, language, add-on and the
/// hidden progress page).
inline constexpr int kOutsideListPosition = -1;
inline constexpr int kOutsideListCount = 50;

/// A page to open: its layout file and the position and page count the page is given.
struct PageOpening {
    std::string file;
    int position = kOutsideListPosition;
    int count = kOutsideListCount;
    bool operator==(const PageOpening&) const = default;
};

class PageOrder {
  public:
    /// Reads the list anew: `total` names (at most kMaxPages of them), name i from
    /// `name_at(i)`. The position goes back to before the first page. False when `total`
    /// was more than the list holds.
    bool Build(long total, const std::function<std::string(int)>& name_at);
    /// Back to before the first page.
    void Restart() { position_ = -1; }

    int position() const { return position_; }
    int count() const { return count_; }
    /// The file name at `position`; empty outside the list.
    std::string PageAt(int position) const;

    /// The step of Next. After a typical or minimal setup type (0, 1) the page that follows
    /// the setup-type page (the custom-setup page) is passed over. True when the new
    /// position is a page of the list; false past its end, where the position stays on the
    /// last page and the completion page is what follows.
    bool Advance(int setup_type);
    /// The page at the current position as it opens.
    PageOpening Current() const { return {PageAt(position_), position_, count_}; }
    /// The step of Back: one page back, over the custom-setup page after a typical or
    /// minimal setup type, never before the first page. Gives the page to open.
    PageOpening StepBack(int setup_type);
    /// The completion page, one position past the current one, with the page count as its
    /// position and count.
    PageOpening Completion();

  private:
    std::array<std::string, kMaxPages> pages_{};
    int count_ = 0;
    int position_ = -1;
};

/// True for the setup types that skip the custom-setup page (typical 0, minimal 1).
bool SkipsCustomSetup(int setup_type);

} // namespace cv
