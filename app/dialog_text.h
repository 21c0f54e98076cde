#pragma once
/// Texts of the small dialogs taken from the current language file.

#include <string>
#include <string_view>

namespace cv {

class IWizardHost;

/// The application's main frame when it is the wizard, else null (tests without one).
IWizardHost* TheWizard();

/// The value of `section`/`key` in the current language file (255 characters, empty
/// default), shown as the language step shows captions (brackets as angle brackets, the
/// prefix up to "}" dropped), with the page variables of `wizard` expanded when there is one.
std::string DialogLanguageText(std::string_view section, std::string_view key, const IWizardHost* wizard);

} // namespace cv
