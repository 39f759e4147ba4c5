// Window-message automation of Vantorel.exe and the Windows file and registry
// calls the end-to-end tests need.
//
//   1. Messages with a timeout
//   2. The program and its windows
//   3. Message boxes (texts and icons)
//   4. Controls
//   5. Registry and files

#include "e2e_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace e2e {

// ---------------------------------------------------------------------------
// 1. Messages with a timeout
// ---------------------------------------------------------------------------

namespace {

// SendMessage to another process blocks until it answers: a hung or crashed
// Vantorel would hang the test run, so every send is bounded.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kWaitMs, &result))
        ADD_FAILURE() << "window did not answer message 0x" << std::hex << message;
    return static_cast<LRESULT>(result);
}

std::wstring WindowText(HWND window) {
    if (!window) return L"<no such window>";
    wchar_t buffer[1024] = {};
    // Sent, not GetWindowTextW: for another process's control that returns
    // the creation text, not what an edit field holds now.
    Send(window, WM_GETTEXT, sizeof buffer / sizeof buffer[0], reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

}  // namespace

// ---------------------------------------------------------------------------
// 2. The program and its windows
// ---------------------------------------------------------------------------

Program::~Program() { Kill(*this); }

std::wstring WindowsPath(const std::string& path) {
    int length = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
    if (length > 1) MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &wide[0], length);
    if (!wide.empty() && wide[0] == L'/') {
        // Wine shows the Linux root as drive Z:.
        std::replace(wide.begin(), wide.end(), L'/', L'\\');
        wide = L"Z:" + wide;
    }
    return wide;
}

bool Start(const std::wstring& exe, Program& program) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + exe + L"\"";
    return CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &program.process) != 0;
}

void Kill(Program& program) {
    if (!program.process.hProcess) return;
    if (WaitForSingleObject(program.process.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(program.process.hProcess, 1);
        WaitForSingleObject(program.process.hProcess, kWaitMs);
    }
    CloseHandle(program.process.hThread);
    CloseHandle(program.process.hProcess);
    program.process = {};
    program.dialog = nullptr;
}

bool WaitForExit(Program& program, int timeoutMs) {
    return program.process.hProcess &&
           WaitForSingleObject(program.process.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

namespace {

struct DialogSearch {
    DWORD pid;
    const std::vector<HWND>* known;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<DialogSearch*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || !IsWindowVisible(window) || ClassName(window) != L"#32770")
        return TRUE;
    if (std::find(search->known->begin(), search->known->end(), window) != search->known->end())
        return TRUE;
    wchar_t caption[256] = {};
    GetWindowTextW(window, caption, 256);
    if (search->caption && std::wstring(caption) != search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND WaitForDialog(DWORD pid, const std::vector<HWND>& known, const wchar_t* caption,
                   int timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        DialogSearch search = {pid, &known, caption, nullptr};
        EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        if (GetTickCount() - start >= static_cast<DWORD>(timeoutMs)) return nullptr;
        Sleep(20);
    }
}

bool WaitUntilClosed(HWND window, int timeoutMs) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < static_cast<DWORD>(timeoutMs);
         Sleep(20))
        if (!IsWindow(window) || !IsWindowVisible(window)) return true;
    return false;
}

// ---------------------------------------------------------------------------
// 3. Message boxes
// ---------------------------------------------------------------------------

namespace {

// The message box's text and icon controls. Wine 8 gives the icon the id
// 1088; Windows uses 20. Both give the text 0xFFFF.
constexpr int kBoxText = 0xFFFF;
constexpr int kBoxIconWine = 1088;
constexpr int kBoxIconWindows = 20;

// 32-bit pixels of a w x h area of a device context.
std::vector<DWORD> Pixels(HDC dc, HBITMAP bitmap, int w, int h) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(w) * h);
    GetDIBits(dc, bitmap, 0, h, pixels.data(), &info, DIB_RGB_COLORS);
    for (DWORD& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

// Pixels that differ clearly (anti-aliasing and dithering aside).
int CountDifferent(const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
    int count = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            int x = (a[i] >> shift) & 0xFF, y = (b[i] >> shift) & 0xFF;
            if (x - y > 48 || y - x > 48) { ++count; break; }
        }
    }
    return count;
}

// Which standard icon the box shows. An icon handle means nothing in another
// process, so the icon's pixels on the screen are compared with our own
// drawing of each standard icon on the same background.
BoxIcon ClassifyIcon(HWND box) {
    HWND icon = GetDlgItem(box, kBoxIconWine);
    if (!icon) icon = GetDlgItem(box, kBoxIconWindows);
    if (!icon || !IsWindowVisible(icon)) return BoxIcon::kNone;
    // Wine keeps the icon control of a box without icon, only empty. Its
    // handle is meaningless here, but zero still says "none".
    if (Send(icon, STM_GETICON, 0, 0) == 0) return BoxIcon::kNone;
    struct Candidate { BoxIcon kind; LPCWSTR id; };
    const Candidate candidates[] = {{BoxIcon::kStop, IDI_HAND},
                                    {BoxIcon::kExclamation, IDI_EXCLAMATION},
                                    {BoxIcon::kInformation, IDI_ASTERISK},
                                    {BoxIcon::kQuestion, IDI_QUESTION}};
    const int w = GetSystemMetrics(SM_CXICON), h = GetSystemMetrics(SM_CYICON);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BoxIcon result = BoxIcon::kUnknown;
    // The box may not be painted yet right after it appears: retry briefly.
    for (int attempt = 0; attempt < 40 && result == BoxIcon::kUnknown; ++attempt, Sleep(50)) {
        RECT where;
        GetWindowRect(icon, &where);
        BitBlt(memory, 0, 0, w, h, screen, where.left, where.top, SRCCOPY);
        std::vector<DWORD> shown = Pixels(memory, bitmap, w, h);
        COLORREF background = GetPixel(memory, 0, 0);
        int best = w * h, second = w * h;
        BoxIcon bestKind = BoxIcon::kUnknown;
        for (const Candidate& c : candidates) {
            HBRUSH brush = CreateSolidBrush(background);
            RECT all = {0, 0, w, h};
            FillRect(memory, &all, brush);
            DeleteObject(brush);
            DrawIconEx(memory, 0, 0, LoadIconW(nullptr, c.id), w, h, 0, nullptr, DI_NORMAL);
            int different = CountDifferent(shown, Pixels(memory, bitmap, w, h));
            if (different < best) {
                second = best;
                best = different;
                bestKind = c.kind;
            } else if (different < second) {
                second = different;
            }
        }
        // A clear match: few stray pixels, and far fewer than any other icon.
        if (best * 20 <= w * h && best * 3 < second) result = bestKind;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return result;
}

}  // namespace

bool operator==(const Box& a, const Box& b) {
    return a.caption == b.caption && a.text == b.text && a.icon == b.icon &&
           a.hasCancel == b.hasCancel;
}

void PrintTo(BoxIcon icon, std::ostream* out) {
    static const char* const kNames[] = {"no icon", "stop icon", "exclamation icon",
                                         "information icon", "question icon", "unrecognised icon"};
    *out << kNames[static_cast<int>(icon)];
}

void PrintTo(const Box& box, std::ostream* out) {
    *out << "box captioned " << ::testing::PrintToString(box.caption) << " saying "
         << ::testing::PrintToString(box.text) << " with ";
    PrintTo(box.icon, out);
    *out << (box.hasCancel ? ", OK and Cancel" : ", OK only");
}

Box ReadBox(HWND box) {
    Box result;
    if (!box) return result;
    wchar_t caption[256] = {};
    GetWindowTextW(box, caption, 256);
    result.caption = caption;
    result.text = WindowText(GetDlgItem(box, kBoxText));
    result.hasCancel = GetDlgItem(box, IDCANCEL) != nullptr &&
                       IsWindowVisible(GetDlgItem(box, IDCANCEL));
    result.icon = ClassifyIcon(box);
    return result;
}

void Press(HWND window, int id) {
    // Posted: the press may open a modal box, and a sent message would only
    // return once that box is closed.
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

// ---------------------------------------------------------------------------
// 4. Controls
// ---------------------------------------------------------------------------

LRESULT Ask(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    return Send(GetDlgItem(dialog, id), message, wParam, lParam);
}

std::wstring Text(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

void Type(HWND dialog, int id, const wchar_t* text) {
    Send(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void ClickListEntry(HWND dialog, int index) {
    HWND list = GetDlgItem(dialog, kList);
    // A mouse click moves the selection and then notifies the parent;
    // LB_SETCURSEL alone notifies nobody.
    Send(list, LB_SETCURSEL, index, 0);
    Send(dialog, WM_COMMAND, MAKEWPARAM(kList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

std::vector<std::wstring> ListEntries(HWND dialog) {
    HWND list = GetDlgItem(dialog, kList);
    std::vector<std::wstring> entries;
    LRESULT count = Send(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t entry[256] = {};
        // The W variant: under Wine the A one returns nothing across processes.
        if (Send(list, LB_GETTEXTLEN, i, 0) < 256)
            Send(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(entry));
        entries.push_back(entry);
    }
    return entries;
}

namespace {

BOOL CALLBACK CollectStaticText(HWND child, LPARAM context) {
    if (ClassName(child) == L"Static") {
        std::wstring text = WindowText(child);
        if (!text.empty()) reinterpret_cast<std::vector<std::wstring>*>(context)->push_back(text);
    }
    return TRUE;
}

}  // namespace

std::vector<std::wstring> StaticTexts(HWND dialog) {
    std::vector<std::wstring> texts;
    EnumChildWindows(dialog, CollectStaticText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

// ---------------------------------------------------------------------------
// 5. Registry and files
// ---------------------------------------------------------------------------

namespace {

const wchar_t kSimulatorKey[] = L"Software\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\1.00";

}  // namespace

// The simulator is a 32-bit program: its installer writes the 32-bit view,
// which is where a 64-bit Windows keeps it apart (Wow6432Node).
bool SetSimulatorPath(const std::wstring& path) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSimulatorKey, 0, nullptr, 0,
                        KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG status = RegSetValueExW(key, L"path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                 static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool DeleteSimulatorPathValue() {
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSimulatorKey, 0, nullptr, 0,
                        KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG status = RegDeleteValueW(key, L"path");
    RegCloseKey(key);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool DeleteSimulatorKey() {
    LONG status = RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kSimulatorKey, KEY_WOW64_32KEY, 0);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> FolderEntries(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::wstring& folder) {
    for (const std::wstring& name : FolderEntries(folder)) {
        std::wstring path = folder + L"\\" + name;
        DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            RemoveTree(path);
        else
            DeleteFileW(path.c_str());
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace e2e
