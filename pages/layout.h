#pragma once
/// The layout file of a wizard page (".lcd", INI form) and its reader.
///
/// Section "MAINWINDOW" holds the window settings, "INFO" the element lines ("TOTAL" and keys
/// "0" to "TOTAL-1"), "DADOS" the property entries of each element ("<key>,t" the count,
/// "<key>,<j>" the entries "name|value|kind"). Every value is read into a 255-character
/// buffer (TOTAL into a 100-byte one), so longer values are cut.
///
/// The page's tables are bounded: at most 70 elements (lines past the 70th are not read),
/// 15 property entries an element (later entries are not read) and 15 controls in each control
/// table (an element whose table is full is not created). What was cut is listed in
/// `Layout::warnings`.

#include "common/profile.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cv {

inline constexpr std::size_t kMaxPageElements = 70;
inline constexpr std::size_t kMaxElementProperties = 15;
inline constexpr std::size_t kMaxControlsPerTable = 15;
inline constexpr std::size_t kElementLineFields = 9;
inline constexpr int kFirstControlId = 3000;
/// Buffer of the element count "TOTAL" (the other values use kProfileValueBuffer).
inline constexpr std::size_t kLayoutCountBuffer = 100;

/// The page's control tables. BITMAP and HOVER share one (`Picture`).
enum class ControlTable {
    Rect, Button, Picture, Text, Edit, Combo, Radio, HotSpot, Animation, Progress, ListView,
    GroupBox, Icon, Frame, Tree, CheckBox, RichText,
};
inline constexpr std::size_t kControlTableCount = 17;

enum class ElementType {
    Button, Bitmap, Hover, Text, Rect, TextBox, ComboBox, Radio, HotSpot, Animation, Progress,
    ListView, GroupBox, Icon, Frame, TreeView, CheckBox, RichText,
};

/// How an element type is built: its keyword in the layout file, its control table, the
/// prefix of its default control name (the table's count from 1 follows), its minimum-size
/// rule and whether property 0 names the control.
struct ElementTypeInfo {
    const char* keyword;
    ElementType type;
    ControlTable table;
    const char* defaultNamePrefix;
    /// A width under 30 with a height under this limit becomes 90 by 25; 0 means no rule.
    int minimumHeightLimit;
    /// The element is always 32 by 32 (ICON).
    bool fixedIconSize;
    bool nameInProperty0;
};

/// The type of a keyword ("BUTTON", "TEXT", ...; exact comparison), or null for an unknown one.
const ElementTypeInfo* FindElementType(std::string_view keyword);

/// The size after the type's minimum-size rule (BITMAP and HOVER take their picture's size
/// elsewhere and have no rule here).
void ApplyMinimumSize(const ElementTypeInfo& type, int& width, int& height);

struct LayoutProperty {
    std::string name;
    std::string value;
    int kind = 0; ///< kept for the authoring tool; the page does not use it
};

struct LayoutElement {
    const ElementTypeInfo* type = nullptr;
    int x = 0, y = 0, width = 0, height = 0;
    /// Field 6 with every "{" and "}" removed and the layout file's folder in front.
    std::string picture;
    int key = 0; ///< field 8, names the property entries
    std::vector<LayoutProperty> properties; ///< at most kMaxElementProperties
    /// The "On Click"/"Mouse Click" code (see ClickActionCode).
    int clickCode = -1;
    int controlId = 0;  ///< from kFirstControlId, handed out in reverse file order
    int tableIndex = 0; ///< index in the element's control table
    std::string defaultName; ///< e.g. "IDC_BUTTON1"

    /// The value of property `position`, or empty when the element has fewer entries.
    const std::string& Value(std::size_t position) const;
    bool Has(std::size_t position) const { return position < properties.size(); }
};

/// The sixteen values of section "MAINWINDOW", as read.
struct WindowSettings {
    std::string idcname, caption, bkimage, border, startup, bkcolor, width, height, soundfile;
    std::string minwindow, maxwindow, closewindow, fontname, fontsize, fontbold, fontitalic;
    int Width() const;
    int Height() const;
};

struct Layout {
    WindowSettings window;
    /// The created elements in file order (lines with an unknown type, or whose control table
    /// was full, are left out).
    std::vector<LayoutElement> elements;
    /// What the reader cut or left out, one readable line each.
    std::vector<std::string> warnings;
};

/// Reads a layout from a parsed file; `folder` (with its trailing backslash) is put in front of
/// picture fields and braced property values. A null file reads as empty.
Layout ReadLayout(const ProfileFile* file, const std::string& folder);

/// Reads folder + name through the process profile cache; a missing file gives an empty layout.
Layout LoadLayoutFile(const std::string& folder, const std::string& name);

/// Splits an element line into at most nine fields. The scan for a comma starts at the first
/// character of the line and, after each split, at the second character of the remainder, so a
/// comma right after a separating comma belongs to the next field (",b" in "a,,b").
/// Text after a ninth field's closing comma is dropped.
std::vector<std::string> SplitElementLine(std::string_view line);

/// Splits "name|value|kind": the value holds no "|", the kind has every "|" removed. A value
/// with a "{" loses every "{" and "}" and gets `folder` in front.
LayoutProperty ParsePropertyEntry(std::string_view entry, const std::string& folder);

/// The text without any "{" or "}".
std::string RemoveBraces(std::string_view text);

/// The click action code: entries named "On Click" or "Mouse Click" are looked at from entry 0;
/// one with an empty value gives -1 at once, otherwise the last one counts with the number
/// before its first "-" (0 when there is no "-"). -1 without such an entry.
int ClickActionCode(const std::vector<LayoutProperty>& properties);

/// The number that a text begins with (blanks first allowed, as atoi reads it); 0 when none.
int LeadingNumber(std::string_view text);

} // namespace cv
