// The real Vantorel.exe on a generated simulator, driven from another process
// as a user would: find its windows, click through window messages, read
// texts, captions and icons back. Every wait is bounded, so a hung or crashed
// program fails a test instead of hanging the run.

#include "catalogue.h"
#include "demo_sim.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr DWORD kWaitMs = 10000;
// The first window in a fresh Wine prefix brings up Wine's desktop and font
// cache: measured at more than 10 s on a 2-core machine.
constexpr DWORD kStartMs = 45000;
// Control ids fixed by the resource script.
constexpr int kList = 1001, kSelected = 1002, kPrefix = 1003, kCopy = 1004, kAbout = 1006;
const wchar_t kSimulatorKey[] = L"Software\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\1.00";

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kWaitMs, &result))
        ADD_FAILURE() << "window did not answer message 0x" << std::hex << message;
    return static_cast<LRESULT>(result);
}

// A window's text or caption. Sent, not GetWindowTextW: for another process's
// edit field that returns the creation text, not what the field holds now.
std::wstring Text(HWND window) {
    wchar_t text[1024] = {};
    Send(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

// Posted, not sent: a click may open a modal box, and a send would only
// return once that box is closed.
void Press(HWND window, int id) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

// The first visible dialog of process `pid` other than `except` (captioned
// `caption` when given); null after the timeout.
HWND WaitForDialog(DWORD pid, HWND except, const wchar_t* caption = nullptr, DWORD timeoutMs = kWaitMs) {
    for (DWORD start = GetTickCount();; Sleep(20)) {
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32770", nullptr)) != nullptr;) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            // Not WM_GETTEXT: a box may be going away while it is asked.
            wchar_t title[64] = {};
            GetWindowTextW(w, title, 64);
            if (owner == pid && w != except && IsWindowVisible(w) && (!caption || caption == std::wstring(title)))
                return w;
        }
        if (GetTickCount() - start >= timeoutMs) return nullptr;
    }
}

bool Closes(HWND window) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitMs; Sleep(20))
        if (!IsWindow(window) || !IsWindowVisible(window)) return true;
    return false;
}

// Which standard icon a message box shows. An icon handle means nothing in
// another process, so the icon's pixels on the screen are compared with our
// own drawing of each candidate on the same background.
const wchar_t* IconOf(HWND box) {
    // Wine gives the icon control the id 1088, Windows 20. Wine keeps it in a
    // box without icon, only empty.
    HWND icon = GetDlgItem(box, 1088) ? GetDlgItem(box, 1088) : GetDlgItem(box, 20);
    if (!icon || !IsWindowVisible(icon) || !Send(icon, STM_GETICON)) return L"no icon";
    // Left half: the icon as shown; right half: a candidate drawn on the same background.
    const int w = GetSystemMetrics(SM_CXICON), h = GetSystemMetrics(SM_CYICON);
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 2 * w, h);
    SelectObject(memory, bitmap);
    auto differs = [](COLORREF a, COLORREF b) {  // beyond anti-aliasing and dithering
        return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
                   std::abs(GetBValue(a) - GetBValue(b)) > 96;
    };
    const struct { const wchar_t* name; LPCWSTR id; } candidates[] = {{L"stop icon", IDI_HAND},
                                                                      {L"exclamation icon", IDI_EXCLAMATION}};
    const wchar_t* result = nullptr;
    // Right after the box appears it may not be painted yet: retry briefly.
    for (int attempt = 0; attempt < 40 && !result; ++attempt, Sleep(50)) {
        RECT where, right = {w, 0, 2 * w, h};
        GetWindowRect(icon, &where);
        BitBlt(memory, 0, 0, w, h, screen, where.left, where.top, SRCCOPY);
        HBRUSH background = CreateSolidBrush(GetPixel(memory, 0, 0));
        for (const auto& candidate : candidates) {
            FillRect(memory, &right, background);
            DrawIconEx(memory, w, 0, LoadIconW(nullptr, candidate.id), w, h, 0, nullptr, DI_NORMAL);
            int changed = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) changed += differs(GetPixel(memory, x, y), GetPixel(memory, w + x, y));
            if (changed * 20 <= w * h) result = candidate.name;
        }
        DeleteObject(background);
    }
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return result ? result : L"unrecognised icon";
}

// A message box as the user sees it: caption, text, icon and buttons.
std::wstring Describe(HWND box) {
    return Text(box) + L" | " + Text(GetDlgItem(box, 0xFFFF)) + L" | " + IconOf(box) +
           (IsWindowVisible(GetDlgItem(box, IDCANCEL)) ? L" | OK, Cancel" : L" | OK");
}

// The simulator's "path" value (null deletes it), in the 32-bit view where
// the simulator's 32-bit installer writes it (Wow6432Node on 64-bit Windows).
bool SetSimulatorPath(const wchar_t* path) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSimulatorKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) return false;
    LONG status = path ? RegSetValueExW(key, L"path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                                        static_cast<DWORD>((std::wstring(path).size() + 1) * sizeof(wchar_t)))
                       : RegDeleteValueW(key, L"path");
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

int IndexOf(const char* name) {
    for (int i = 0; i < GetAircraftCount(); ++i)
        if (std::strcmp(GetAircraftName(i), name) == 0) return i;
    return -1;
}

std::wstring Wide(const char* text) { return std::wstring(text, text + std::strlen(text)); }

size_t EntriesIn(const fs::path& folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

class CopyDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root_ = fs::temp_directory_path() / ("vantorel-e2e-" + std::to_string(GetCurrentProcessId()));
        generated_ = WriteDemoSimulator(root_.string().c_str()) == 0;
    }
    static void TearDownTestSuite() { fs::remove_all(root_); }

    void SetUp() override {
        const char* exe = std::getenv("VANTOREL_EXE");
        if (!exe || !*exe) GTEST_SKIP() << "Vantorel.exe is not built in this tree (VANTOREL_EXE unset)";
        exe_ = (exe[0] == '/' ? L"Z:" : L"") + Wide(exe);  // Wine shows the Linux root as drive Z:
        ASSERT_TRUE(fs::exists(exe_)) << "Vantorel.exe is missing: " << exe;
        ASSERT_TRUE(generated_) << "could not write the demo simulator to " << root_;
        ASSERT_TRUE(SetSimulatorPath(root_.wstring().c_str()));
    }
    void TearDown() override { End(0); }

    bool Start() {
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        return CreateProcessW(exe_.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &app_) != 0;
    }

    // Starts Vantorel.exe and waits for its main dialog.
    void Open() {
        ASSERT_TRUE(Start()) << "could not start Vantorel.exe";
        dialog_ = WaitForDialog(app_.dwProcessId, nullptr, nullptr, kStartMs);
        ASSERT_NE(dialog_, nullptr) << "the main dialog \"Vantorel\" did not appear";
        ASSERT_EQ(Text(dialog_), L"Vantorel") << "instead of the main dialog came " << Describe(dialog_);
    }

    // Gives Vantorel `graceMs` to end by itself, then ends it; true when it ended by itself.
    bool End(DWORD graceMs) {
        if (!app_.hProcess) return false;
        bool ended = WaitForSingleObject(app_.hProcess, graceMs) == WAIT_OBJECT_0;
        TerminateProcess(app_.hProcess, 1);
        WaitForSingleObject(app_.hProcess, kWaitMs);
        CloseHandle(app_.hThread);
        CloseHandle(app_.hProcess);
        app_ = {};
        return ended;
    }

    HWND Item(int id) { return GetDlgItem(dialog_, id); }

    // The box that opens after an action, closed again with `answer`.
    std::wstring BoxAfter(int answer = IDOK) {
        HWND box = WaitForDialog(app_.dwProcessId, dialog_);
        if (!box) return L"no message box";
        std::wstring shown = Describe(box);
        Press(box, answer);
        EXPECT_TRUE(Closes(box)) << "the box did not close";
        return shown;
    }
    std::wstring PressCopy(int answer = IDOK) { Press(dialog_, kCopy); return BoxAfter(answer); }

    // A mouse click moves the selection and then notifies the dialog;
    // LB_SETCURSEL alone notifies nobody.
    void Click(int index) {
        Send(Item(kList), LB_SETCURSEL, index);
        Send(dialog_, WM_COMMAND, MAKEWPARAM(kList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(kList)));
    }
    void TypePrefix(const wchar_t* text) { Send(Item(kPrefix), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }

    // The Selected field, the prefix, its limit and the list selection.
    std::wstring State() {
        return Text(Item(kSelected)) + L"|" + Text(Item(kPrefix)) + L"|" +
               std::to_wstring(Send(Item(kPrefix), EM_GETLIMITTEXT)) + L"|" +
               std::to_wstring(Send(Item(kList), LB_GETCURSEL));
    }

    // LB_GETTEXT in its W form: under Wine the A one returns nothing across processes.
    std::vector<std::wstring> ListEntries() {
        std::vector<std::wstring> entries;
        for (LRESULT i = 0, count = Send(Item(kList), LB_GETCOUNT); i < count; ++i) {
            wchar_t entry[256] = {};
            if (Send(Item(kList), LB_GETTEXTLEN, i) < 256)
                Send(Item(kList), LB_GETTEXT, i, reinterpret_cast<LPARAM>(entry));
            entries.push_back(entry);
        }
        return entries;
    }

    static fs::path root_;
    static bool generated_;
    std::wstring exe_;
    PROCESS_INFORMATION app_ = {};
    HWND dialog_ = nullptr;
};

fs::path CopyDialog::root_;
bool CopyDialog::generated_ = false;

TEST_F(CopyDialog, OpensWithNothingChosenAndClickingAnAircraftChoosesItAndLimitsThePrefix) {
    ASSERT_NO_FATAL_FAILURE(Open());
    std::vector<std::wstring> catalogue;
    for (int i = 0; i < GetAircraftCount(); ++i) catalogue.push_back(Wide(GetAircraftName(i)));
    EXPECT_EQ(ListEntries(), catalogue) << "the list must show the catalogue in order";
    // First entry highlighted, but nothing chosen yet; the prefix field takes 5.
    EXPECT_EQ(State(), L"||5|0");
    EXPECT_EQ(PressCopy(), L"Error! | No aircraft selected | stop icon | OK");

    // Each click changes the limit the one before set: 4, 5, then 3.
    for (const char* name : {"Hurricane_I", "Bf109g", "P38"}) {
        const int i = IndexOf(name);
        TypePrefix(L"ZZ");
        Click(i);
        EXPECT_EQ(State(), Wide(name) + L"||" + std::to_wstring(GetStemLength(i)) + L"|" + std::to_wstring(i))
            << "after clicking " << name;
    }
    // Typing key by key, unlike setting the text, meets the field's limit.
    for (wchar_t key : std::wstring(L"ABCD")) Send(Item(kPrefix), WM_CHAR, key, 1);
    EXPECT_EQ(Text(Item(kPrefix)), L"ABC") << "P38 takes a prefix of at most 3";
}

TEST_F(CopyDialog, CopiesOnlyAfterConfirmationAndReportsEachOutcome) {
    ASSERT_NO_FATAL_FAILURE(Open());
    const fs::path aircraft = root_ / "Aircraft";
    const size_t stock = EntriesIn(aircraft);
    Click(IndexOf("P51d"));
    TypePrefix(L"XY");

    const wchar_t* confirm = L"Confirm Copy | P51d to XY1d | no icon | OK, Cancel";
    EXPECT_EQ(PressCopy(IDCANCEL), confirm);
    // Answered once the dialog waits for input again, so only after any copy.
    EXPECT_EQ(State(), L"P51d|XY|3|" + std::to_wstring(IndexOf("P51d")));
    EXPECT_EQ(EntriesIn(aircraft), stock) << "Cancel must leave the simulator alone";

    EXPECT_EQ(PressCopy(IDOK), confirm);
    EXPECT_EQ(BoxAfter(), L"P51d | Copy Complete | exclamation icon | OK");
    for (const char* file : {"Aircraft.cfg", "XY1d.air", "XY1d.dp", "Model/Model.cfg", "Model/XY1d_n.mdl",
                             "Texture/XY1_l_side.bmp", "Sound/sound.cfg", "Panel/panel.cfg"})
        EXPECT_TRUE(fs::exists(aircraft / "XY1d" / file)) << "missing from the new aircraft: XY1d/" << file;
    // The new aircraft does not join the list; the next confirmation shows the
    // dialog kept the aircraft and the prefix.
    EXPECT_EQ(ListEntries().size(), static_cast<size_t>(GetAircraftCount()));

    EXPECT_EQ(PressCopy(IDOK), confirm);
    EXPECT_EQ(BoxAfter(), L"UNABLE TO COPY! | folder XY1d exists - use a different prefix | stop icon | OK");
    TypePrefix(L"A:");
    EXPECT_EQ(PressCopy(IDOK), L"Confirm Copy | P51d to A:1d | no icon | OK, Cancel");
    EXPECT_EQ(BoxAfter(),
              L"UNABLE TO COPY! | A:1d is not a valid folder name - use a different prefix | stop icon | OK");
    EXPECT_EQ(EntriesIn(aircraft), stock + 1) << "a refused copy must create nothing";
}

TEST_F(CopyDialog, AboutBoxOpensFromButtonAndSystemMenuAndOtherSystemCommandsStillWork) {
    ASSERT_NO_FATAL_FAILURE(Open());
    Click(IndexOf("Spitfire_MkI"));
    TypePrefix(L"Ab");
    const std::wstring before = State();
    // Windows keeps the low four bits of a system command for itself: 31 is
    // the About item too. No system command: the About button.
    const struct { const char* how; WPARAM sysCommand; } openings[] = {
        {"About button", 0}, {"system menu item", 16}, {"system command 31", 31}};
    for (const auto& opening : openings) {
        if (opening.sysCommand)
            PostMessageW(dialog_, WM_SYSCOMMAND, opening.sysCommand, 0);
        else
            Press(dialog_, kAbout);
        HWND about = WaitForDialog(app_.dwProcessId, dialog_, L"About Vantorel");
        ASSERT_NE(about, nullptr) << "no About box from the " << opening.how;
        EXPECT_NE(FindWindowExW(about, nullptr, L"Static", L"Vantorel 1.02"), nullptr)
            << "the About box from the " << opening.how << " must say \"Vantorel 1.02\"";
        Press(about, IDOK);
        EXPECT_TRUE(Closes(about)) << "OK did not close the About box";
        EXPECT_EQ(State(), before) << "after the About box from the " << opening.how;
    }
    PostMessageW(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(End(kWaitMs)) << "the close command did not end Vantorel";
}

TEST_F(CopyDialog, ReportsAMissingSimulatorAndOpensWithAnEmptyList) {
    const struct { const char* what; bool (*remove)(); const wchar_t* box; } cases[] = {
        {"path value", [] { return SetSimulatorPath(nullptr); }, L"Registry Error | CFS path not found! | stop icon | OK"},
        {"simulator key", [] { return RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kSimulatorKey, KEY_WOW64_32KEY, 0) == 0; },
         L"Registry Error | CFS not installed! | stop icon | OK"},
    };
    for (const auto& missing : cases) {
        SCOPED_TRACE(missing.what);
        ASSERT_TRUE(missing.remove());
        ASSERT_TRUE(Start());
        // The box comes while the dialog opens, before the dialog shows.
        HWND box = WaitForDialog(app_.dwProcessId, nullptr, nullptr, kStartMs);
        ASSERT_NE(box, nullptr) << "no box about the registry appeared";
        EXPECT_EQ(WaitForDialog(app_.dwProcessId, box, L"Vantorel", 0), nullptr)
            << "the dialog showed before the registry box was answered";
        EXPECT_EQ(Describe(box), missing.box);
        Press(box, IDOK);
        dialog_ = WaitForDialog(app_.dwProcessId, nullptr, L"Vantorel");
        ASSERT_NE(dialog_, nullptr) << "the dialog must still open";
        EXPECT_TRUE(ListEntries().empty());
        EXPECT_EQ(PressCopy(), L"Error! | No aircraft selected | stop icon | OK");
        Press(dialog_, IDCANCEL);
        EXPECT_TRUE(End(kWaitMs)) << "Quit did not end Vantorel";
    }
}

}  // namespace
