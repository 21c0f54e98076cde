#include "pages/layout.h"

#include "common/profile_cache.h"
#include "common/table_section.h"

#include <climits>
#include <cstdlib>

namespace cv {

namespace {

// clang-format off
constexpr ElementTypeInfo kTypes[] = {
    {"BUTTON",    ElementType::Button,    ControlTable::Button,    "IDC_BUTTON",    10, false, true},
    {"BITMAP",    ElementType::Bitmap,    ControlTable::Picture,   "IDB_BITMAP",     0, false, false},
    {"HOVER",     ElementType::Hover,     ControlTable::Picture,   "IDC_HOVER",      0, false, false},
    {"TEXT",      ElementType::Text,      ControlTable::Text,      "IDC_STATIC",     8, false, true},
    {"RECT",      ElementType::Rect,      ControlTable::Rect,      "IDC_RECT",       0, false, false},
    {"TEXTBOX",   ElementType::TextBox,   ControlTable::Edit,      "IDC_TEXT",      10, false, true},
    {"COMBOBOX",  ElementType::ComboBox,  ControlTable::Combo,     "IDC_COMBO",     10, false, true},
    {"RADIO",     ElementType::Radio,     ControlTable::Radio,     "IDC_RADIO",     10, false, true},
    {"HOTSPOT",   ElementType::HotSpot,   ControlTable::HotSpot,   "IDC_HOTSPOT",   10, false, false},
    {"ANIMATION", ElementType::Animation, ControlTable::Animation, "IDC_ANIMATION",  8, false, false},
    {"PROGRESS",  ElementType::Progress,  ControlTable::Progress,  "IDC_PROGRESS",   8, false, true},
    {"LISTVIEW",  ElementType::ListView,  ControlTable::ListView,  "IDC_LISTVIEW",   8, false, false},
    {"GROUPBOX",  ElementType::GroupBox,  ControlTable::GroupBox,  "IDC_GROUPBOX",  10, false, false},
    {"ICON",      ElementType::Icon,      ControlTable::Icon,      "IDC_ICON",       0, true,  false},
    {"FRAME",     ElementType::Frame,     ControlTable::Frame,     "IDC_FRAME",      8, false, false},
    {"TREEVIEW",  ElementType::TreeView,  ControlTable::Tree,      "IDC_TREEVIEW",   8, false, true},
    {"CHECKBOX",  ElementType::CheckBox,  ControlTable::CheckBox,  "IDC_CHECKBOX",  10, false, true},
    {"RICHTEXT",  ElementType::RichText,  ControlTable::RichText,  "IDC_RICHTEXT",  10, false, true},
};
// clang-format on

const std::string kEmpty;

int ToInt(std::string_view text) {
    // atoi semantics on a bounded copy; values beyond int are clamped rather than overflowing.
    std::string copy(text);
    long long v = std::strtoll(copy.c_str(), nullptr, 10);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

std::string Read(const ProfileFile* file, const char* section, const std::string& key,
                 std::size_t buffer = kProfileValueBuffer) {
    return file ? file->get(section, key, {}, buffer) : std::string();
}

WindowSettings ReadWindowSettings(const ProfileFile* file) {
    const char* s = "MAINWINDOW";
    WindowSettings w;
    w.idcname = Read(file, s, "idcname");
    w.caption = Read(file, s, "caption");
    w.bkimage = RemoveBraces(Read(file, s, "bkimage"));
    w.border = Read(file, s, "border");
    w.startup = Read(file, s, "startup");
    w.bkcolor = Read(file, s, "bkcolor");
    w.width = Read(file, s, "width");
    w.height = Read(file, s, "height");
    w.soundfile = RemoveBraces(Read(file, s, "soundfile"));
    w.minwindow = Read(file, s, "minwindow");
    w.maxwindow = Read(file, s, "maxwindow");
    w.closewindow = Read(file, s, "closewindow");
    w.fontname = Read(file, s, "fontname");
    w.fontsize = Read(file, s, "fontsize");
    w.fontbold = Read(file, s, "fontbold");
    w.fontitalic = Read(file, s, "fontitalic");
    return w;
}

void ReadProperties(const ProfileFile* file, const std::string& folder, LayoutElement& element,
                    std::vector<std::string>& warnings) {
    std::string key = std::to_string(element.key);
    int count = LeadingNumber(Read(file, "DADOS", key + ",t"));
    if (count <= 0)
        return;
    std::size_t n = static_cast<std::size_t>(count);
    if (n > kMaxElementProperties) {
        warnings.push_back("element key " + key + " has " + std::to_string(n) +
                           " property entries; only the first " +
                           std::to_string(kMaxElementProperties) + " are read");
        n = kMaxElementProperties;
    }
    element.properties.reserve(n);
    for (std::size_t j = 0; j < n; ++j)
        element.properties.push_back(
            ParsePropertyEntry(Read(file, "DADOS", key + "," + std::to_string(j)), folder));
    element.clickCode = ClickActionCode(element.properties);
}

} // namespace

const ElementTypeInfo* FindElementType(std::string_view keyword) {
    for (const ElementTypeInfo& t : kTypes)
        if (keyword == t.keyword)
            return &t;
    return nullptr;
}

void ApplyMinimumSize(const ElementTypeInfo& type, int& width, int& height) {
    if (type.fixedIconSize) {
        width = height = 32;
        return;
    }
    if (type.minimumHeightLimit > 0 && width < 30 && height < type.minimumHeightLimit) {
        width = 90;
        height = 25;
    }
}

const std::string& LayoutElement::Value(std::size_t position) const {
    return position < properties.size() ? properties[position].value : kEmpty;
}

int WindowSettings::Width() const { return LeadingNumber(width); }
int WindowSettings::Height() const { return LeadingNumber(height); }

std::string RemoveBraces(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '{' && c != '}')
            out += c;
    return out;
}

int LeadingNumber(std::string_view text) { return ToInt(text); }

std::vector<std::string> SplitElementLine(std::string_view line) {
    std::vector<std::string> fields;
    std::string_view rest = line;
    std::size_t from = 0; // the first scan starts at the first character, later ones at the second
    while (fields.size() < kElementLineFields) {
        std::size_t comma = rest.size() > from ? rest.find(',', from) : std::string_view::npos;
        if (comma == std::string_view::npos) {
            fields.emplace_back(rest);
            break;
        }
        fields.emplace_back(rest.substr(0, comma));
        rest = rest.substr(comma + 1);
        from = 1;
    }
    return fields;
}

LayoutProperty ParsePropertyEntry(std::string_view entry, const std::string& folder) {
    LayoutProperty p;
    std::size_t bar = entry.find('|');
    p.name = std::string(entry.substr(0, bar));
    if (bar == std::string_view::npos)
        return p;
    std::string_view rest = entry.substr(bar + 1);
    std::size_t second = rest.find('|');
    std::string_view value = rest.substr(0, second);
    if (second != std::string_view::npos) {
        std::string kind;
        for (char c : rest.substr(second + 1))
            if (c != '|')
                kind += c;
        p.kind = ToInt(kind);
    }
    if (value.find('{') != std::string_view::npos)
        p.value = folder + RemoveBraces(value);
    else
        p.value = std::string(value);
    return p;
}

int ClickActionCode(const std::vector<LayoutProperty>& properties) {
    int code = -1;
    for (const LayoutProperty& p : properties) {
        if (p.name != "On Click" && p.name != "Mouse Click")
            continue;
        if (p.value.empty())
            return -1;
        std::size_t dash = p.value.find('-');
        code = dash == std::string::npos ? 0 : ToInt(std::string_view(p.value).substr(0, dash));
    }
    return code;
}

Layout ReadLayout(const ProfileFile* file, const std::string& folder) {
    Layout layout;
    layout.window = ReadWindowSettings(file);

    const TableCount count = ParseTableCount(Read(file, "INFO", "TOTAL", kLayoutCountBuffer), kMaxPageElements);
    const std::size_t n = static_cast<std::size_t>(count.rows);
    if (count.Cut())
        layout.warnings.push_back("the layout lists " + std::to_string(count.total) +
                                  " elements; only the first " + std::to_string(kMaxPageElements) +
                                  " are read");

    std::array<std::size_t, kControlTableCount> used{};
    int nextId = kFirstControlId;
    // Lines are created from the last to the first and each goes to the front of the list, so
    // identifiers run in reverse file order while the list ends in file order.
    std::vector<LayoutElement> reversed;
    reversed.reserve(n);
    for (std::size_t i = n; i-- > 0;) {
        std::vector<std::string> f = SplitElementLine(Read(file, "INFO", std::to_string(i)));
        f.resize(kElementLineFields);
        const ElementTypeInfo* type = FindElementType(f[5]);
        if (!type)
            continue;
        std::size_t& count = used[static_cast<std::size_t>(type->table)];
        if (count >= kMaxControlsPerTable) {
            layout.warnings.push_back("element line " + std::to_string(i) + " (" + type->keyword +
                                      ") is not created: the page already has " +
                                      std::to_string(kMaxControlsPerTable) + " of its kind");
            continue;
        }
        LayoutElement e;
        e.type = type;
        e.x = ToInt(f[1]);
        e.y = ToInt(f[2]);
        e.width = ToInt(f[3]);
        e.height = ToInt(f[4]);
        ApplyMinimumSize(*type, e.width, e.height);
        e.picture = folder + RemoveBraces(f[6]);
        e.key = ToInt(f[8]);
        e.controlId = nextId++;
        e.tableIndex = static_cast<int>(count++);
        e.defaultName = type->defaultNamePrefix + std::to_string(e.tableIndex + 1);
        ReadProperties(file, folder, e, layout.warnings);
        reversed.push_back(std::move(e));
    }
    layout.elements.assign(std::make_move_iterator(reversed.rbegin()),
                           std::make_move_iterator(reversed.rend()));
    return layout;
}

Layout LoadLayoutFile(const std::string& folder, const std::string& name) {
    std::shared_ptr<const ProfileFile> file = ProfileCache::process().get(folder + name);
    return ReadLayout(file.get(), folder);
}

} // namespace cv
