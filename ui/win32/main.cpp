// Entry point of Vantorel.exe: runs the main dialog once and ends.
// win_ui.h first: it includes windows.h and then undoes the macros that
// would rename DialogUi's methods.
#include "win_ui.h"

#include "copy_dlg.h"

#include <commctrl.h>


namespace {

int InstallerFolder(char* out) { return ReadAircraftFolderFromRegistry(out); }

const SimLookup kSimLookup = {InstallerFolder, ReadRememberedFolderFromRegistry, WriteRememberedFolderToRegistry,
                              LocalAppData};

}  // namespace

// The command line is not looked at: the tool takes no arguments. The end
// code is not either: OK, Cancel and a dialog that could not run all end the
// program the same way.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The manifest asks for common controls 6 (the current look); this loads
    // them, with the Copies table, before the first dialog is created.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    Win32Ui ui(instance, nullptr);
    CCopyDlg dlg(ui, kSimLookup, EngineCopies());
    ui.RunModal(dlg);
    return 0;
}
