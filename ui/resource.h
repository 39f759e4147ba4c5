// Resource ids of Vantorel.exe, shared by vantorel.rc and the dialog logic.
// The values are fixed: the UI automation tests and older builds' users
// (keyboard macros, screen readers) address controls by them.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_COPY_DIALOG 102
#define IDR_MAINFRAME 128

#define IDC_AIRCRAFT_LIST 1001
#define IDC_SELECTED 1002
#define IDC_PREFIX 1003
#define IDC_COPY 1004
#define IDC_ABOUT 1006

// Added later: appended, so that the ids above keep their values.
#define IDD_COPIES 103
#define IDC_FIND_CFS 1007
#define IDC_OPEN_FOLDER 1008
#define IDC_TITLE 1009
#define IDC_COPIES 1010
#define IDC_COPIES_LIST 1011
#define IDC_COPIES_OPEN 1012
#define IDC_COPIES_REMOVE 1013
#define IDC_COPIES_EXPORT 1014
#define IDC_COPIES_APPLY 1015

// System-menu command of the About item. The low four bits are left free
// because Windows keeps them for its own use in WM_SYSCOMMAND.
#define IDM_ABOUTBOX 0x10

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
