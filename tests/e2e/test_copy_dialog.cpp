// The real Vantorel.exe on a generated simulator, driven from another process
// as a user would: find its windows, click through window messages, read
// texts, captions and icons back. Every wait is bounded, so a hung or crashed
// program fails a test instead of hanging the run.

#include "catalogue.h"
#include "demo_sim.h"
#include "game_loader.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
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
constexpr int kFindCfs = 1007, kOpenFolder = 1008, kTitle = 1009, kCopies = 1010, kCopiesList = 1011,
              kCopiesRemove = 1013;

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kWaitMs, &result))
        ADD_FAILURE() << "window did not answer message 0x" << std::hex << message;
    return static_cast<LRESULT>(result);
}

// Sent, not GetWindowTextW: for another process's edit field that returns
// the creation text, not what the field holds now.
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
            int changed = 0;  // pixels apart by more than anti-aliasing and dithering
            for (int i = 0; i < w * h; ++i) {
                COLORREF a = GetPixel(memory, i % w, i / w), b = GetPixel(memory, w + i % w, i / w);
                changed += std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
                               std::abs(GetBValue(a) - GetBValue(b)) > 96;
            }
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
    const wchar_t* buttons = IsWindowVisible(GetDlgItem(box, IDYES))      ? L" | Yes, No"
                             : IsWindowVisible(GetDlgItem(box, IDCANCEL)) ? L" | OK, Cancel"
                                                                          : L" | OK";
    return Text(box) + L" | " + Text(GetDlgItem(box, 0xFFFF)) + L" | " + IconOf(box) + buttons;
}

// The first child window of `parent` of class `cls`, at any depth.
HWND ChildOfClass(HWND parent, const wchar_t* cls) {
    struct Search { const wchar_t* cls; HWND found; } search = {cls, nullptr};
    EnumChildWindows(parent, [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        wchar_t name[64] = {};
        GetClassNameW(w, name, 64);
        if (_wcsicmp(name, s->cls) != 0) return TRUE;
        s->found = w;
        return FALSE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Walks the system folder picker's tree to `target` as a player clicks
// through it: each item clicked shows its name in the picker's Folder box,
// which is how the walk tells the items apart (an item's own text lives in
// the picker's process). Items are expanded as a click on their + does.
// Returns what it saw when it got lost.
std::wstring WalkPickerTo(HWND picker, const fs::path& target) {
    HWND tree = ChildOfClass(picker, L"SysTreeView32"), box = ChildOfClass(picker, L"Edit");
    if (!tree || !box) return L"no tree or no Folder box";
    auto item = [&](WPARAM how, HTREEITEM from) {
        return reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
    };
    auto click = [&](HTREEITEM it) {
        Send(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(it));
        return Text(box);
    };
    // The drive first: its item is named after the drive letter, at most two
    // levels below the desktop.
    const std::wstring drive = target.root_name().wstring();  // "C:"
    std::wstring seen;
    HTREEITEM at = nullptr;
    std::vector<HTREEITEM> level = {item(TVGN_ROOT, nullptr)};
    for (int depth = 0; depth < 3 && !at; ++depth) {
        std::vector<HTREEITEM> next;
        for (HTREEITEM parent : level) {
            for (HTREEITEM it = parent; it && !at; it = item(TVGN_NEXT, it)) {
                std::wstring name = click(it);
                seen += name + L"; ";
                if (name.find(drive) != std::wstring::npos) at = it;
                Send(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(it));
                if (HTREEITEM child = item(TVGN_CHILD, it)) next.push_back(child);
            }
        }
        level = next;
    }
    if (!at) return L"no drive " + drive + L" among: " + seen;
    for (const fs::path& part : target.relative_path()) {
        Send(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(at));
        HTREEITEM found = nullptr;
        seen.clear();
        for (HTREEITEM it = item(TVGN_CHILD, at); it && !found; it = item(TVGN_NEXT, it)) {
            std::wstring name = click(it);
            seen += name + L"; ";
            if (_wcsicmp(name.c_str(), part.c_str()) == 0) found = it;
        }
        if (!found) return L"no " + part.wstring() + L" among: " + seen;
        at = found;
    }
    click(at);
    return L"";
}

// The folder remembered for this Windows user, or "(none)".
std::wstring RememberedFolder() {
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Vantorel", L"path", RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
        return L"(none)";
    return value;
}

// The first "title=" value of a file, as the simulator reads it.
std::string FirstTitle(const fs::path& cfg) {
    std::ifstream in(cfg, std::ios::binary);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("title=", 0) == 0) return line.substr(6, line.find('\r') - 6);
    return "(no title)";
}

// The simulator's "path" value (null deletes it), in the 32-bit view where
// the simulator's 32-bit installer writes it (Wow6432Node on 64-bit Windows).
bool SetSimulatorPath(const wchar_t* path) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\1.00",
                        0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG status = path ? RegSetValueExW(key, L"path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                                        static_cast<DWORD>((wcslen(path) + 1) * sizeof(wchar_t)))
                       : RegDeleteValueW(key, L"path");
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

size_t EntriesIn(const fs::path& folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

class CopyDialog : public ::testing::Test {
protected:
    void SetUp() override {
        const char* exe = std::getenv("VANTOREL_EXE");
        if (!exe || !*exe) GTEST_SKIP() << "Vantorel.exe is not built in this tree (VANTOREL_EXE unset)";
        exe_ = (exe[0] == '/' ? L"Z:" : L"") + fs::path(exe).wstring();  // Wine shows the Linux root as drive Z:
        ASSERT_EQ(WriteDemoSimulator(root_.string().c_str()), 0) << "could not write the demo simulator to " << root_;
        ASSERT_TRUE(SetSimulatorPath(root_.wstring().c_str()));
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Vantorel");  // no folder picked at an earlier start
    }
    void TearDown() override {
        if (app_.hProcess) {
            TerminateProcess(app_.hProcess, 1);
            WaitForSingleObject(app_.hProcess, kWaitMs);
            CloseHandle(app_.hThread);
            CloseHandle(app_.hProcess);
        }
        fs::remove_all(root_);
        fs::remove_all(trash_);
    }

    // Starts Vantorel.exe and waits for the first window it shows.
    void Start() {
        // Wine's Recycle Bin is the Linux desktop's trash under XDG_DATA_HOME:
        // one of the test's own, not the machine user's. Wine hands a
        // program's environment on to the Linux side of the programs it starts.
        // Wine makes the Trash folder there, but not the folder itself.
        std::error_code ignored;
        fs::create_directories(trash_, ignored);
        SetEnvironmentVariableW(L"XDG_DATA_HOME", (L"/tmp/" + trash_.filename().wstring()).c_str());
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessW(exe_.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &app_)) << "could not start Vantorel.exe";
        dialog_ = WaitForDialog(app_.dwProcessId, nullptr, nullptr, kStartMs);
        ASSERT_NE(dialog_, nullptr) << "Vantorel showed no window";
        // Shown is not yet answering: while Wine's desktop comes up the
        // program's first window can stay busy for seconds.
        DWORD_PTR answer;
        for (DWORD start = GetTickCount(); !SendMessageTimeoutW(dialog_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer);)
            ASSERT_LT(GetTickCount() - start, kStartMs) << "Vantorel's first window does not answer";
    }
    void Open() {
        ASSERT_NO_FATAL_FAILURE(Start());
        ASSERT_EQ(Text(dialog_), L"Vantorel") << "instead of the main dialog came " << Describe(dialog_);
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
    // LB_SETCURSEL alone notifies nobody. An aircraft missing from the list
    // clears the selection.
    void Click(const wchar_t* aircraft) {
        Send(Item(kList), LB_SETCURSEL, Send(Item(kList), LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(aircraft)));
        Send(dialog_, WM_COMMAND, MAKEWPARAM(kList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(kList)));
    }
    void TypePrefix(const wchar_t* text) { Send(Item(kPrefix), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }
    // Ends Vantorel with Quit and waits until it is gone.
    void Quit() {
        Press(dialog_, IDCANCEL);
        EXPECT_EQ(WaitForSingleObject(app_.hProcess, kWaitMs), WAIT_OBJECT_0) << "Quit did not end Vantorel";
        CloseHandle(app_.hThread);
        CloseHandle(app_.hProcess);
        app_ = {};
    }

    // The Selected field, the prefix and its limit.
    std::wstring State() {
        return Text(Item(kSelected)) + L"|" + Text(Item(kPrefix)) + L"|" +
               std::to_wstring(Send(Item(kPrefix), EM_GETLIMITTEXT));
    }

    const fs::path root_ = fs::temp_directory_path() / ("vantorel-e2e-" + std::to_string(GetCurrentProcessId()));
    // Linux's /tmp, which Wine shows as Z:\tmp.
    const fs::path trash_ = fs::path(L"Z:\\tmp") / ("vantorel-trash-" + std::to_string(GetCurrentProcessId()));
    std::wstring exe_;
    PROCESS_INFORMATION app_ = {};
    HWND dialog_ = nullptr;
};

TEST_F(CopyDialog, OpensWithNothingChosenAndClickingAnAircraftChoosesItAndLimitsThePrefix) {
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(Send(Item(kList), LB_GETCOUNT), GetAircraftCount());
    EXPECT_EQ(State(), L"||5") << "nothing chosen yet; the prefix field takes 5";
    EXPECT_EQ(PressCopy(), L"Error! | No aircraft selected | stop icon | OK");
    // Each click empties the prefix and changes the limit the one before set.
    const struct { const wchar_t* name; int stem; } clicks[] = {{L"Hurricane_I", 4}, {L"Bf109g", 5}, {L"P38", 3}};
    for (const auto& click : clicks) {
        TypePrefix(L"ZZ");
        Click(click.name);
        EXPECT_EQ(State(), click.name + (L"||" + std::to_wstring(click.stem)));
    }
}

TEST_F(CopyDialog, CopiesOnlyAfterConfirmationAndReportsEachOutcome) {
    ASSERT_NO_FATAL_FAILURE(Open());
    const fs::path aircraft = root_ / "Aircraft";
    const size_t stock = EntriesIn(aircraft);
    Click(L"P51d");
    TypePrefix(L"XY");

    const wchar_t* confirm = L"Confirm Copy | P51d to XY1d | no icon | OK, Cancel";
    EXPECT_EQ(PressCopy(IDCANCEL), confirm);
    // Answered once the dialog waits for input again, so only after any copy.
    EXPECT_EQ(State(), L"P51d|XY|3");
    EXPECT_EQ(EntriesIn(aircraft), stock) << "Cancel must leave the simulator alone";

    EXPECT_EQ(PressCopy(IDOK), confirm);
    EXPECT_EQ(BoxAfter(), L"P51d | Copy Complete | exclamation icon | OK");
    // The copy loads as the game loads it: everything the stock aircraft loads.
    const std::vector<std::string> stockLoads = LoadAircraftAsTheGameDoes(aircraft.string(), "P51d");
    EXPECT_EQ(LoadAircraftAsTheGameDoes(aircraft.string(), "XY1d"), stockLoads);
    EXPECT_TRUE(fs::exists(aircraft / "XY1d" / "Texture" / "XY1_l_side.bmp"));

    // The dialog kept the aircraft and the prefix, so the same copy again meets its own folder.
    EXPECT_EQ(PressCopy(IDOK), confirm);
    EXPECT_EQ(BoxAfter(), L"UNABLE TO COPY! | folder XY1d exists - use a different prefix | stop icon | OK");
    TypePrefix(L"A:");
    EXPECT_EQ(PressCopy(IDOK), L"Confirm Copy | P51d to A:1d | no icon | OK, Cancel");
    EXPECT_EQ(BoxAfter(),
              L"UNABLE TO COPY! | A:1d is not a valid folder name - use a different prefix | stop icon | OK");
    EXPECT_EQ(EntriesIn(aircraft), stock + 1) << "a refused copy must create nothing";
}

TEST_F(CopyDialog, AboutBoxOpensFromButtonAndSystemMenuAndQuitEnds) {
    ASSERT_NO_FATAL_FAILURE(Open());
    Click(L"Spitfire_MkI");
    TypePrefix(L"Ab");
    for (bool fromMenu : {false, true}) {
        SCOPED_TRACE(fromMenu ? "About item of the system menu" : "About button");
        if (fromMenu)
            PostMessageW(dialog_, WM_SYSCOMMAND, 16, 0);
        else
            Press(dialog_, kAbout);
        HWND about = WaitForDialog(app_.dwProcessId, dialog_, L"About Vantorel");
        ASSERT_NE(about, nullptr) << "no About box";
        EXPECT_NE(FindWindowExW(about, nullptr, L"Static", L"Vantorel 1.02"), nullptr) << "no \"Vantorel 1.02\"";
        Press(about, IDOK);
        EXPECT_TRUE(Closes(about)) << "OK did not close the About box";
        EXPECT_EQ(State(), L"Spitfire_MkI|Ab|4") << "the About box must leave the dialog as it was";
    }
    Press(dialog_, IDCANCEL);
    EXPECT_EQ(WaitForSingleObject(app_.hProcess, kWaitMs), WAIT_OBJECT_0) << "Quit did not end Vantorel";
}

TEST_F(CopyDialog, WithoutTheRegistryEntryThePlayerFindsTheSimulatorInThePickerAndTheNextStartRemembersIt) {
    ASSERT_TRUE(SetSimulatorPath(nullptr));
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(Describe(dialog_), L"Registry Error | CFS path not found! | stop icon | OK");
    Press(dialog_, IDOK);
    dialog_ = WaitForDialog(app_.dwProcessId, nullptr, L"Vantorel");
    ASSERT_NE(dialog_, nullptr);
    ASSERT_EQ(Send(Item(kList), LB_GETCOUNT), 0);

    Press(dialog_, kFindCfs);
    HWND picker = WaitForDialog(app_.dwProcessId, dialog_);
    ASSERT_NE(picker, nullptr) << "no folder picker";
    // The simulator's folder, not its Aircraft folder: the picker's usual answer.
    EXPECT_EQ(WalkPickerTo(picker, root_), L"");
    Press(picker, IDOK);
    EXPECT_TRUE(Closes(picker));
    EXPECT_EQ(Send(Item(kList), LB_GETCOUNT), GetAircraftCount()) << "the choice fills the list";
    EXPECT_EQ(_wcsicmp(RememberedFolder().c_str(), root_.wstring().c_str()), 0) << RememberedFolder();
    Click(L"P51d");
    EXPECT_EQ(PressCopy(), L"Confirm Copy | P51d to P51d | no icon | OK, Cancel") << "copies go to the picked folder";
    EXPECT_EQ(BoxAfter(), L"UNABLE TO COPY! | folder P51d exists - use a different prefix | stop icon | OK");
    Quit();

    // The next start finds the simulator by itself, without the registry's box.
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(Send(Item(kList), LB_GETCOUNT), GetAircraftCount());
}

TEST_F(CopyDialog, AnEditedInGameNameBecomesTheCopysTitleAndTheCopiesDialogRemovesOneCopy) {
    ASSERT_NO_FATAL_FAILURE(Open());
    const fs::path aircraft = root_ / "Aircraft";
    EXPECT_FALSE(IsWindowEnabled(Item(kOpenFolder))) << "nothing to open before a copy";
    Click(L"P51d");
    TypePrefix(L"XY");
    EXPECT_EQ(Text(Item(kTitle)), L"XY11D Mustang") << "the title an unedited copy gets";
    Send(Item(kTitle), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Red Tail"));
    EXPECT_EQ(PressCopy(), L"Confirm Copy | P51d to XY1d | no icon | OK, Cancel");
    EXPECT_EQ(BoxAfter(), L"P51d | Copy Complete | exclamation icon | OK");
    EXPECT_EQ(FirstTitle(aircraft / "XY1d" / "Aircraft.cfg"), "Red Tail");
    EXPECT_TRUE(IsWindowEnabled(Item(kOpenFolder)));

    // Unedited: the name the field shows is what the copy gets.
    TypePrefix(L"AB");
    EXPECT_EQ(PressCopy(), L"Confirm Copy | P51d to AB1d | no icon | OK, Cancel");
    EXPECT_EQ(BoxAfter(), L"P51d | Copy Complete | exclamation icon | OK");
    EXPECT_EQ(FirstTitle(aircraft / "AB1d" / "Aircraft.cfg"), "AB11D Mustang");
    EXPECT_EQ(PressCopy(), L"Confirm Copy | P51d to AB1d | no icon | OK, Cancel");
    EXPECT_EQ(BoxAfter(), L"UNABLE TO COPY! | folder AB1d exists - use a different prefix | stop icon | OK");
    EXPECT_FALSE(IsWindowEnabled(Item(kOpenFolder))) << "a failed copy leaves nothing to open";
    // A prefix character without an ANSI form is refused before anything is
    // asked; read as ANSI it would have been the look-alike "O".
    TypePrefix(L"\u03a9");
    EXPECT_EQ(PressCopy(), L"UNABLE TO COPY! | The prefix has characters that CFS cannot read in a folder name - "
                           L"use a different prefix | stop icon | OK");

    Press(dialog_, kCopies);
    HWND copies = WaitForDialog(app_.dwProcessId, dialog_, L"Vantorel copies");
    ASSERT_NE(copies, nullptr) << "no Copies dialog";
    HWND list = GetDlgItem(copies, kCopiesList);
    auto entries = [&] {
        std::wstring all;
        for (LRESULT i = 0, n = Send(list, LB_GETCOUNT); i < n; ++i) {
            wchar_t text[256] = {};
            Send(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            all += text + std::wstring(L"\n");
        }
        return all;
    };
    EXPECT_EQ(entries(), L"AB1d\tP51d\tAB11D Mustang\tcomplete\nXY1d\tP51d\tRed Tail\tcomplete\n");
    Send(list, LB_SETCURSEL, Send(list, LB_FINDSTRING, -1, reinterpret_cast<LPARAM>(L"XY1d")));
    Press(copies, kCopiesRemove);
    HWND ask = WaitForDialog(app_.dwProcessId, copies, L"Vantorel copies");
    ASSERT_NE(ask, nullptr) << "no confirmation";
    EXPECT_EQ(Text(GetDlgItem(ask, 0xFFFF)), L"Move XY1d (\"Red Tail\" in the game) to the Recycle Bin?");
    Press(ask, IDYES);
    EXPECT_TRUE(Closes(ask));
    EXPECT_EQ(entries(), L"AB1d\tP51d\tAB11D Mustang\tcomplete\n");
    EXPECT_FALSE(fs::exists(aircraft / "XY1d"));
    EXPECT_TRUE(fs::exists(aircraft / "AB1d" / "Aircraft.cfg"));
    // Under Wine the Recycle Bin is the Linux trash (XDG_DATA_HOME/Trash, set by Start).
    EXPECT_TRUE(fs::exists(trash_ / "Trash" / "files" / "XY1d" / "Aircraft.cfg")) << "not in the trash: " << trash_;
    Press(copies, IDCANCEL);
    EXPECT_TRUE(Closes(copies));
}

TEST_F(CopyDialog, ReportsAMissingSimulatorPathAndOpensWithAnEmptyList) {
    ASSERT_TRUE(SetSimulatorPath(nullptr));
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(Describe(dialog_), L"Registry Error | CFS path not found! | stop icon | OK")
        << "the box must come first, before the dialog shows";
    Press(dialog_, IDOK);
    dialog_ = WaitForDialog(app_.dwProcessId, nullptr, L"Vantorel");
    ASSERT_NE(dialog_, nullptr) << "the dialog must still open";
    EXPECT_EQ(Send(Item(kList), LB_GETCOUNT), 0);
    EXPECT_EQ(PressCopy(), L"Error! | No aircraft selected | stop icon | OK");
    // Other system commands still reach Windows.
    PostMessageW(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(WaitForSingleObject(app_.hProcess, kWaitMs), WAIT_OBJECT_0) << "the close command did not end Vantorel";
}

}  // namespace
