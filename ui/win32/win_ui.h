// DialogUi over a real Win32 dialog window, and the one dialog procedure
// that hands the window's messages to the dialog object's handlers.
#pragma once
#include "dialog_ui.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// windows.h maps these names to their A/W variants with macros; DialogUi
// uses them as plain method names, so the macros must not rename them in
// this file's users. The calls below name the A or W variants themselves.
#undef MessageBox
#undef LoadString

class Win32Ui : public DialogUi {
public:
    // `owner` is the window a dialog run on this ui is modal to (null: none).
    Win32Ui(HINSTANCE instance, HWND owner) : m_instance(instance), m_owner(owner) {}

    int RunModal(CDialog& dlg) override;
    std::unique_ptr<DialogUi> MakeChildUi() override;
    void AddListEntry(int id, const char* text) override;
    void SetListSelection(int id, int index) override;
    int GetListSelection(int id) override;
    void SetTableColumns(int id, const std::vector<TableColumn>& columns) override;
    void AddTableRow(int id, const std::vector<std::string>& cells) override;
    void ClearTable(int id) override;
    int GetTableSelection(int id) override;
    std::string GetEditText(int id) override;
    bool EditTextIsAnsi(int id) override;
    bool IsLeadByte(unsigned char byte) override;
    void SetEditText(int id, const std::string& text) override;
    void LimitText(int id, int maxChars) override;
    void FocusControl(int id) override;
    int FocusedControl() override;
    void EnableControl(int id, bool enable) override;
    int MessageBox(const char* text, const char* caption, unsigned type) override;
    std::string LoadString(int id) override;
    void AppendSystemMenu(unsigned command, const char* text) override;
    FolderChoice BrowseForFolder(const char* prompt, const char* start, std::string* out) override;
    FolderChoice OpenFiles(const char* title, const char* kind, const char* pattern,
                           std::vector<std::string>* out) override;
    bool OpenInFileManager(const char* folder) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The field's text as typed, in UTF-16.
    std::wstring EditTextWide(int id);

    HINSTANCE m_instance;
    HWND m_owner;
    CDialog* m_dialog = nullptr;  // the dialog running on this ui
    HWND m_hwnd = nullptr;        // its window while it runs
};
