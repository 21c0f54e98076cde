// The layout file reader (".lcd") on arbitrary input: the page's tables stay within their
// bounds, and every value within its buffer, whatever the file says.
#include "common/profile.h"
#include "pages/layout.h"

#include <cstdint>
#include <string_view>

namespace {

void require(bool ok) {
    if (!ok)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const cv::ProfileFile file =
        cv::ProfileFile::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string folder = "C:\\theme\\";
    const cv::Layout layout = cv::ReadLayout(&file, folder);

    require(layout.elements.size() <= cv::kMaxPageElements);
    std::size_t per_table[cv::kControlTableCount] = {};
    for (const cv::LayoutElement& e : layout.elements) {
        require(e.type != nullptr);
        require(e.properties.size() <= cv::kMaxElementProperties);
        const auto table = static_cast<std::size_t>(e.type->table);
        require(table < cv::kControlTableCount);
        require(e.tableIndex >= 0 && static_cast<std::size_t>(e.tableIndex) < cv::kMaxControlsPerTable);
        require(++per_table[table] <= cv::kMaxControlsPerTable);
        require(e.controlId >= cv::kFirstControlId &&
                e.controlId < cv::kFirstControlId + static_cast<int>(cv::kMaxPageElements));
        // A picture is the folder plus one value read into a 255-character buffer.
        require(e.picture.size() <= folder.size() + cv::kProfileValueBuffer - 1);
        for (const cv::LayoutProperty& p : e.properties) {
            require(p.name.size() < cv::kProfileValueBuffer);
            require(p.value.size() <= folder.size() + cv::kProfileValueBuffer - 1);
        }
        require(e.Value(cv::kMaxElementProperties).empty());
    }
    const cv::WindowSettings& w = layout.window;
    for (const std::string* v : {&w.idcname, &w.caption, &w.bkimage, &w.border, &w.startup,
                                 &w.bkcolor, &w.width, &w.height, &w.soundfile, &w.minwindow,
                                 &w.maxwindow, &w.closewindow, &w.fontname, &w.fontsize,
                                 &w.fontbold, &w.fontitalic})
        require(v->size() < cv::kProfileValueBuffer);
    (void)w.Width();
    (void)w.Height();
    return 0;
}
