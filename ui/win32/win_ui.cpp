// Contents:
//   the dialog procedure: from window messages to the message maps
//   Win32Ui: each DialogUi operation as the Win32 call the logic relies on
#include "win_ui.h"

#include "copy_dlg.h"

#include <commctrl.h>

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
    INT_PTR code = DialogBoxParamA(m_instance, MAKEINTRESOURCEA(dlg.TemplateId()), m_owner, DialogProc,
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

void Win32Ui::AddListEntry(int id, const char* text) {
    SendDlgItemMessageA(m_hwnd, id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void Win32Ui::SetListSelection(int id, int index) { SendDlgItemMessageA(m_hwnd, id, LB_SETCURSEL, index, 0); }

int Win32Ui::GetListSelection(int id) {
    LRESULT index = SendDlgItemMessageA(m_hwnd, id, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

std::string Win32Ui::GetEditText(int id) {
    int length = GetWindowTextLengthA(GetDlgItem(m_hwnd, id));
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    UINT got = GetDlgItemTextA(m_hwnd, id, &text[0], length + 1);
    text.resize(got);
    return text;
}

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

int Win32Ui::ReadAircraftFolder(char* out) { return ReadAircraftFolderFromRegistry(out); }

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
