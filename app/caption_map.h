#pragma once
/// The language tables: which language file entry holds the caption of which control of the
/// standard pages, the names of the user-interface languages that are detected, and the
/// forms of the texts and keys the language step reads and writes.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace cv {

/// Where a control's translated caption lives in a language file.
struct CaptionKey {
    std::string_view section;
    std::string_view key;
};

/// The section and key of control `control_name` (exact comparison) on page `page_file`
/// (compared without regard to case, as Windows compares file names); nothing for a page
/// or control without an entry.
std::optional<CaptionKey> FindCaptionKey(std::string_view page_file, std::string_view control_name);

/// The page files the language step rewrites, in the order it rewrites them.
inline constexpr std::array<std::string_view, 14> kTranslatedPageFiles = {
    "welcome.lcd",  "license.lcd",     "readme.lcd",     "customer.lcd",  "destination.lcd",
    "setuptype.lcd", "customsetup.lcd", "ready.lcd",      "progress.lcd",  "complete.lcd",
    "setuperror.lcd", "cancelsetup.lcd", "uninstall.lcd", "start.lcd"};

/// The language name of a user-interface language identifier ("German" for 1031), or an
/// empty text for an identifier without a name.
std::string_view LanguageNameOf(int language_id);

/// A language file value as shown: every "[" becomes "<" and every "]" ">", and everything
/// up to and including the first "}" is dropped.
std::string LanguageValueText(std::string_view value);

/// The property entry that carries a caption: "Caption|" + text + "|0".
std::string CaptionProperty(std::string_view text);

/// The DADOS key of property `property` of the control with index `index` on a page:
/// "3009,1" for index 9, "3010,1" for index 10.
std::string ControlPropertyKey(int index, int property);

/// The name part of a property entry "name|value|kind" (between the first and the second
/// "|"), or an empty text when the entry has no "|".
std::string PropertyName(std::string_view entry);

/// The language file of language `name`: "<setup folder>languages\<name>.lan" when the
/// setup folder has a "languages" folder, else "<setup folder><name>.lan". The setup folder
/// ends with a backslash.
std::string LanguageFilePath(std::string_view setup_folder, std::string_view name,
                             bool languages_folder_exists);

} // namespace cv
