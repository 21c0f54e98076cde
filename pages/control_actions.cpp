#include "pages/control_actions.h"

namespace cv {

ClickAction ClassifyClickAction(std::string_view text) {
    if (text.find("0 -") != std::string_view::npos)
        return ClickAction::PassOn;
    if (text == "1 - Close Window")
        return ClickAction::CloseWindow;
    if (text == "2 - Minimize Window")
        return ClickAction::Minimize;
    if (text == "3 - Run App")
        return ClickAction::RunApp;
    if (text == "4 - Run App and Close")
        return ClickAction::RunAppAndClose;
    return ClickAction::PassOn;
}

NamedHandling HandlingOfName(std::string_view name) {
    struct Row {
        std::string_view name;
        NamedHandling handling;
    };
    static constexpr Row kRows[] = {
        {"IDC_BROWSE", {NamedHandler::Browse, 0}},
        {"IDC_NOTACCEPTLICENSE", {NamedHandler::Licence, 0}},
        {"IDC_ACCEPTLICENSE", {NamedHandler::Licence, 1}},
        {"IDC_ANYONE", {NamedHandler::InstallFor, 0}},
        {"IDC_ONLYFORME", {NamedHandler::InstallFor, 1}},
        {"IDC_TYPICAL", {NamedHandler::SetupType, 0}},
        {"IDC_MINIMAL", {NamedHandler::SetupType, 1}},
        {"IDC_CUSTOM", {NamedHandler::SetupType, 2}},
        {"IDC_LAUNCHFILE", {NamedHandler::Launch, 0}},
        {"IDC_LAUNCHREADME", {NamedHandler::Launch, 1}},
    };
    for (const Row& row : kRows)
        if (row.name == name)
            return row.handling;
    return {};
}

int ToggledLaunchFlag(int flag) { return flag == 0 ? 255 : 0; }

bool IsLaunchOffered(std::string_view setting) { return setting != "No"; }

LaunchBoxes LaunchBoxesShown(bool fileOffered, bool readmeOffered, bool aborted) {
    if (aborted)
        return {};
    return {fileOffered, readmeOffered};
}

int SetupTypeToShow(int stored) { return stored >= 0 && stored <= 2 ? stored : 0; }

std::string SummaryText(int setupType, std::string_view installFolder, std::string_view userName,
                        std::string_view companyName) {
    static constexpr const char* kTypeNames[] = {"Typical\r\n\r\n", "Minimal\r\n\r\n", "Custom\r\n\r\n"};
    std::string text = "\r\nSetup Type:\r\n\r\n";
    if (setupType >= 0 && setupType <= 2)
        text += kTypeNames[setupType];
    text += "Destination Folder:\r\n\r\n";
    text += installFolder;
    text += "\r\n\r\nUser Information:\r\n\r\n";
    if (!userName.empty()) {
        text += "Name:";
        text += userName;
        text += "\r\n\r\n";
    }
    if (!companyName.empty()) {
        text += "Company:";
        text += companyName;
        text += "\r\n\r\n";
    }
    return text;
}

std::string BracketsToVariables(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c == '[')
            c = '<';
        else if (c == ']')
            c = '>';
    }
    return out;
}

} // namespace cv
