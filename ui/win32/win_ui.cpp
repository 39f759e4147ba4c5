// Contents:
//   the dialog procedure: from window messages to the message maps
//   Win32Ui: each DialogUi operation as the Win32 call the logic relies on
//   text conversions and the shell
#include "win_ui.h"

#include "copy_dlg.h"
#include "sim_path.h"

#include <commctrl.h>

#include <type_traits>

// ============================================================================
// Dialog procedure
// ============================================================================

// A dialog procedure returns TRUE for a message it handled and FALSE to let
// the dialog manager's default processing run; WM_INITDIALOG and
// WM_QUERYDRAGICON return their result directly.
namespace {

// Handlers run modal loops (message boxes, the About box) in which the
// dialog procedure is entered again for the same window: each message gets a
// fresh default-processing flag and the outer message's flag comes back after.
struct DefaultRequestScope {
    bool& flag;
    bool outer;
    explicit DefaultRequestScope(bool& f) : flag(f), outer(f) { flag = false; }
    ~DefaultRequestScope() { flag = outer; }
};

}  // namespace

INT_PTR CALLBACK Win32Ui::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // No C++ exception may unwind through user32's frames: it would leave the
    // dialog manager's state broken. A handler that throws is treated as one
    // that asked for default processing.
    try {
        if (message == WM_INITDIALOG) {
            CDialog* dlg = reinterpret_cast<CDialog*>(lParam);
            SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
            static_cast<Win32Ui&>(dlg->Ui()).m_hwnd = hwnd;
            return dlg->OnInitDialog();
        }
        // Messages before WM_INITDIALOG (WM_SETFONT...) find no object yet.
        CDialog* dlg = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
        if (!dlg) return FALSE;
        Win32Ui& ui = static_cast<Win32Ui&>(dlg->Ui());
        DefaultRequestScope scope(ui.m_defaultAsked);
        std::intptr_t result = dlg->Dispatch(message, wParam, lParam);
        if (ui.m_defaultAsked) return FALSE;
        return message == WM_QUERYDRAGICON ? result : TRUE;
    } catch (...) {
        return FALSE;
    }
}

// ============================================================================
// Win32Ui
// ============================================================================

Win32Ui::Win32Ui(HINSTANCE instance, HWND owner) : m_instance(instance), m_owner(owner) {}

int Win32Ui::RunModal(CDialog& dlg) {
    // The W variant makes the controls keep UTF-16 text: an ANSI edit field
    // would best-fit a typed character before the logic could refuse it.
    INT_PTR code = DialogBoxParamW(m_instance, MAKEINTRESOURCEW(dlg.TemplateId()), m_owner, DialogProc,
                                   reinterpret_cast<LPARAM>(&dlg));
    m_hwnd = nullptr;
    return static_cast<int>(code);
}

void Win32Ui::EndDialog(int code) { ::EndDialog(m_hwnd, code); }

void Win32Ui::RunAboutBox() {
    Win32Ui aboutUi(m_instance, m_hwnd);
    CAboutDlg about(aboutUi);
    about.DoModal();
}

void Win32Ui::Default() { m_defaultAsked = true; }

std::intptr_t Win32Ui::SendMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    return SendMessageA(m_hwnd, message, wParam, lParam);
}

// The manifest asks for common controls 6; linking and calling comctl32
// makes sure it is loaded before the first dialog is created.
void Win32Ui::EnableVisualStyles() { InitCommonControls(); }

std::unique_ptr<DialogUi> Win32Ui::MakeChildUi() { return std::unique_ptr<DialogUi>(new Win32Ui(m_instance, m_hwnd)); }

void Win32Ui::ClearList(int id) { SendDlgItemMessageA(m_hwnd, id, LB_RESETCONTENT, 0, 0); }

void Win32Ui::SetListTabStops(int id, const int* stops, int count) {
    SendDlgItemMessageA(m_hwnd, id, LB_SETTABSTOPS, count, reinterpret_cast<LPARAM>(stops));
}

void Win32Ui::AddListEntry(int id, const char* text) {
    SendDlgItemMessageA(m_hwnd, id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void Win32Ui::SetListSelection(int id, int index) { SendDlgItemMessageA(m_hwnd, id, LB_SETCURSEL, index, 0); }

int Win32Ui::GetListSelection(int id) {
    LRESULT index = SendDlgItemMessageA(m_hwnd, id, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
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

int Win32Ui::MessageBox(const char* text, const char* caption, unsigned type) {
    return MessageBoxA(m_hwnd, text, caption, type);
}

std::string Win32Ui::LoadString(int id) {
    char text[256];
    int length = LoadStringA(m_instance, static_cast<UINT>(id), text, sizeof text);
    return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

void Win32Ui::AppendSystemMenu(unsigned flags, unsigned command, const char* text) {
    HMENU menu = GetSystemMenu(m_hwnd, FALSE);
    if (menu) AppendMenuA(menu, flags, command, text);
}

IconHandle Win32Ui::LoadIcon(int id) { return LoadIconA(m_instance, MAKEINTRESOURCEA(id)); }

void Win32Ui::EnableControl(int id, bool enable) { EnableWindow(GetDlgItem(m_hwnd, id), enable); }

int Win32Ui::ReadAircraftFolder(char* out) { return ReadAircraftFolderFromRegistry(out); }

std::string Win32Ui::ReadRememberedFolder() { return ReadRememberedFolderFromRegistry(); }

void Win32Ui::WriteRememberedFolder(const char* path) { WriteRememberedFolderToRegistry(path); }

namespace {

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
    const ShellCalls* shell = LoadShellCalls();
    if (!shell) return kFolderCancelled;
    shell->coInitialize(nullptr);  // the new dialog style needs COM on this thread
    std::wstring title = WidenAnsi(prompt), from = WidenAnsi(start);
    BROWSEINFOW info = {};
    info.hwndOwner = m_hwnd;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
    info.lpfn = BrowseCallback;
    info.lParam = from.empty() ? 0 : reinterpret_cast<LPARAM>(from.c_str());
    LPITEMIDLIST chosen = shell->browseForFolder(&info);
    if (!chosen) return kFolderCancelled;
    wchar_t path[MAX_PATH] = {};
    BOOL ok = shell->pathFromIdList(chosen, path);
    shell->coTaskMemFree(chosen);
    if (!ok) return kFolderCancelled;
    return NarrowToAnsi(path, out) ? kFolderChosen : kFolderNotAnsi;
}

bool Win32Ui::OpenInFileManager(const char* folder) {
    const ShellCalls* shell = LoadShellCalls();
    if (!shell) return false;
    std::wstring path = WidenAnsi(folder);
    HINSTANCE rc = shell->execute(m_hwnd, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(rc) > 32;
}

std::string Win32Ui::LocalAppDataFolder() {
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("LOCALAPPDATA", path, sizeof path);
    return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
}

bool Win32Ui::IsIconic() { return ::IsIconic(m_hwnd) != FALSE; }

PaintContext Win32Ui::BeginPaint() { return ::BeginPaint(m_hwnd, &m_paint); }

void Win32Ui::EndPaint() { ::EndPaint(m_hwnd, &m_paint); }

int Win32Ui::GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

ClientRect Win32Ui::GetClientRect() {
    RECT r = {};
    ::GetClientRect(m_hwnd, &r);
    return {r.left, r.top, r.right, r.bottom};
}

void Win32Ui::DrawIcon(PaintContext dc, int x, int y, IconHandle icon) {
    ::DrawIcon(static_cast<HDC>(dc), x, y, static_cast<HICON>(icon));
}

// ============================================================================
// Text conversions and the shell
// ============================================================================

std::wstring WidenAnsi(const char* text) {
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
    wide.resize(static_cast<std::size_t>(length) - 1);
    return wide;
}

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

const ShellCalls* LoadShellCalls() {
    static ShellCalls calls;
    static int state = 0;  // 0 not tried, 1 loaded, -1 missing
    if (state == 0) {
        HMODULE shell32 = LoadLibraryA("shell32.dll"), ole32 = LoadLibraryA("ole32.dll");
        // Through void(*)(): the one cast between function types that GCC
        // accepts without a warning.
        auto get = [](auto& to, HMODULE dll, const char* name) {
            FARPROC f = dll ? GetProcAddress(dll, name) : nullptr;
            to = reinterpret_cast<std::remove_reference_t<decltype(to)>>(reinterpret_cast<void (*)()>(f));
        };
        get(calls.browseForFolder, shell32, "SHBrowseForFolderW");
        get(calls.pathFromIdList, shell32, "SHGetPathFromIDListW");
        get(calls.execute, shell32, "ShellExecuteW");
        get(calls.fileOperation, shell32, "SHFileOperationW");
        get(calls.coInitialize, ole32, "CoInitialize");
        get(calls.coTaskMemFree, ole32, "CoTaskMemFree");
        bool all = calls.browseForFolder && calls.pathFromIdList && calls.execute && calls.fileOperation &&
                   calls.coInitialize && calls.coTaskMemFree;
        state = all ? 1 : -1;
    }
    return state == 1 ? &calls : nullptr;
}
