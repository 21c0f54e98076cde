// Conditions of the wizard: reading the CONDITIONS section, evaluating a condition, the check
// by name that file actions use, and the actions bound to a page as it is entered.

#include "app/main_frame.h"
#include "app/trace.h"

namespace cv {

namespace {

/// The start page stands for position -1, before the first page of the list.
constexpr const char* kStartPage = "start.lcd";

} // namespace

void CMainFrame::ReadConditions() {
    SectionLookup lookup = [this](const std::string& key, std::size_t buffer) {
        return Setting("CONDITIONS", key.c_str(), buffer);
    };
    TableCount read = ReadConditionRows(lookup, conditions, conditionCount);
    if (read.Cut())
        SendTrace("CONDITIONS TOTAL " + std::to_string(read.total) + " cut to " + std::to_string(read.rows));
}

int CMainFrame::EvaluateCondition(int index) {
    if (index < 0 || index >= conditionCount || index >= static_cast<int>(conditions.size()))
        return -1;
    // An action may abort and open the completion page; the row is copied so that the
    // actions run from a stable list whatever they do.
    const Condition condition = conditions[static_cast<std::size_t>(index)];
    if (!ConditionHolds(condition, [this](const std::string& text) { return ExpandText(text); }))
        return -1;
    for (const std::string& action : condition.actions)
        conditionApi.Execute(action);
    return 255;
}

int CMainFrame::CheckConditionByName(const std::string& name) {
    auto expand = [this](const std::string& text) { return ExpandText(text); };
    auto run_actions = [this](const Condition& holding) {
        for (const std::string& action : holding.actions)
            conditionApi.Execute(action);
    };
    return cv::CheckConditionByName(conditions, conditionCount, name, expand, run_actions) ? 1 : 0;
}

void CMainFrame::RunActionsBoundTo(const std::string& trigger) {
    for (int i = 0; i < fileActionCount && i < static_cast<int>(fileActions.size()); ++i) {
        const FileAction& action = fileActions[static_cast<std::size_t>(i)];
        if (action.trigger == trigger && action.done != 255)
            RunFileAction(i);
    }
    for (int i = 0; i < conditionCount && i < static_cast<int>(conditions.size()); ++i) {
        const Condition& condition = conditions[static_cast<std::size_t>(i)];
        if (!condition.event.empty() && condition.event == trigger && condition.done != 255)
            EvaluateCondition(i);
    }
}

void CMainFrame::RunPageActions(int position) {
    std::string page = position == -1 ? std::string(kStartPage) : order.PageAt(position);
    // A position outside the list names no page; an empty trigger binds nothing.
    if (page.empty())
        return;
    RunActionsBoundTo(page);
}

} // namespace cv
