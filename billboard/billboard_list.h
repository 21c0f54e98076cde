#pragma once
/// The billboard slide show's list: section BILLBOARDSCV of the settings gives for each
/// picture its file, its seconds on screen and the window's screen position. Reading, the
/// timings and where a picture is looked for are decided here without Windows; the window
/// and its thread are billboard_win.

#include "common/table_section.h"

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace cv {

/// The list holds at most this many billboards; the rest of a longer list is not shown.
inline constexpr std::size_t kMaxBillboards = 20;

struct Billboard {
    std::string picture; ///< the file-name part of "B%i"
    int seconds = 0;     ///< "C%i"
    int x = 1, y = 1;    ///< "D%i", "E%i"; below 1 (0 or missing among them) counts as 1
};

struct BillboardList {
    std::array<Billboard, kMaxBillboards> items{};
    int count = 0;  ///< billboards held
    long total = 0; ///< "TOTAL" as written

    /// Whether the list written was longer than the list held.
    bool Cut() const { return total > count; }
};

/// Reads BILLBOARDSCV through `lookup`: the first kMaxBillboards rows of its "TOTAL".
BillboardList ReadBillboardList(const SectionLookup& lookup);

/// The timer of a billboard shown for `seconds`: seconds × 1000 milliseconds. A negative
/// time counts as 0, and a time past a day as a day, so the period never overflows.
unsigned BillboardMilliseconds(int seconds);

/// The folders a picture is looked for in, in order: the work folder, then the disk images
/// beside the setup.
struct PictureFolders {
    std::string workFolder;    ///< temp folder + work folder's name, a backslash added
    std::string currentFolder; ///< the current folder, a backslash added when missing
};

/// The places of picture `name`, in the order they are tried.
std::array<std::string, 3> PictureCandidates(const PictureFolders& folders, std::string_view name);

/// The first candidate of `name` that `exists`; the last one when none exists (the load
/// then fails and the previous picture stays).
std::string FindBillboardPicture(const PictureFolders& folders, std::string_view name,
                                 const std::function<bool(const std::string&)>& exists);

} // namespace cv
