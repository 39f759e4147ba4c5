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
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr DWORD kWaitMs = 10000;
// The first window in a fresh Wine prefix brings up Wine's desktop and font
// cache: measured at more than 10 s on a 2-core machine.
constexpr DWORD kStartMs = 45000;
// Control ids fixed by the resource script.
constexpr int kList = 1001, kSelected = 1002, kPrefix = 1003, kCopy = 1004;
constexpr int kFindCfs = 1007, kTitle = 1009, kCopies = 1010, kCopiesList = 1011, kCopiesRemove = 1013;
constexpr int kCopiesExport = 1014, kCopiesApply = 1015;
// The file picker's File name box: an edit field inside this combo box.
constexpr int kFileNameCombo = 0x47c;

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
// `caption` when given); null after the timeout. GetWindowTextW, not
// WM_GETTEXT: a box may be going away while it is asked.
HWND WaitForDialog(DWORD pid, HWND except, const wchar_t* caption = nullptr, DWORD timeoutMs = kWaitMs) {
    for (DWORD start = GetTickCount();; Sleep(20)) {
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32770", nullptr)) != nullptr;) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            wchar_t title[64] = {};
            GetWindowTextW(w, title, 64);
            if (owner == pid && w != except && IsWindowVisible(w) && (!caption || caption == std::wstring(title)))
                return w;
        }
        if (GetTickCount() - start >= timeoutMs) return nullptr;
    }
}

// The visible dialog that `owner` opened, a picker or a box: the main
// dialog stays visible under a dialog of its own.
HWND WaitForOwnedBy(HWND owner) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitMs; Sleep(20))
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32770", nullptr)) != nullptr;)
            if (GetWindow(w, GW_OWNER) == owner && IsWindowVisible(w)) return w;
    return nullptr;
}

// With VANTOREL_POSE_DIR set, says "NAME.ready" there and waits (at most a
// minute) for "NAME.done": time for a screenshot from outside.
void Pose(const char* name) {
    const char* dir = std::getenv("VANTOREL_POSE_DIR");
    if (!dir || !*dir) return;
    std::ofstream(fs::path(dir) / (std::string(name) + ".ready")) << name;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 60000; Sleep(100))
        if (fs::exists(fs::path(dir) / (std::string(name) + ".done"))) return;
}

std::string Contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Closes(HWND window) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitMs; Sleep(20))
        if (!IsWindow(window) || !IsWindowVisible(window)) return true;
    return false;
}

// A message box as the user sees it: caption, text, icon and buttons. Which
// icon is checked natively: the dialog hands its box type to MessageBoxA
// as it is. Wine gives the icon control the id 1088 (and keeps it, empty, in
// a box without icon), Windows 20.
std::wstring Describe(HWND box) {
    HWND icon = GetDlgItem(box, 1088) ? GetDlgItem(box, 1088) : GetDlgItem(box, 20);
    const bool shown = icon && IsWindowVisible(icon) && Send(icon, STM_GETICON);
    const wchar_t* buttons = IsWindowVisible(GetDlgItem(box, IDYES))      ? L" | Yes, No"
                             : IsWindowVisible(GetDlgItem(box, IDCANCEL)) ? L" | OK, Cancel"
                                                                          : L" | OK";
    return Text(box) + L" | " + Text(GetDlgItem(box, 0xFFFF)) + (shown ? L" | icon" : L" | no icon") + buttons;
}

// The first child window of `parent` of class `cls`, at any depth.
struct ClassSearch {
    const wchar_t* cls;
    HWND found;
};
BOOL CALLBACK MatchClass(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<ClassSearch*>(p);
    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    if (_wcsicmp(name, s->cls) != 0) return TRUE;
    s->found = w;
    return FALSE;
}
HWND ChildOfClass(HWND parent, const wchar_t* cls) {
    ClassSearch search = {cls, nullptr};
    EnumChildWindows(parent, MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A report-view list view of another process keeps its texts in that
// process: an LVITEMW and its text buffer are placed there, the list view is
// asked with their address, and the text is read back.
class RemoteTable {
public:
    RemoteTable(HWND list, HANDLE process)
        : list_(list), process_(process),
          memory_(static_cast<char*>(VirtualAllocEx(process, nullptr, kSize, MEM_COMMIT, PAGE_READWRITE))) {}
    ~RemoteTable() { VirtualFreeEx(process_, memory_, 0, MEM_RELEASE); }

    int Rows() { return static_cast<int>(Send(list_, LVM_GETITEMCOUNT)); }
    int Columns() { return static_cast<int>(Send(reinterpret_cast<HWND>(Send(list_, LVM_GETHEADER)), HDM_GETITEMCOUNT)); }
    std::wstring Cell(int row, int column) {
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = reinterpret_cast<wchar_t*>(memory_ + sizeof item);
        item.cchTextMax = kChars;
        WriteProcessMemory(process_, memory_, &item, sizeof item, nullptr);
        Send(list_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(memory_));
        wchar_t text[kChars + 1] = {};
        ReadProcessMemory(process_, item.pszText, text, kChars * sizeof(wchar_t), nullptr);
        return text;
    }
    // Every row, its cells parted by tabs, one line each.
    std::wstring All() {
        std::wstring all;
        for (int r = 0, n = Rows(); r < n; ++r)
            for (int c = 0, m = Columns(); c < m; ++c) all += Cell(r, c) + (c + 1 < m ? L"\t" : L"\n");
        return all;
    }
    // Chooses a row as a click does; the list view notifies its dialog.
    void Choose(int row) {
        LVITEMW item = {};
        item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
        WriteProcessMemory(process_, memory_, &item, sizeof item, nullptr);
        Send(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(memory_));
    }

private:
    static constexpr int kChars = 1024;
    static constexpr SIZE_T kSize = sizeof(LVITEMW) + (kChars + 1) * sizeof(wchar_t);
    HWND list_;
    HANDLE process_;
    char* memory_;
};

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
            Forget();
        }
        fs::remove_all(root_);
        fs::remove_all(trash_);
    }
    void Forget() {
        CloseHandle(app_.hThread);
        CloseHandle(app_.hProcess);
        app_ = {};
    }

    // Starts Vantorel.exe and waits until its first window answers.
    void Start() {
        // Wine's Recycle Bin is the Linux desktop's trash under XDG_DATA_HOME,
        // here one of the test's own; Wine hands a program's environment on to
        // the Linux side and makes the Trash folder there, not the folder itself.
        std::error_code ignored;
        fs::create_directories(trash_, ignored);
        SetEnvironmentVariableW(L"XDG_DATA_HOME", (L"/tmp/" + trash_.filename().wstring()).c_str());
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessW(exe_.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &app_)) << "could not start Vantorel.exe";
        dialog_ = WaitForDialog(app_.dwProcessId, nullptr, nullptr, kStartMs);
        ASSERT_NE(dialog_, nullptr) << "Vantorel showed no window";
        // Shown is not yet answering: while Wine's desktop comes up the window can stay busy for seconds.
        DWORD_PTR answer;
        for (DWORD start = GetTickCount(); !SendMessageTimeoutW(dialog_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer);)
            ASSERT_LT(GetTickCount() - start, kStartMs) << "Vantorel's first window does not answer";
    }
    void Open() {
        ASSERT_NO_FATAL_FAILURE(Start());
        ASSERT_EQ(Text(dialog_), L"Vantorel") << "instead of the main dialog came " << Describe(dialog_);
    }
    // Waits until Vantorel has ended after `how`.
    void EndsAfter(const char* how) {
        EXPECT_EQ(WaitForSingleObject(app_.hProcess, kWaitMs), WAIT_OBJECT_0) << how << " did not end Vantorel";
        Forget();
    }

    HWND Item(int id) { return GetDlgItem(dialog_, id); }
    size_t Listed() { return Send(Item(kList), LB_GETCOUNT); }

    // The box that opens after an action, closed again with `answer`.
    std::wstring BoxAfter(int answer = IDOK) { return Answer(WaitForDialog(app_.dwProcessId, dialog_), answer); }
    // The box that `owner` opens, closed with `answer`.
    std::wstring BoxOf(HWND owner, int answer) { return Answer(WaitForOwnedBy(owner), answer); }
    std::wstring Answer(HWND box, int answer) {
        if (!box) return L"no message box";
        std::wstring shown = Describe(box);
        Press(box, answer);
        EXPECT_TRUE(Closes(box)) << "the box did not close";
        return shown;
    }
    std::wstring PressCopy(int answer = IDOK) { Press(dialog_, kCopy); return BoxAfter(answer); }

    // A mouse click moves the selection and then notifies the dialog;
    // LB_SETCURSEL alone notifies nobody.
    void Click(const wchar_t* aircraft) {
        Send(Item(kList), LB_SETCURSEL, Send(Item(kList), LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(aircraft)));
        Send(dialog_, WM_COMMAND, MAKEWPARAM(kList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(kList)));
    }
    void Type(int id, const wchar_t* text) { Send(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }
    // The key goes through the dialog's own message loop, which turns Enter
    // into its OK command as the keyboard does.
    void PressEnterIn(int id) {
        PostMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
        PostMessageW(Item(id), WM_KEYDOWN, VK_RETURN, 1);
        PostMessageW(Item(id), WM_KEYUP, VK_RETURN, 0xC0000001);
    }

    // The Selected field, the prefix and its limit.
    std::wstring State() {
        return Text(Item(kSelected)) + L"|" + Text(Item(kPrefix)) + L"|" +
               std::to_wstring(Send(Item(kPrefix), EM_GETLIMITTEXT));
    }

    const fs::path root_ = fs::temp_directory_path() / ("vantorel-e2e-" + std::to_string(GetCurrentProcessId()));
    const fs::path aircraft_ = root_ / "Aircraft";
    // Linux's /tmp, which Wine shows as Z:\tmp.
    const fs::path trash_ = fs::path(L"Z:\\tmp") / ("vantorel-trash-" + std::to_string(GetCurrentProcessId()));
    std::wstring exe_;
    PROCESS_INFORMATION app_ = {};
    HWND dialog_ = nullptr;
};

TEST_F(CopyDialog, APlayerChoosesCopiesNamesAndRemovesCopiesOpensAboutAndQuits) {
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(Listed(), GetAircraftCount());
    EXPECT_EQ(State(), L"||5") << "nothing chosen yet; the prefix field takes 5";
    EXPECT_EQ(PressCopy(), L"Error! | No aircraft selected | icon | OK");
    Type(kPrefix, L"ZZ");
    Click(L"P51d");
    EXPECT_EQ(State(), L"P51d||3") << "a click chooses, empties the prefix and limits it to the stem";
    Type(kPrefix, L"XY");
    EXPECT_EQ(Text(Item(kTitle)), L"XY11D Mustang") << "the title an unedited copy gets";

    // The system menu's About item; the button reaches the same handler.
    PostMessageW(dialog_, WM_SYSCOMMAND, 16, 0);
    HWND about = WaitForDialog(app_.dwProcessId, dialog_, L"About Vantorel");
    ASSERT_NE(about, nullptr) << "no About box";
    EXPECT_NE(FindWindowExW(about, nullptr, L"Static", L"Vantorel 1.02"), nullptr) << "no \"Vantorel 1.02\"";
    Press(about, IDOK);
    EXPECT_TRUE(Closes(about)) << "OK did not close the About box";
    EXPECT_EQ(State(), L"P51d|XY|3") << "the About box must leave the dialog as it was";

    // A typed name stays the player's while the prefix is corrected, and
    // Enter while typing it leaves everything as it was.
    Type(kTitle, L"Red Tail");
    Type(kPrefix, L"XZ");
    Type(kPrefix, L"XY");
    EXPECT_EQ(Text(Item(kTitle)), L"Red Tail") << "correcting the prefix lost the typed in-game name";
    PressEnterIn(kTitle);
    ASSERT_EQ(WaitForSingleObject(app_.hProcess, 1000), DWORD(WAIT_TIMEOUT)) << "Enter in the In-game name field ended Vantorel";
    EXPECT_EQ(State(), L"P51d|XY|3");
    EXPECT_EQ(Text(Item(kTitle)), L"Red Tail");
    EXPECT_EQ(PressCopy(), L"Confirm Copy | P51d to XY1d | no icon | OK, Cancel");
    EXPECT_EQ(BoxAfter(), L"P51d | Copy Complete | icon | OK");
    // The copy loads as the game loads it: everything the stock aircraft loads.
    EXPECT_EQ(LoadAircraftAsTheGameDoes(aircraft_.string(), "XY1d"), LoadAircraftAsTheGameDoes(aircraft_.string(), "P51d"));

    // A second copy for the Copies dialog; meeting its own folder, the same copy is refused.
    Type(kTitle, L"");
    Type(kPrefix, L"AB");
    for (const wchar_t* result : {L"P51d | Copy Complete", L"UNABLE TO COPY! | folder AB1d exists - use a different prefix"}) {
        EXPECT_EQ(PressCopy(), L"Confirm Copy | P51d to AB1d | no icon | OK, Cancel");
        EXPECT_EQ(BoxAfter(), result + std::wstring(L" | icon | OK"));
    }
    // Without an ANSI form the character is refused before anything is asked;
    // read as ANSI it would have been the look-alike "O".
    Type(kPrefix, L"\u03a9");
    EXPECT_EQ(PressCopy(), L"UNABLE TO COPY! | The prefix has characters that CFS cannot read in a folder name - "
                           L"use a different prefix | icon | OK");

    // Repaint packages bring their own titles, control characters and all,
    // and the player adds files of their own.
    {
        std::ofstream cfg(aircraft_ / "AB1d" / "Aircraft.cfg", std::ios::binary);
        cfg << "[fltsim.0]\r\ntitle=P-51D Mustang 332nd Fighter Group Red Tails\t\x1b[5m\r\n";
        std::ofstream(aircraft_ / "AB1d" / "readme.txt") << "mine";
    }
    Press(dialog_, kCopies);
    HWND copies = WaitForDialog(app_.dwProcessId, dialog_, L"Vantorel copies");
    ASSERT_NE(copies, nullptr) << "no Copies dialog";
    HWND list = GetDlgItem(copies, kCopiesList);
    RemoteTable table(list, app_.hProcess);
    // The two copies made, and no more, one line each, in words.
    EXPECT_EQ(table.All(), L"AB1d\tP51d\tP-51D Mustang 332nd Fighter Group Red Tails\\t\\x1b[5m\tcomplete, with 1 file of yours\n"
                           L"XY1d\tP51d\tRed Tail\tcomplete\n");
    // However long a name, the state is in view.
    RECT client = {};
    GetClientRect(list, &client);
    int right = 0;
    for (int c = 0; c < table.Columns(); ++c) right += static_cast<int>(Send(list, LVM_GETCOLUMNWIDTH, c));
    EXPECT_LE(right, client.right) << "the State column reaches past the table's right edge";
    table.Choose(1);
    Press(copies, kCopiesRemove);
    HWND ask = WaitForDialog(app_.dwProcessId, copies, L"Vantorel copies");  // the main dialog is no box
    ASSERT_NE(ask, nullptr) << "no confirmation";
    EXPECT_EQ(Describe(ask), L"Vantorel copies | Move XY1d (\"Red Tail\" in the game) to the Recycle Bin? | icon | Yes, No");
    Press(ask, IDYES);
    EXPECT_TRUE(Closes(ask));
    EXPECT_EQ(table.Rows(), 1);
    EXPECT_FALSE(fs::exists(aircraft_ / "XY1d"));
    EXPECT_TRUE(fs::exists(aircraft_ / "AB1d" / "Aircraft.cfg"));
    // Under Wine the Recycle Bin is the Linux trash (XDG_DATA_HOME/Trash, set by Start).
    EXPECT_TRUE(fs::exists(trash_ / "Trash" / "files" / "XY1d" / "Aircraft.cfg")) << "not in the trash: " << trash_;
    // Deleted on disk while the table shows it: said, not asked about.
    fs::remove_all(aircraft_ / "AB1d");
    table.Choose(0);
    Press(copies, kCopiesRemove);
    HWND gone = WaitForDialog(app_.dwProcessId, copies, L"Vantorel copies");
    ASSERT_NE(gone, nullptr) << "no word that AB1d is gone";
    EXPECT_EQ(Describe(gone), L"Vantorel copies | AB1d is not there any more | icon | OK");
    Press(gone, IDOK);
    EXPECT_TRUE(Closes(gone));
    EXPECT_EQ(table.Rows(), 0) << "the table must show what is there now";
    Press(copies, IDCANCEL);
    EXPECT_TRUE(Closes(copies));

    // Enter in the fields of old still ends the program.
    PressEnterIn(kPrefix);
    EndsAfter("Enter in the prefix field");
}

TEST_F(CopyDialog, WithoutTheRegistryEntryTheBoxComesFirstThenThePickerFindsTheSimulatorAndTheNextStartRemembersIt) {
    ASSERT_TRUE(SetSimulatorPath(nullptr));
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(Describe(dialog_), L"Registry Error | CFS path not found! | icon | OK")
        << "the box must come first, before the dialog shows";
    Press(dialog_, IDOK);
    dialog_ = WaitForDialog(app_.dwProcessId, nullptr, L"Vantorel");
    ASSERT_NE(dialog_, nullptr) << "the dialog must still open";
    ASSERT_EQ(Listed(), 0u);

    Press(dialog_, kFindCfs);
    HWND picker = WaitForDialog(app_.dwProcessId, dialog_);
    ASSERT_NE(picker, nullptr) << "no folder picker";
    // The simulator's folder, not its Aircraft folder: the picker's usual answer.
    EXPECT_EQ(WalkPickerTo(picker, root_), L"");
    Press(picker, IDOK);
    EXPECT_TRUE(Closes(picker));
    EXPECT_EQ(Listed(), GetAircraftCount()) << "the choice fills the list";
    Press(dialog_, IDCANCEL);
    EndsAfter("Quit");

    // The next start finds the simulator by itself, without the registry's box;
    // system commands other than About still reach Windows.
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(Listed(), GetAircraftCount());
    PostMessageW(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EndsAfter("The close command");
}

// The round trip a player makes before painting: the copy's textures out
// through the folder picker, one PNG back unedited through the file picker,
// the question and the result box; the texture comes back byte for byte and
// the old one is in the Recycle Bin.
TEST_F(CopyDialog, ACopysTexturesExportAndAnUneditedPngAppliesBackByteForByte) {
    ASSERT_NO_FATAL_FAILURE(Open());
    Click(L"P51d");
    Type(kPrefix, L"XY");
    EXPECT_EQ(PressCopy(), L"Confirm Copy | P51d to XY1d | no icon | OK, Cancel");
    EXPECT_EQ(BoxAfter(), L"P51d | Copy Complete | icon | OK");
    const fs::path texture = aircraft_ / "XY1d" / "Texture" / "XY1_l_side.bmp", kit = root_ / "kit";
    const std::string before = Contents(texture);
    ASSERT_FALSE(before.empty());
    fs::create_directories(kit);

    Press(dialog_, kCopies);
    HWND copies = WaitForDialog(app_.dwProcessId, dialog_, L"Vantorel copies");
    ASSERT_NE(copies, nullptr) << "no Copies dialog";
    RemoteTable(GetDlgItem(copies, kCopiesList), app_.hProcess).Choose(0);
    Pose("copies");
    Press(copies, kCopiesExport);
    HWND picker = WaitForOwnedBy(copies);
    ASSERT_NE(picker, nullptr) << "no folder picker";
    EXPECT_EQ(WalkPickerTo(picker, kit), L"");
    Press(picker, IDOK);
    EXPECT_TRUE(Closes(picker));
    const std::wstring exported = BoxOf(copies, IDOK);
    EXPECT_EQ(exported.rfind(L"Vantorel copies | 5 PNGs and README.txt written to ", 0), 0u) << exported;
    EXPECT_NE(exported.find(L" | icon | OK"), std::wstring::npos) << exported;
    ASSERT_TRUE(fs::exists(kit / "XY1_l_side.png")) << "not exported to " << kit;

    // Two PNGs chosen at once in the picker's folder: the unedited one, and
    // one of another size than its texture, which is refused with both sizes.
    fs::remove(kit / "XY1Tex1.png");
    fs::copy_file(kit / "XY1_wing.png", kit / "XY1Tex1.png");
    Press(copies, kCopiesApply);
    picker = WaitForOwnedBy(copies);
    ASSERT_NE(picker, nullptr) << "no file picker";
    HWND name = ChildOfClass(GetDlgItem(picker, kFileNameCombo), L"Edit");
    ASSERT_NE(name, nullptr) << "no File name box";
    auto enter = [&](const std::wstring& text) {
        Send(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        Press(picker, IDOK);
    };
    enter(kit.wstring());  // a folder typed and OK: the picker goes there
    for (DWORD start = GetTickCount(); !Text(name).empty() && GetTickCount() - start < kWaitMs;) Sleep(20);
    enter(L"\"XY1_l_side.png\" \"XY1Tex1.png\"");
    EXPECT_TRUE(Closes(picker));
    const std::wstring refused = L"\n\nNot applied:\n  XY1Tex1.png: the PNG is 256 x 256, the texture XY1Tex1.bmp is "
                                 L"64 x 64: paint it at the texture's size";
    EXPECT_EQ(BoxOf(copies, IDYES), L"Vantorel copies | Replace these textures of XY1d? The old ones go to the Recycle "
                                    L"Bin.\n\n  XY1_l_side.png -> Texture\\XY1_l_side.bmp" + refused + L" | icon | Yes, No");
    HWND box = WaitForOwnedBy(copies);
    ASSERT_NE(box, nullptr) << "no result";
    Pose("apply-result");
    EXPECT_EQ(Describe(box), L"Vantorel copies | Textures of XY1d:\n\n  XY1_l_side.png -> Texture\\XY1_l_side.bmp: "
                             L"64 x 64, 255 colours (its palette kept), opaque, exact\n"
                             L"    the old texture went to the Recycle Bin" + refused + L" | icon | OK");
    Press(box, IDOK);
    EXPECT_TRUE(Closes(box));
    EXPECT_TRUE(Contents(texture) == before) << "the unedited PNG did not give back the same texture";
    EXPECT_EQ(Contents(trash_ / "Trash" / "files" / "XY1_l_side.bmp"), before) << "the old texture is not in the trash";
    Press(copies, IDCANCEL);
    EXPECT_TRUE(Closes(copies));
}

}  // namespace
