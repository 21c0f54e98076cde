#pragma once
/// The portable rules of the previous-version step before the first page: which step the
/// settings ask for, the texts of the removal command, and how a registry value named in one
/// text (hive, key path and value name joined by "\\") is taken apart.

#include <optional>
#include <string>
#include <string_view>

namespace cv {

/// What to do about an earlier installation of the product (settings `APPINFO` `a26`,
/// `a27`, `a29`).
enum class PreviousVersionStep {
    None,             ///< nothing to do
    RemoveOld,        ///< "New Installation" with "a29" "Yes": remove a registered old version
    AutoDetectFolder, ///< "Upgrade" with "Auto-Detect": the old folder from its registration
    NamedValueFolder, ///< "Upgrade" otherwise: the old folder from the value "a28" names
};

PreviousVersionStep ChoosePreviousVersionStep(std::string_view a26, std::string_view a27,
                                              std::string_view a29);

/// The removal program and its argument text, before variables are expanded.
inline constexpr std::string_view kRemovalProgram = "<WindowsFolder>\\cvexec.exe";
inline constexpr std::string_view kRemovalArguments = " \"/S\" <ProductCode>";

/// The machine key under which a product is registered for removal.
std::string UninstallKeyPath(std::string_view product_code);

/// The message when an upgrade finds no registration (shown in a plain message box).
inline constexpr std::string_view kPreviousVersionNotFound =
    "Sorry, previous version not found. Installation aborted.";

/// The message when the product needs administrator rights and the user has none.
inline constexpr std::string_view kAdministratorRightsNeeded =
    "Sorry, you need administrator rights to install this software.";

/// A registry value spelled out as one text.
struct RegistryValuePath {
    std::string hive;  ///< before the first "\\"
    std::string key;   ///< between the first and the last "\\" (may be empty)
    std::string value; ///< after the last "\\"
};

/// Splits "HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme\\Folder" into hive, key and value name.
/// Nothing for a text without a "\\".
std::optional<RegistryValuePath> SplitRegistryValuePath(std::string_view text);

/// `folder` with a "\\" added when it does not end with one (an empty text stays empty).
std::string FolderWithBackslash(std::string folder);

} // namespace cv
