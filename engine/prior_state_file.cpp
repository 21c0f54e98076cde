#include "engine/prior_state_file.h"

#include "engine/uninstall_log_reader.h"

#include <charconv>

namespace cv {

namespace {

struct KindName {
    PriorKind kind;
    const char* name;
    int fields; ///< after the origin
};
constexpr KindName kKinds[] = {
    {PriorKind::FileReplaced, "FILEREPLACED", 2},   {PriorKind::IniFileExisted, "INIFILE", 1},
    {PriorKind::IniEntryReplaced, "INIREPLACED", 4}, {PriorKind::IniEntryAdded, "INIADDED", 3},
    {PriorKind::RegistryKeyExisted, "REGKEY", 2},    {PriorKind::RegistryValueReplaced, "REGVALUE", 5},
    {PriorKind::EnvironmentAppended, "ENVAPPEND", 4},
    {PriorKind::SelfRegistered, "SELFREG", 1},
    {PriorKind::RegistryKeyCreated, "REGKEYMADE", 2},
};
constexpr int kMaxFields = 5;

const KindName* FindKind(std::string_view name) {
    for (const KindName& k : kKinds)
        if (name == k.name)
            return &k;
    return nullptr;
}
const KindName& KindOf(PriorKind kind) {
    for (const KindName& k : kKinds)
        if (k.kind == kind)
            return k;
    return kKinds[0];
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
    std::string line = KindOf(r.kind).name;
    line += '=';
    line += r.earlier ? 'E' : 'M';
    auto field = [&line](std::string_view f) {
        line.push_back('\t');
        AppendEscaped(line, f);
    };
    switch (r.kind) {
    case PriorKind::FileReplaced:
        field(r.path);
        field(r.backup);
        break;
    case PriorKind::IniFileExisted:
    case PriorKind::SelfRegistered:
        field(r.path);
        break;
    case PriorKind::IniEntryReplaced:
        field(r.path);
        field(r.section);
        field(r.name);
        field(r.data);
        break;
    case PriorKind::IniEntryAdded:
        field(r.path);
        field(r.section);
        field(r.name);
        break;
    case PriorKind::RegistryKeyExisted:
    case PriorKind::RegistryKeyCreated:
        field(RegRootName(r.root));
        field(r.path);
        break;
    case PriorKind::RegistryValueReplaced:
        field(RegRootName(r.root));
        field(r.path);
        field(r.name);
        field(std::to_string(r.type));
        field(r.data);
        break;
    case PriorKind::EnvironmentAppended:
        field(RegRootName(r.root));
        field(r.path);
        field(r.name);
        field(r.data);
        break;
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
        const KindName* kind = eq == std::string_view::npos ? nullptr : FindKind(line.substr(0, eq));
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
        if (bad || static_cast<int>(fields.size()) != kind->fields + 1 ||
            (fields[0] != "M" && fields[0] != "E")) {
            ++content.skipped_lines;
            continue;
        }
        PriorRecord r;
        r.kind = kind->kind;
        r.earlier = fields[0] == "E";
        bool ok = true;
        switch (r.kind) {
        case PriorKind::FileReplaced:
            r.path = fields[1];
            r.backup = fields[2];
            break;
        case PriorKind::IniFileExisted:
        case PriorKind::SelfRegistered:
            r.path = fields[1];
            break;
        case PriorKind::IniEntryReplaced:
            r.path = fields[1];
            r.section = fields[2];
            r.name = fields[3];
            r.data = fields[4];
            break;
        case PriorKind::IniEntryAdded:
            r.path = fields[1];
            r.section = fields[2];
            r.name = fields[3];
            break;
        case PriorKind::RegistryKeyExisted:
        case PriorKind::RegistryKeyCreated:
            ok = ParseRegRoot(fields[1], r.root);
            r.path = fields[2];
            break;
        case PriorKind::RegistryValueReplaced: {
            ok = ParseRegRoot(fields[1], r.root);
            r.path = fields[2];
            r.name = fields[3];
            const std::string& t = fields[4];
            auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), r.type);
            ok = ok && ec == std::errc() && p == t.data() + t.size();
            r.data = fields[5];
            break;
        }
        case PriorKind::EnvironmentAppended:
            ok = ParseRegRoot(fields[1], r.root);
            r.path = fields[2];
            r.name = fields[3];
            r.data = fields[4];
            break;
        }
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
