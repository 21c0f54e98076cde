#include "billboard/billboard_list.h"

#include "common/path_text.h"
#include "common/profile_table.h"

#include <algorithm>

namespace cv {

namespace {

constexpr std::size_t kValueBuffer = 255;
constexpr int kSecondsPerDay = 24 * 60 * 60;

int Position(const std::string& text) { return std::max(1, ParseLeadingInt(text)); }

} // namespace

BillboardList ReadBillboardList(const SectionLookup& lookup) {
    BillboardList list;
    const TableCount count = ReadTableCount(lookup, kMaxBillboards);
    list.total = count.total;
    list.count = count.rows;
    for (int i = 0; i < count.rows; ++i) {
        Billboard& b = list.items[static_cast<std::size_t>(i)];
        b.picture = FileNamePart(lookup(TableKey("B", i), kValueBuffer));
        b.seconds = ParseLeadingInt(lookup(TableKey("C", i), kValueBuffer));
        b.x = Position(lookup(TableKey("D", i), kValueBuffer));
        b.y = Position(lookup(TableKey("E", i), kValueBuffer));
    }
    return list;
}

unsigned BillboardMilliseconds(int seconds) {
    return static_cast<unsigned>(std::clamp(seconds, 0, kSecondsPerDay)) * 1000u;
}

std::array<std::string, 3> PictureCandidates(const PictureFolders& folders, std::string_view name) {
    const std::string file(name);
    const std::string current = WithTrailingBackslash(folders.currentFolder);
    return {WithTrailingBackslash(folders.workFolder) + file, current + "DiskImage1\\" + file,
            current + "DiskImage2\\" + file};
}

std::string FindBillboardPicture(const PictureFolders& folders, std::string_view name,
                                 const std::function<bool(const std::string&)>& exists) {
    const auto candidates = PictureCandidates(folders, name);
    for (const std::string& path : candidates)
        if (exists(path))
            return path;
    return candidates.back();
}

} // namespace cv
