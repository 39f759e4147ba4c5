// Contents:
//   the dialog procedure: from window messages to the dialog's handlers
//   Win32Ui: each DialogUi operation as the Win32 call the logic relies on
//   text conversions and the shell
#include "win_ui.h"

#include "dialog.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

namespace {

std::wstring WidenAnsi(const char* text) {
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
    wide.resize(static_cast<std::size_t>(length) - 1);
    return wide;
}

// False when a character has no exact form in the ANSI code page; it then
// comes out as '?', never as a best-fit look-alike.
bool NarrowToAnsi(const std::wstring& text, std::string* out) {
    out->clear();
    if (text.empty()) return true;
    // Where the ANSI code page is UTF-8 every character has its form, and
    // the call refuses the flags.
    bool utf8 = GetACP() == CP_UTF8;
    DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* watch = utf8 ? nullptr : &usedDefault;
    int length = WideCharToMultiByte(CP_ACP, flags, text.data(), static_cast<int>(text.size()), nullptr, 0, "?", watch);
    if (length <= 0) return false;
    out->resize(static_cast<std::size_t>(length));
    WideCharToMultiByte(CP_ACP, flags, text.data(), static_cast<int>(text.size()), &(*out)[0], length, "?", watch);
    return !usedDefault;
}

// A row's texts whole, one line per column under its heading: the tooltip
// over a row whose cells end in an ellipsis.
void FillRowTip(NMLVGETINFOTIPW* tip) {
    HWND list = tip->hdr.hwndFrom;
    std::wstring text;
    const int columns = static_cast<int>(SendMessageW(ListView_GetHeader(list), HDM_GETITEMCOUNT, 0, 0));
    for (int c = 0; c < columns; ++c) {
        wchar_t heading[64] = {}, cell[INFOTIPSIZE] = {};
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT;
        column.pszText = heading;
        column.cchTextMax = 64;
        SendMessageW(list, LVM_GETCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
        LVITEMW item = {};
        item.iSubItem = c;
        item.pszText = cell;
        item.cchTextMax = INFOTIPSIZE;
        SendMessageW(list, LVM_GETITEMTEXTW, tip->iItem, reinterpret_cast<LPARAM>(&item));
        text += (c ? L"\n" : L"") + std::wstring(heading) + L": " + cell;
    }
    lstrcpynW(tip->pszText, text.c_str(), tip->cchTextMax);
}

}  // namespace

// ============================================================================
// Dialog procedure
// ============================================================================

// A dialog procedure returns TRUE for a message it handled and FALSE to let
// the dialog manager's default processing run; WM_INITDIALOG returns whether
// the dialog manager should focus the first control.
INT_PTR CALLBACK Win32Ui::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // No C++ exception may unwind through user32's frames: it would leave the
    // dialog manager's state broken. A handler that throws is treated as one
    // that left the message to default processing.
    try {
        if (message == WM_INITDIALOG) {
            Win32Ui* ui = reinterpret_cast<Win32Ui*>(lParam);
            SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
            ui->m_hwnd = hwnd;
            return ui->m_dialog->OnInit();
        }
        // Messages before WM_INITDIALOG (WM_SETFONT...) find no ui yet.
        Win32Ui* ui = reinterpret_cast<Win32Ui*>(GetWindowLongPtrW(hwnd, DWLP_USER));
        if (!ui) return FALSE;
        CDialog* dlg = ui->m_dialog;
        BOOL handled = FALSE;
        switch (message) {
        case WM_COMMAND: handled = dlg->OnCommand(HIWORD(wParam), LOWORD(wParam)); break;
        case WM_SYSCOMMAND: handled = dlg->OnSysCommand(static_cast<unsigned>(wParam)); break;
        case WM_NOTIFY:
            if (reinterpret_cast<NMHDR*>(lParam)->code != LVN_GETINFOTIPW) break;
            FillRowTip(reinterpret_cast<NMLVGETINFOTIPW*>(lParam));
            handled = TRUE;
            break;
        }
        if (dlg->EndCode()) ::EndDialog(hwnd, dlg->EndCode());
        return handled;
    } catch (...) {
        return FALSE;
    }
}

// ============================================================================
// Win32Ui
// ============================================================================

int Win32Ui::RunModal(CDialog& dlg) {
    m_dialog = &dlg;
    // The W variant makes the controls keep UTF-16 text: an ANSI edit field
    // would best-fit a typed character before the logic could refuse it.
    INT_PTR code = DialogBoxParamW(m_instance, MAKEINTRESOURCEW(dlg.TemplateId()), m_owner, DialogProc,
                                   reinterpret_cast<LPARAM>(this));
    m_hwnd = nullptr;
    m_dialog = nullptr;
    return static_cast<int>(code);
}

std::unique_ptr<DialogUi> Win32Ui::MakeChildUi() { return std::unique_ptr<DialogUi>(new Win32Ui(m_instance, m_hwnd)); }

void Win32Ui::AddListEntry(int id, const char* text) {
    SendDlgItemMessageA(m_hwnd, id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void Win32Ui::SetListSelection(int id, int index) { SendDlgItemMessageA(m_hwnd, id, LB_SETCURSEL, index, 0); }

int Win32Ui::GetListSelection(int id) {
    LRESULT index = SendDlgItemMessageA(m_hwnd, id, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

// Whole rows are chosen, and a row's tooltip shows its texts whole.
void Win32Ui::SetTableColumns(int id, const std::vector<TableColumn>& columns) {
    HWND list = GetDlgItem(m_hwnd, id);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP | LVS_EX_LABELTIP);
    RECT client = {};
    GetClientRect(list, &client);
    int rest = client.right - GetSystemMetrics(SM_CXVSCROLL);
    std::vector<int> widths;
    for (const TableColumn& c : columns) {
        RECT r = {0, 0, c.width, 0};
        MapDialogRect(m_hwnd, &r);
        widths.push_back(r.right);
        rest -= r.right;
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
        std::wstring heading = WidenAnsi(columns[i].heading);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = &heading[0];
        column.cx = columns[i].width ? widths[i] : (rest > 40 ? rest : 40);
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void Win32Ui::AddTableRow(int id, const std::vector<std::string>& cells) {
    HWND list = GetDlgItem(m_hwnd, id);
    LVITEMW item = {};
    item.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    item.iItem = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    for (std::size_t i = 0; i < cells.size(); ++i) {
        std::wstring text = WidenAnsi(cells[i].c_str());
        item.iSubItem = static_cast<int>(i);
        item.pszText = &text[0];
        SendMessageW(list, LVM_SETITEMTEXTW, item.iItem, reinterpret_cast<LPARAM>(&item));
    }
}

void Win32Ui::ClearTable(int id) { SendDlgItemMessageW(m_hwnd, id, LVM_DELETEALLITEMS, 0, 0); }

int Win32Ui::GetTableSelection(int id) {
    return static_cast<int>(SendDlgItemMessageW(m_hwnd, id, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::wstring Win32Ui::EditTextWide(int id) {
    int length = GetWindowTextLengthW(GetDlgItem(m_hwnd, id));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    UINT got = GetDlgItemTextW(m_hwnd, id, &text[0], length + 1);
    text.resize(got);
    return text;
}

std::string Win32Ui::GetEditText(int id) {
    std::string text;
    NarrowToAnsi(EditTextWide(id), &text);
    return text;
}

bool Win32Ui::EditTextIsAnsi(int id) {
    std::string text;
    return NarrowToAnsi(EditTextWide(id), &text);
}

bool Win32Ui::IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

void Win32Ui::SetEditText(int id, const std::string& text) { SetDlgItemTextA(m_hwnd, id, text.c_str()); }

void Win32Ui::LimitText(int id, int maxChars) { SendDlgItemMessageA(m_hwnd, id, EM_LIMITTEXT, maxChars, 0); }

// WM_NEXTDLGCTL rather than SetFocus, so the dialog manager also selects the
// edit field's text and keeps its idea of the focused control. Posted, as
// Windows advises, so it lands after the focus change that closing the
// too-many-characters box makes.
void Win32Ui::FocusControl(int id) {
    HWND control = GetDlgItem(m_hwnd, id);
    if (control) PostMessageA(m_hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

int Win32Ui::FocusedControl() {
    HWND focus = GetFocus();
    return focus && IsChild(m_hwnd, focus) ? GetDlgCtrlID(focus) : 0;
}

void Win32Ui::EnableControl(int id, bool enable) { EnableWindow(GetDlgItem(m_hwnd, id), enable); }

int Win32Ui::MessageBox(const char* text, const char* caption, unsigned type) {
    return MessageBoxA(m_hwnd, text, caption, type);
}

std::string Win32Ui::LoadString(int id) {
    char text[256];
    int length = LoadStringA(m_instance, static_cast<UINT>(id), text, sizeof text);
    return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

void Win32Ui::AppendSystemMenu(unsigned command, const char* text) {
    HMENU menu = GetSystemMenu(m_hwnd, FALSE);
    if (!menu) return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, command, text);
}

// ============================================================================
// The shell
// ============================================================================

namespace {

// A function of a DLL loaded on first use, or null. Through void(*)(): the
// one cast between function types that GCC accepts without a warning.
template <class Function>
void GetCall(HMODULE dll, const char* name, Function& to) {
    FARPROC f = dll ? GetProcAddress(dll, name) : nullptr;
    to = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(f));
}

// ole32 and comdlg32, loaded on first use: only the pickers need them, and
// the program's imports stay the DLLs every start loads.
struct ComCalls {
    decltype(&CoInitialize) initialize;
    decltype(&CoTaskMemFree) taskMemFree;
};

const ComCalls* LoadComCalls() {
    static ComCalls calls;
    static int state = 0;  // 0 not tried, 1 loaded, -1 missing
    if (state == 0) {
        HMODULE ole32 = LoadLibraryA("ole32.dll");
        GetCall(ole32, "CoInitialize", calls.initialize);
        GetCall(ole32, "CoTaskMemFree", calls.taskMemFree);
        state = calls.initialize && calls.taskMemFree ? 1 : -1;
    }
    return state == 1 ? &calls : nullptr;
}

decltype(&GetOpenFileNameW) LoadOpenFileName() {
    static decltype(&GetOpenFileNameW) call = nullptr;
    static bool tried = false;
    if (!tried) GetCall(LoadLibraryA("comdlg32.dll"), "GetOpenFileNameW", call);
    tried = true;
    return call;
}

// Opens the picker at the folder in use, so a player with two installs sees
// where the other one is from there.
int CALLBACK BrowseCallback(HWND picker, UINT message, LPARAM, LPARAM start) {
    if (message == BFFM_INITIALIZED && start) SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, start);
    return 0;
}

}  // namespace

// The edit box lets a player type or paste a path, which is quicker than
// walking the tree to a deep install.
FolderChoice Win32Ui::BrowseForFolder(const char* prompt, const char* start, std::string* out) {
    const ComCalls* com = LoadComCalls();
    if (!com) return kFolderCancelled;
    com->initialize(nullptr);  // the new dialog style needs COM on this thread
    std::wstring title = WidenAnsi(prompt), from = WidenAnsi(start);
    BROWSEINFOW info = {};
    info.hwndOwner = m_hwnd;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
    info.lpfn = BrowseCallback;
    info.lParam = from.empty() ? 0 : reinterpret_cast<LPARAM>(from.c_str());
    LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
    if (!chosen) return kFolderCancelled;
    wchar_t path[MAX_PATH] = {};
    BOOL ok = SHGetPathFromIDListW(chosen, path);
    com->taskMemFree(chosen);
    if (!ok) return kFolderCancelled;
    return NarrowToAnsi(path, out) ? kFolderChosen : kFolderNotAnsi;
}

// Room for a few hundred long names: the picker fails rather than cut a
// choice short, and that is then treated as a cancel.
constexpr DWORD kChosenFilesChars = 32768;

// With several files chosen the picker gives the folder and then each name,
// parted by nulls; with one, its whole path.
FolderChoice Win32Ui::OpenFiles(const char* title, const char* kind, const char* pattern,
                                std::vector<std::string>* out) {
    auto open = LoadOpenFileName();
    if (!open) return kFolderCancelled;
    std::wstring heading = WidenAnsi(title);
    std::wstring filter = WidenAnsi(kind) + L'\0' + WidenAnsi(pattern) + L'\0' + L'\0';
    std::wstring chosen(kChosenFilesChars, L'\0');
    OPENFILENAMEW info = {};
    info.lStructSize = sizeof info;
    info.hwndOwner = m_hwnd;
    info.lpstrFilter = filter.c_str();
    info.lpstrFile = &chosen[0];
    info.nMaxFile = kChosenFilesChars;
    info.lpstrTitle = heading.c_str();
    info.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                 OFN_NOCHANGEDIR;
    if (!open(&info)) return kFolderCancelled;
    std::vector<std::wstring> parts;
    for (const wchar_t* p = chosen.c_str(); *p; p += wcslen(p) + 1) parts.push_back(p);
    if (parts.size() > 1) {
        std::wstring folder = parts[0];
        if (folder.back() != L'\\') folder += L'\\';
        parts.erase(parts.begin());
        for (std::wstring& name : parts) name = folder + name;
    }
    out->clear();
    bool ansi = true;
    for (const std::wstring& path : parts) {
        std::string narrow;
        ansi = NarrowToAnsi(path, &narrow) && ansi;
        out->push_back(narrow);
    }
    return ansi ? kFolderChosen : kFolderNotAnsi;
}

bool Win32Ui::OpenInFileManager(const char* folder) {
    std::wstring path = WidenAnsi(folder);
    HINSTANCE rc = ShellExecuteW(m_hwnd, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(rc) > 32;
}
