// DialogUi over a real Win32 dialog window, and the one dialog procedure
// that hands the window's messages to the dialog object's message map.
#pragma once
#include "dialog_ui.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// windows.h maps these names to their A/W variants with macros; DialogUi
// uses them as plain method names, so the macros must not rename them in
// this file's users. The calls below name the A variants themselves.
#undef SendMessage
#undef MessageBox
#undef LoadString
#undef LoadIcon

#include <string>

// Text between the ANSI code page, which the simulator and the engine use,
// and UTF-16, which the system's controls and shell hold.
std::wstring WidenAnsi(const char* text);
// False when a character has no exact form in the ANSI code page; it then
// comes out as '?', never as a best-fit look-alike.
bool NarrowToAnsi(const std::wstring& text, std::string* out);

#include <shlobj.h>
#include <shellapi.h>

// shell32 and ole32, loaded on first use: most starts never need them, and
// the program's imports stay the DLLs every start loads.
struct ShellCalls {
    decltype(&SHBrowseForFolderW) browseForFolder;
    decltype(&SHGetPathFromIDListW) pathFromIdList;
    decltype(&ShellExecuteW) execute;
    decltype(&SHFileOperationW) fileOperation;
    decltype(&CoInitialize) coInitialize;
    decltype(&CoTaskMemFree) coTaskMemFree;
};
// Null when a DLL or one of its functions is missing.
const ShellCalls* LoadShellCalls();

class Win32Ui : public DialogUi {
public:
    // `owner` is the window a dialog run on this ui is modal to (null: none).
    Win32Ui(HINSTANCE instance, HWND owner);

    int RunModal(CDialog& dlg) override;
    void EndDialog(int code) override;
    void RunAboutBox() override;
    void Default() override;
    std::intptr_t SendMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void EnableVisualStyles() override;
    std::unique_ptr<DialogUi> MakeChildUi() override;
    void AddListEntry(int id, const char* text) override;
    void ClearList(int id) override;
    void SetListTabStops(int id, const int* stops, int count) override;
    void SetListSelection(int id, int index) override;
    int GetListSelection(int id) override;
    std::string GetEditText(int id) override;
    bool EditTextIsAnsi(int id) override;
    bool IsLeadByte(unsigned char byte) override;
    void SetEditText(int id, const std::string& text) override;
    void LimitText(int id, int maxChars) override;
    void FocusControl(int id) override;
    void EnableControl(int id, bool enable) override;
    int MessageBox(const char* text, const char* caption, unsigned type) override;
    std::string LoadString(int id) override;
    void AppendSystemMenu(unsigned flags, unsigned command, const char* text) override;
    IconHandle LoadIcon(int id) override;
    int ReadAircraftFolder(char* out) override;
    std::string ReadRememberedFolder() override;
    void WriteRememberedFolder(const char* path) override;
    FolderChoice BrowseForFolder(const char* prompt, const char* start, std::string* out) override;
    bool OpenInFileManager(const char* folder) override;
    std::string LocalAppDataFolder() override;
    bool IsIconic() override;
    PaintContext BeginPaint() override;
    void EndPaint() override;
    int GetSystemMetrics(int index) override;
    ClientRect GetClientRect() override;
    void DrawIcon(PaintContext dc, int x, int y, IconHandle icon) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The field's text as typed, in UTF-16.
    std::wstring EditTextWide(int id);

    HINSTANCE m_instance;
    HWND m_owner;
    HWND m_hwnd = nullptr;          // the dialog's window while it runs
    bool m_defaultAsked = false;    // the message being handled wants default processing
    PAINTSTRUCT m_paint = {};
};
