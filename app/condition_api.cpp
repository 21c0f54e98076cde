#include "app/condition_api.h"

#include "app/action_rules.h"
#include "app/main_frame.h"
#include "app/msg_dialog.h"

namespace cv {

void CConditionAPI::Execute(const std::string& action) {
    if (!wizard_)
        return;
    if (action == "CancelInstall();") {
        wizard_->AbortToCompletionPage();
        return;
    }
    if (action.find("ShowMessage") != std::string::npos) {
        // The page being left has closed itself; the message belongs to the wizard then.
        CMsg message(wizard_->MessageOwner());
        message.text = ShowMessageText(action);
        message.DoModal();
    }
}

} // namespace cv
