#pragma once
/// The step that keeps the customer page's names on the machine: "userinfo.ini" in the
/// Windows folder (section "USERINFO", "D1" the user name, "D2" the company name) and, when
/// the author names a key ("CT18" under the root "CT17" of "DIALOGLIST"), the string values
/// "<UserName>" and "<CompanyName>" in it.
///
/// The page only takes the names; the run writes them, like every other change, so that the
/// uninstall log and the prior state hold them: a wizard cancelled before the installation
/// leaves nothing, a rollback takes them back, and removal deletes the file (or, when it was
/// there before, only the two entries) and the values.

namespace cv {

class CCVEngine;

/// Runs the step when the customer page was passed (`EngineContext::customer_entered`).
void WriteCustomerInfo(CCVEngine& engine);

} // namespace cv
