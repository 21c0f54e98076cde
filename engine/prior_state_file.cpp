#include "engine/prior_state_file.h"

#include "engine/uninstall_log_reader.h"

#include <charconv>

namespace cv {

namespace {

/// What a field of a record holds; each kind lists its fields once, in line order, and both
/// the writer and the reader go by that list.
enum class Field : std::uint8_t { Path, Backup, Section, Name, Data, Root, Type };

constexpr int kMaxFields = 5;

struct KindFields {
    PriorKind kind;
    const char* name;
    int count; ///< fields after the origin, at most kMaxFields
    Field fields[kMaxFields];
};
constexpr KindFields kKinds[] = {
    {PriorKind::FileReplaced, "FILEREPLACED", 2, {Field::Path, Field::Backup}},
    {PriorKind::IniFileExisted, "INIFILE", 1, {Field::Path}},
    {PriorKind::IniEntryReplaced, "INIREPLACED", 4, {Field::Path, Field::Section, Field::Name, Field::Data}},
    {PriorKind::IniEntryAdded, "INIADDED", 3, {Field::Path, Field::Section, Field::Name}},
    {PriorKind::RegistryKeyExisted, "REGKEY", 2, {Field::Root, Field::Path}},
    {PriorKind::RegistryValueReplaced, "REGVALUE", 5, {Field::Root, Field::Path, Field::Name, Field::Type, Field::Data}},
    {PriorKind::EnvironmentAppended, "ENVAPPEND", 4, {Field::Root, Field::Path, Field::Name, Field::Data}},
    {PriorKind::SelfRegistered, "SELFREG", 1, {Field::Path}},
    {PriorKind::RegistryKeyCreated, "REGKEYMADE", 2, {Field::Root, Field::Path}},
};

const KindFields* FindKind(std::string_view name) {
    for (const KindFields& k : kKinds)
        if (name == k.name)
            return &k;
    return nullptr;
}
const KindFields& KindOf(PriorKind kind) {
    for (const KindFields& k : kKinds)
        if (k.kind == kind)
            return k;
    return kKinds[0];
}

/// The member that holds a text field (`Record` is PriorRecord, const or not); null for the
/// root and the type, which are not kept as text.
template <typename Record> auto* TextMember(Record& r, Field field) {
    switch (field) {
    case Field::Path:
        return &r.path;
    case Field::Backup:
        return &r.backup;
    case Field::Section:
        return &r.section;
    case Field::Name:
        return &r.name;
    case Field::Data:
        return &r.data;
    case Field::Root:
    case Field::Type:
        break;
    }
    return static_cast<decltype(&r.path)>(nullptr);
}

/// The text of one field of `r`, before escaping.
std::string FieldText(const PriorRecord& r, Field field) {
    if (field == Field::Root)
        return std::string(RegRootName(r.root));
    if (field == Field::Type)
        return std::to_string(r.type);
    return *TextMember(r, field);
}

/// Puts an unescaped field into `r`; false when its text is not a valid value.
bool ReadField(PriorRecord& r, Field field, std::string text) {
    if (field == Field::Root)
        return ParseRegRoot(text, r.root);
    if (field == Field::Type) {
        auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), r.type);
        return ec == std::errc() && p == text.data() + text.size();
    }
    *TextMember(r, field) = std::move(text);
    return true;
}

void AppendEscaped(std::string& out, std::string_view field) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (char c : field) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 32 || c == '%') {
            out.push_back('%');
            out.push_back(kHex[b >> 4]);
            out.push_back(kHex[b & 15]);
        } else {
            out.push_back(c);
        }
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool Unescape(std::string_view field, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '%') {
            out.push_back(field[i]);
            continue;
        }
        if (i + 2 >= field.size())
            return false;
        const int hi = HexDigit(field[i + 1]);
        const int lo = HexDigit(field[i + 2]);
        if (hi < 0 || lo < 0)
            return false;
        out.push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
    }
    return true;
}

std::string RegistryPath(RegRoot root, const std::string& key, const std::string& name) {
    std::string path(RegRootName(root));
    path += "\\" + key;
    if (path.back() != '\\')
        path.push_back('\\');
    return path + name;
}

} // namespace

bool ParseRegRoot(std::string_view name, RegRoot& root) {
    static constexpr RegRoot kRoots[] = {RegRoot::ClassesRoot, RegRoot::CurrentUser, RegRoot::LocalMachine,
                                         RegRoot::Users, RegRoot::CurrentConfig};
    for (RegRoot r : kRoots) {
        if (WindowsPathKey(name) == RegRootName(r)) {
            root = r;
            return true;
        }
    }
    return false;
}

std::string FormatPriorRecord(const PriorRecord& r) {
    const KindFields& kind = KindOf(r.kind);
    std::string line = kind.name;
    line += '=';
    line += r.earlier ? 'E' : 'M';
    for (int i = 0; i < kind.count; ++i) {
        line.push_back('\t');
        AppendEscaped(line, FieldText(r, kind.fields[i]));
    }
    line += "\r\n";
    return line;
}

PriorStateContent ReadPriorState(std::string_view text) {
    PriorStateContent content;
    const WholeLines whole = SplitWholeLines(text);
    content.cut_short = whole.cut_short;
    for (const std::string_view line : whole.lines) {
        const std::size_t eq = line.find('=');
        const KindFields* kind = eq == std::string_view::npos ? nullptr : FindKind(line.substr(0, eq));
        if (!kind) {
            ++content.skipped_lines;
            continue;
        }
        // origin and the fields, split at TAB (escaped fields hold none).
        std::string_view rest = line.substr(eq + 1);
        std::vector<std::string> fields;
        bool bad = false;
        for (;;) {
            const std::size_t tab = rest.find('\t');
            std::string value;
            if (!Unescape(rest.substr(0, tab), value) || fields.size() > kMaxFields) {
                bad = true;
                break;
            }
            fields.push_back(std::move(value));
            if (tab == std::string_view::npos)
                break;
            rest.remove_prefix(tab + 1);
        }
        if (bad || static_cast<int>(fields.size()) != kind->count + 1 ||
            (fields[0] != "M" && fields[0] != "E")) {
            ++content.skipped_lines;
            continue;
        }
        PriorRecord r;
        r.kind = kind->kind;
        r.earlier = fields[0] == "E";
        bool ok = true;
        for (int i = 0; i < kind->count; ++i)
            ok = ReadField(r, kind->fields[i], std::move(fields[static_cast<std::size_t>(i) + 1])) && ok;
        if (!ok || r.path.empty()) {
            ++content.skipped_lines;
            continue;
        }
        content.records.push_back(std::move(r));
    }
    return content;
}

void PriorStateRecorder::StartFromEarlier(const UninstallLogContent& earlier_log,
                                          const std::vector<PriorRecord>& earlier_records) {
    earlier_ = earlier_log;
    for (const PriorRecord& r : earlier_records)
        if (!sink_.Append(FormatPriorRecord(r)))
            ++lost_;
}

bool PriorStateRecorder::MadeEarlier(const std::vector<std::string>& list, const std::string& subject) const {
    for (const std::string& item : list)
        if (SameWindowsPath(item, subject))
            return true;
    return false;
}

void PriorStateRecorder::Record(PriorRecord record) {
    if (!sink_.Append(FormatPriorRecord(record)))
        ++lost_;
    this_run_.push_back(std::move(record));
}

void PriorStateRecorder::FileReplaced(const std::string& path, const std::string& backup) {
    PriorRecord r;
    r.kind = PriorKind::FileReplaced;
    r.path = path;
    r.backup = backup;
    r.earlier = MadeEarlier(earlier_.files, path) || MadeEarlier(earlier_.shortcuts, path);
    Record(std::move(r));
}

void PriorStateRecorder::SelfRegistered(const std::string& file) {
    PriorRecord r;
    r.kind = PriorKind::SelfRegistered;
    r.path = file;
    Record(std::move(r));
}

void PriorStateRecorder::RegistryKeyCreated(RegRoot root, const std::string& key) {
    PriorRecord r;
    r.kind = PriorKind::RegistryKeyCreated;
    r.root = root;
    r.path = key;
    Record(std::move(r));
}

void PriorStateRecorder::IniFileExisted(const std::string& file) {
    PriorRecord r;
    r.kind = PriorKind::IniFileExisted;
    r.path = file;
    r.earlier = MadeEarlier(earlier_.files, file);
    Record(std::move(r));
}

void PriorStateRecorder::IniEntryReplaced(const std::string& file, const std::string& section,
                                          const std::string& key, const std::string& before) {
    PriorRecord r;
    r.kind = PriorKind::IniEntryReplaced;
    r.path = file;
    r.section = section;
    r.name = key;
    r.data = before;
    Record(std::move(r));
}

void PriorStateRecorder::IniEntryAdded(const std::string& file, const std::string& section,
                                       const std::string& key) {
    PriorRecord r;
    r.kind = PriorKind::IniEntryAdded;
    r.path = file;
    r.section = section;
    r.name = key;
    Record(std::move(r));
}

void PriorStateRecorder::RegistryKeyExisted(RegRoot root, const std::string& key) {
    PriorRecord r;
    r.kind = PriorKind::RegistryKeyExisted;
    r.root = root;
    r.path = key;
    const std::string full = std::string(RegRootName(root)) + "\\" + key;
    r.earlier = MadeEarlier(earlier_.registry_keys, full) || MadeEarlier(earlier_.class_keys, full);
    Record(std::move(r));
}

void PriorStateRecorder::RegistryValueReplaced(RegRoot root, const std::string& key, const std::string& name,
                                               std::uint32_t type, const std::string& data) {
    PriorRecord r;
    r.kind = PriorKind::RegistryValueReplaced;
    r.root = root;
    r.path = key;
    r.name = name;
    r.type = type;
    r.data = data;
    const std::string full = RegistryPath(root, key, name);
    for (const std::string& v : earlier_.registry_values)
        if (WindowsPathKey(v) == WindowsPathKey(full) && !full.empty())
            r.earlier = true;
    Record(std::move(r));
}

void PriorStateRecorder::EnvironmentAppended(RegRoot root, const std::string& key, const std::string& name,
                                             const std::string& entry) {
    PriorRecord r;
    r.kind = PriorKind::EnvironmentAppended;
    r.root = root;
    r.path = key;
    r.name = name;
    r.data = entry;
    Record(std::move(r));
}

} // namespace cv
