// Resource and control ids of the program's dialogs.
#pragma once

#define IDD_MAINDLG 129
#define IDD_CONTACT_CARD 130
#define IDD_MESSAGE_VIEW 101
#define IDD_MSGBOX 131
#define IDD_ABOUTBOX 103

// The program's icon (the lowest icon id: Explorer, the Start menu and "Apps"
// show it for the file).
#define IDI_PROGRAM 1

// Main window controls.
#define IDC_CLOSE 1000
#define IDC_MINIMIZE 1001
#define IDC_TREE 1003
#define IDC_LIST 1004
#define IDC_PROGRESS 1005
#define IDC_PAUSE 1006
#define IDC_STOP 1007
#define IDC_CONTINUE 1008
#define IDC_BUSY 1009
#define IDC_RECOVER 1010
#define IDC_MENU 1024
#define IDC_HOME 1029
#define IDC_HELPBTN 1031
#define IDC_BACK 1032
#define IDC_REFRESH 1033

// Main menu entries.
#define ID_MENU_HOME 32771
#define ID_MENU_ABOUT 104
#define ID_MENU_HELP 32775
#define ID_MENU_UPDATE 32777
#define ID_MENU_EXIT 105

// Message box controls (the id of the pressed one is the box's result).
#define IDC_MSG_CLOSE 1010
#define IDC_MSG_OK 1011
#define IDC_MSG_YES 1012
#define IDC_MSG_NO 1014
#define IDC_MSG_CANCEL 1015
#define IDC_MSG_TEXT 1017

// About box controls.
#define IDC_ABOUT_CLOSE 1024
#define IDC_ABOUT_OK 1027

#define IDC_STATIC_LINK -1
