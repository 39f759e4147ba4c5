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

// System-menu command of the About item. The low four bits are left free
// because Windows keeps them for its own use in WM_SYSCOMMAND.
#define IDM_ABOUTBOX 0x10

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
