#pragma once
/// The uninstaller's texts: English defaults, replaced by the product's language file (the
/// copy of language.lan in the log folder) from its section "Uninstall", key by key. In a
/// text, "%s" stands for the product's display name; a text from the file that holds any other
/// "%" directive is not used (it would be formatted with the wrong arguments). The texts may
/// also hold the variables that uninstall_page.h's ExpandText replaces ("[ProductName]").

#include "common/profile.h"

#include <string>

namespace cv::uninstall {

struct UninstallTexts {
    std::string title = "Uninstall";
    std::string confirm = "Remove %s and all of its components?";
    std::string removing = "Removing %s...";
    std::string done = "%s was removed from your computer.";
    std::string failed = "%s was removed, but some items could not be removed:";
    std::string restart_note = "The uninstaller itself will be deleted when Windows starts again.";
    std::string not_installed = "This product is not installed on this computer (no uninstall information for %s).";
    std::string bad_command = "Usage: cvexec.exe /R <code> | /S <code> | /M <code>";
    std::string modify_question = "Repair or remove %s?";
    std::string repair = "&Repair";
    std::string remove = "Re&move";
    std::string cancel = "Cancel";
    std::string no_setup = "The setup of %s can no longer be found in %s.";
};

/// The texts, with those the file gives in its "Uninstall" section.
UninstallTexts LoadTexts(const ProfileFile* language);


} // namespace cv::uninstall
