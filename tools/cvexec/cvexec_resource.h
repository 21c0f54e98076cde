#pragma once
// Resource ids of the uninstaller's plain dialogs.
#define IDD_CVEXEC_PROGRESS 100
#define IDD_CVEXEC_MODIFY 101
#define IDC_CVEXEC_TEXT 1001
#define IDC_CVEXEC_BAR 1002
#define IDC_CVEXEC_REPAIR 1101
#define IDC_CVEXEC_REMOVE 1102
