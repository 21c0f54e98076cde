#pragma once
/// In-memory reader of INI ("profile") files with the semantics of the Windows private-profile
/// reader (`GetPrivateProfileStringA`), as Wine implements it:
///
/// - lines end at any run of CR and LF; blanks (space, tab, VT, FF, CR, LF, ^Z) are trimmed
///   from both ends of every line;
/// - a line starting with "[" and holding a "]" opens a section named by the text between the
///   "[" and the last "]", blanks trimmed; anything after that "]" is ignored;
/// - any other non-empty line is an entry: the name is the text before the first "=" with the
///   blanks before the "=" removed, the value the text after it with leading blanks removed;
///   a line without "=" is an entry without value (it reads as the default);
/// - entries before the first section belong to a section named "";
/// - section and entry names are compared without regard to ASCII case, after the blanks around
///   the caller's names are trimmed; the first section of a name and, within it, the first entry
///   of a name win (later duplicates are never seen);
/// - a value that starts and ends with the same quotation mark (" or ') is returned without
///   them; values are cut to the caller's buffer (N bytes give at most N-1 characters);
/// - a zero byte ends a name or value, so the zero bytes that a cipher's padding leaves at the
///   end of a decrypted file are ignored.
///
/// Only the space, tab, VT, FF, CR, LF and ^Z bytes are blanks (not 0x1C-0x1F, not 0xA0).
/// Where these rules came from Wine rather than documentation they were checked against Wine's
/// `GetPrivateProfileStringA` by the differential test.
///
/// Names are compared as 8-bit text: only A-Z/a-z are folded (Wine folds the whole code page).
/// A UTF-8 byte-order mark is skipped; UTF-16 files are not supported.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace cv {

/// Size of the buffers the runtime reads settings into (255 characters and the terminator).
inline constexpr std::size_t kProfileValueBuffer = 256;

/// Largest file the reader accepts; settings files are far smaller.
inline constexpr std::size_t kMaxProfileFileSize = 64u * 1024 * 1024;

class ProfileFile {
  public:
    /// Index of a section in file order.
    using SectionId = std::uint32_t;

    ProfileFile() = default;
    // The lookup maps point into the text, so a copy would point into the original's text.
    ProfileFile(const ProfileFile&) = delete;
    ProfileFile& operator=(const ProfileFile&) = delete;
    ProfileFile(ProfileFile&&) = default;
    ProfileFile& operator=(ProfileFile&&) = default;

    /// Parses the text of a file (never fails; every byte sequence is some INI file). Bytes
    /// beyond kMaxProfileFileSize are ignored.
    static ProfileFile parse(std::string_view bytes);

    /// Reads and parses the file at `path`. Returns nothing and sets `error` (when given) to a
    /// message naming the file when it cannot be opened, read, or exceeds kMaxProfileFileSize.
    static std::optional<ProfileFile> load(const std::string& path, std::string* error = nullptr);

    /// The drop-in for `GetPrivateProfileStringA` on this file. Writes at most `size` bytes to
    /// `buffer` and returns the number of characters written before the terminating zero.
    /// - `section` and `key` given: the entry's value, or `def` (nullptr reads as "");
    /// - `key` null: the names of the section's entries that have a value, each ended by a zero
    ///   byte, the list ended by another (comment entries starting with ";" are left out, and
    ///   of a run of entries with empty names only the first is listed); `def`, trailing
    ///   spaces kept, when the list is empty or starts with an empty name;
    /// - `section` null: the names of all named sections, in the same list form.
    /// A list that does not fit is cut and still ends with two zero bytes; the result is then
    /// `size - 2`. Elsewhere trailing spaces of `def` are dropped (a default of spaces keeps
    /// one) and `def` loses enclosing quotation marks like a value.
    std::size_t read(const char* section, const char* key, const char* def, char* buffer,
                     std::size_t size) const;

    /// The value of `key` in `section` as read into a buffer of `buffer_size` bytes, or `def`
    /// (treated as `read` treats it) when the entry is missing or has no value.
    std::string get(std::string_view section, std::string_view key, std::string_view def = {},
                    std::size_t buffer_size = kProfileValueBuffer) const;

    /// The first section whose name matches `name` (blanks around `name` ignored).
    std::optional<SectionId> find_section(std::string_view name) const;

    /// `get` within a section found before (saves the section lookup in table reads).
    std::string get_in(SectionId section, std::string_view key, std::string_view def = {},
                       std::size_t buffer_size = kProfileValueBuffer) const;

    /// Number of sections, including the unnamed one that holds entries before the first header.
    std::size_t section_count() const { return sections_.size(); }

  private:
    struct Span {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };
    struct Entry {
        Span name;
        Span value;
        bool has_value = false;
    };
    struct Section {
        Span name;
        std::vector<std::uint32_t> entries; // indices into entries_, in file order
    };
    struct FoldedHash {
        std::size_t operator()(std::string_view s) const;
    };
    struct FoldedEqual {
        bool operator()(std::string_view a, std::string_view b) const;
    };
    struct EntryKey {
        SectionId section;
        std::string_view name;
    };
    struct EntryKeyHash {
        std::size_t operator()(const EntryKey& k) const;
    };
    struct EntryKeyEqual {
        bool operator()(const EntryKey& a, const EntryKey& b) const;
    };

    std::string_view view(Span s) const { return {text_.data() + s.offset, s.length}; }
    /// Entry whose name matches the already trimmed `name`, or null.
    const Entry* find_entry(SectionId section, std::string_view name) const;
    std::size_t list_keys(const char* section, char* buffer, std::size_t size) const;
    std::size_t list_sections(char* buffer, std::size_t size) const;
    void add_section(Span name);
    void add_entry(Span name, std::optional<Span> value);

    // The file's bytes. A vector, not a string: moving it keeps the heap block that the views
    // in the lookup maps point into.
    std::vector<char> text_;
    std::vector<Section> sections_;
    std::vector<Entry> entries_;
    std::unordered_map<std::string_view, SectionId, FoldedHash, FoldedEqual> section_index_;
    std::unordered_map<EntryKey, std::uint32_t, EntryKeyHash, EntryKeyEqual> entry_index_;
};

/// True for the bytes the reader treats as blanks around lines, names and values.
bool IsProfileBlank(unsigned char c);

} // namespace cv
