#include "app/condition_api.h"

#include "app/action_rules.h"
#include "app/main_frame.h"
#include "app/msg_dialog.h"
#include "app/unattended.h"

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
        const std::string text = ShowMessageText(action);
        if (!unattendedRun().Message(text))
            return;
        CMsg message(wizard_->MessageOwner());
        message.text = text;
        message.DoModal();
    }
}

} // namespace cv
