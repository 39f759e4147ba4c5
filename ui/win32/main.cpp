// Entry point of Vantorel.exe: the application object and WinMain.
// win_ui.h first: it includes windows.h and then undoes the macros that
// would rename DialogUi's methods.
#include "win_ui.h"

#include "copies_dlg.h"
#include "copy_dlg.h"

CCopyApp theApp;

// The command line is not looked at: the tool takes no arguments.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    Win32Ui ui(instance, nullptr);
    theApp.m_pUi = &ui;
    theApp.m_pCopies = &EngineCopies();
    int exitCode = theApp.InitInstance();
    theApp.m_pUi = nullptr;
    return exitCode;
}
