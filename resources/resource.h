#pragma once
// Identifiers of the program's resources (shared by the .rc file and the code).

#define IDR_MAINFRAME 128

#define IDD_PAGE 131
#define IDD_CANCELSETUP 142
#define IDD_ERRORSETUP 143
#define IDD_SPLASH 144
#define IDD_MSG 155
#define IDD_WAIT 156
#define IDD_BILLBOARD 157

#define IDI_INFO_ICON 132
#define IDI_TYPICAL_ICON 133
#define IDI_MINIMAL_ICON 134
#define IDI_ERROR_ICON 135
#define IDI_FOLDER_ICON 136
#define IDI_SETUP_ICON 137
#define IDI_CUSTOM_ICON 138
#define IDI_EXCLAMATION_ICON 141
#define IDI_FEATURE_OFF 151
#define IDI_FEATURE_ON 152

#define IDS_SOCKETS_INIT_FAILED 103
#define IDS_KB_PER_SEC 104
#define IDS_BYTES 105
#define IDS_MB 107
#define IDS_OF 108
#define IDS_KB 109
#define IDS_SEC 110
#define IDS_MIN 111
#define IDS_MIN_SEC 112
#define IDS_COPIED 113
#define IDS_BYTES_PER_SEC 114

#define IDC_TEXT 1000
#define IDC_RETRY 1001
#define IDC_IGNORE 1002
#define IDC_SPLASH_PICTURE 1010
#define IDC_WAIT_TEXT 1011

#define ID_APP_EXIT 0xE141
