#include "common/profile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace cv {

bool IsProfileBlank(unsigned char c) {
    // ^Z (the old DOS end-of-file mark) counts as a blank, as it does for the Windows reader.
    return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1a;
}

namespace {

/// memcpy that accepts the null pointer of an empty view.
void CopyBytes(char* to, const char* from, std::size_t n) {
    if (n > 0)
        std::memcpy(to, from, n);
}

unsigned char FoldCase(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

bool EqualFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    }
    return true;
}

/// A caller's name with the blanks at both ends removed.
std::string_view TrimBlanks(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsProfileBlank(s[b]))
        ++b;
    while (e > b && IsProfileBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

/// The text up to its first zero byte: names and values are C strings to the Windows reader.
std::string_view UpToZero(std::string_view s) {
    std::size_t z = s.find('\0');
    return z == std::string_view::npos ? s : s.substr(0, z);
}

/// A default value without its trailing spaces (tabs and other blanks stay); a default made
/// only of spaces keeps one.
std::string_view TrimDefault(std::string_view def) {
    std::size_t e = def.size();
    while (e > 1 && def[e - 1] == ' ')
        --e;
    return def.substr(0, e);
}

/// Copies `value` into a buffer of `size` bytes (size >= 1) as the Windows reader does: a
/// value enclosed in matching quotation marks loses them. Returns the characters written.
///
/// The Windows reader copies the text after the opening quote cut to the buffer and then drops
/// the last character copied whenever the buffer is at least as long as that text; when the
/// buffer is exactly that long the closing quote was already cut off, so the last character of
/// the value itself goes ("\"abcd\"" read into 5 bytes gives "abc"). Kept for equal results.
std::size_t CopyValue(std::string_view value, char* buffer, std::size_t size) {
    bool quoted = false;
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') &&
        value.back() == value[0]) {
        quoted = true;
        value.remove_prefix(1);
    }
    std::size_t n = std::min(value.size(), size - 1);
    CopyBytes(buffer, value.data(), n);
    if (quoted && size >= value.size() && n > 0)
        --n;
    buffer[n] = '\0';
    return n;
}

// FNV-1a over the folded bytes, 64-bit on every target.
constexpr std::uint64_t kHashSeed = 14695981039346656037ull;

std::size_t HashFolded(std::string_view s, std::uint64_t h) {
    for (unsigned char c : s)
        h = (h ^ FoldCase(c)) * 1099511628211ull;
    return static_cast<std::size_t>(h ^ (h >> 32));
}

} // namespace

std::size_t ProfileFile::FoldedHash::operator()(std::string_view s) const {
    return HashFolded(s, kHashSeed);
}

bool ProfileFile::FoldedEqual::operator()(std::string_view a, std::string_view b) const {
    return EqualFolded(a, b);
}

std::size_t ProfileFile::EntryKeyHash::operator()(const EntryKey& k) const {
    return HashFolded(k.name, kHashSeed ^ (std::uint64_t{k.section} * 0x9e3779b97f4a7c15ull));
}

bool ProfileFile::EntryKeyEqual::operator()(const EntryKey& a, const EntryKey& b) const {
    return a.section == b.section && EqualFolded(a.name, b.name);
}

void ProfileFile::add_section(Span name) {
    auto id = static_cast<SectionId>(sections_.size());
    sections_.push_back(Section{name, {}});
    section_index_.emplace(view(name), id); // an earlier section of the same name stays
}

void ProfileFile::add_entry(Span name, std::optional<Span> value) {
    auto index = static_cast<std::uint32_t>(entries_.size());
    Entry e;
    e.name = name;
    if (value) {
        e.value = *value;
        e.has_value = true;
    }
    entries_.push_back(e);
    auto section = static_cast<SectionId>(sections_.size() - 1);
    sections_.back().entries.push_back(index);
    entry_index_.emplace(EntryKey{section, view(name)}, index); // the first entry stays
}

ProfileFile ProfileFile::parse(std::string_view bytes) {
    ProfileFile file;
    // Offsets are 32-bit; nothing near that size is a settings file.
    bytes = bytes.substr(0, kMaxProfileFileSize);
    file.text_.assign(bytes.begin(), bytes.end());
    const char* base = file.text_.data();
    std::size_t end = file.text_.size();
    auto span = [&](std::size_t from, std::size_t to) {
        std::string_view s = UpToZero(std::string_view(base + from, to - from));
        return Span{static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(s.size())};
    };

    std::size_t pos = 0;
    if (end >= 3 && std::memcmp(base, "\xEF\xBB\xBF", 3) == 0)
        pos = 3;
    file.add_section(Span{});
    while (pos < end) {
        std::size_t start = pos;
        while (pos < end && base[pos] != '\n' && base[pos] != '\r')
            ++pos;
        while (pos < end && (base[pos] == '\n' || base[pos] == '\r'))
            ++pos;
        std::size_t stop = pos;
        while (start < stop && IsProfileBlank(base[start]))
            ++start;
        while (stop > start && IsProfileBlank(base[stop - 1]))
            --stop;
        if (start == stop)
            continue;

        if (base[start] == '[') {
            std::size_t close = stop;
            while (close > start + 1 && base[close - 1] != ']')
                --close;
            if (close > start + 1) { // base[close - 1] is the last ']'
                std::size_t name_start = start + 1, name_end = close - 1;
                while (name_start < name_end && IsProfileBlank(base[name_start]))
                    ++name_start;
                while (name_end > name_start && IsProfileBlank(base[name_end - 1]))
                    --name_end;
                file.add_section(span(name_start, name_end));
                continue;
            }
            // No "]": an ordinary entry line.
        }

        const void* eq = std::memchr(base + start, '=', stop - start);
        if (!eq) {
            file.add_entry(span(start, stop), std::nullopt);
            continue;
        }
        std::size_t eq_pos = static_cast<const char*>(eq) - base;
        std::size_t name_end = eq_pos;
        // The line starts with a non-blank, so only a line starting with "=" has an empty name.
        while (name_end > start + 1 && IsProfileBlank(base[name_end - 1]))
            --name_end;
        std::size_t value_start = eq_pos + 1;
        while (value_start < stop && IsProfileBlank(base[value_start]))
            ++value_start;
        file.add_entry(span(start, name_end), span(value_start, stop));
    }
    return file;
}

std::optional<ProfileFile> ProfileFile::load(const std::string& path, std::string* error) {
    auto fail = [&](const std::string& why) -> std::optional<ProfileFile> {
        if (error)
            *error = "profile file " + path + ": " + why;
        return std::nullopt;
    };
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return fail("cannot be opened");
    std::string bytes;
    char chunk[65536];
    bool too_large = false;
    for (;;) {
        std::size_t n = std::fread(chunk, 1, sizeof chunk, f);
        if (n == 0)
            break;
        if (bytes.size() + n > kMaxProfileFileSize) {
            too_large = true;
            break;
        }
        bytes.append(chunk, n);
    }
    bool read_error = std::ferror(f) != 0;
    std::fclose(f);
    if (too_large)
        return fail("is larger than " + std::to_string(kMaxProfileFileSize) + " bytes");
    if (read_error)
        return fail("cannot be read");
    return parse(bytes);
}

std::optional<ProfileFile::SectionId> ProfileFile::find_section(std::string_view name) const {
    auto it = section_index_.find(TrimBlanks(UpToZero(name)));
    if (it == section_index_.end())
        return std::nullopt;
    return it->second;
}

const ProfileFile::Entry* ProfileFile::find_entry(SectionId section, std::string_view name) const {
    auto it = entry_index_.find(EntryKey{section, name});
    return it == entry_index_.end() ? nullptr : &entries_[it->second];
}

std::string ProfileFile::get_in(SectionId section, std::string_view key, std::string_view def,
                                std::size_t buffer_size) const {
    if (buffer_size == 0)
        return {};
    const Entry* e = find_entry(section, TrimBlanks(UpToZero(key)));
    std::string_view value = (e && e->has_value) ? view(e->value) : TrimDefault(UpToZero(def));
    std::string out(std::min(value.size(), buffer_size - 1) + 1, '\0');
    out.resize(CopyValue(value, out.data(), out.size()));
    return out;
}

std::string ProfileFile::get(std::string_view section, std::string_view key, std::string_view def,
                             std::size_t buffer_size) const {
    if (buffer_size == 0)
        return {};
    if (auto id = find_section(section))
        return get_in(*id, key, def, buffer_size);
    std::string_view value = TrimDefault(UpToZero(def));
    std::string out(std::min(value.size(), buffer_size - 1) + 1, '\0');
    out.resize(CopyValue(value, out.data(), out.size()));
    return out;
}

std::size_t ProfileFile::read(const char* section, const char* key, const char* def,
                              char* buffer, std::size_t size) const {
    if (!buffer || size == 0)
        return 0;
    if (!section)
        return list_sections(buffer, size);
    if (key) {
        std::string value = get(section, key, def ? def : "", size);
        std::memcpy(buffer, value.c_str(), value.size() + 1);
        return value.size();
    }
    std::size_t n = list_keys(section, buffer, size);
    // The key list falls back to the default as given, trailing spaces included.
    if (buffer[0] == '\0')
        n = CopyValue(def ? def : "", buffer, size);
    return n;
}

// The list forms follow the Windows reader's buffer arithmetic closely, including how a list
// that does not fit is cut, so that callers see the same bytes.
std::size_t ProfileFile::list_keys(const char* section, char* buffer, std::size_t size) const {
    // The section name of the list form is matched as given, without trimming.
    std::string_view wanted = section;
    const Section* found = nullptr;
    for (const Section& s : sections_) {
        if (EqualFolded(view(s.name), wanted)) {
            found = &s;
            break;
        }
    }
    // A buffer of one byte holds no name and the list's end: it gets an empty text. (The
    // cut below would write before such a buffer and return size - 2.)
    if (!found || size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::size_t left = size;
    char* out = buffer;
    bool previous_empty = false;
    for (std::uint32_t index : found->entries) {
        if (left <= 2)
            break;
        const Entry& e = entries_[index];
        std::string_view name = view(e.name);
        // Seen under Wine: of a run of entries with empty names (lines "=value", or zero-byte
        // lines), only the first is listed; any entry with a name ends the run.
        bool follows_empty = previous_empty;
        previous_empty = name.empty();
        if (name.empty() && follows_empty)
            continue;
        if (!name.empty() && name[0] == ';')
            continue; // comment
        if (!e.has_value)
            continue; // no "=" (this includes empty names without value)
        std::size_t n = std::min(name.size(), left - 2);
        CopyBytes(out, name.data(), n);
        out[n] = '\0';
        out += n + 1;
        left -= n + 1;
        if (left < 2)
            break;
    }
    *out = '\0';
    if (left <= 1) {
        out[-1] = '\0';
        return size - 2;
    }
    return size - left;
}

std::size_t ProfileFile::list_sections(char* buffer, std::size_t size) const {
    if (size == 1) {
        buffer[0] = '\0';
        return 0;
    }
    std::size_t left = size - 1;
    char* out = buffer;
    for (const Section& s : sections_) {
        std::string_view name = view(s.name);
        if (name.empty())
            continue;
        std::size_t need = name.size() + 1;
        if (need >= left) {
            if (left > 0) {
                CopyBytes(out, name.data(), left - 1);
                out += left - 1;
                *out++ = '\0';
            }
            *out = '\0';
            return size - 2;
        }
        CopyBytes(out, name.data(), name.size());
        out[name.size()] = '\0';
        out += need;
        left -= need;
    }
    *out = '\0';
    return static_cast<std::size_t>(out - buffer);
}

} // namespace cv
