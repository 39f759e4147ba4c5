// Driving the real Vantorel.exe from another process, as a user would: find
// its windows, click through window messages, read texts back. Every wait
// has a timeout so a misbehaving program fails a test instead of hanging CI.
#pragma once
#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

namespace e2e {

constexpr int kWaitMs = 10000;
// The first window in a fresh Wine prefix brings up Wine's desktop and font
// cache: measured at more than 10 s on a 2-core machine.
constexpr int kStartMs = 45000;

// Ids of the main dialog's controls, fixed by its resource script.
constexpr int kList = 1001;
constexpr int kSelected = 1002;
constexpr int kPrefix = 1003;
constexpr int kCopy = 1004;
constexpr int kAbout = 1006;
constexpr int kQuit = IDCANCEL;
constexpr int kAboutCommand = 16;

enum class BoxIcon { kNone, kStop, kExclamation, kInformation, kQuestion, kUnknown };

// What a message box shows, read back from its window.
struct Box {
    std::wstring caption;
    std::wstring text;
    BoxIcon icon = BoxIcon::kUnknown;
    bool hasCancel = false;
};

bool operator==(const Box& a, const Box& b);
// Readable failure messages: gtest calls these to print a Box.
void PrintTo(BoxIcon icon, std::ostream* out);
void PrintTo(const Box& box, std::ostream* out);

// A started Vantorel.exe; the destructor ends it if it still runs.
struct Program {
    PROCESS_INFORMATION process = {};
    HWND dialog = nullptr;
    ~Program();
};

// Windows form of a path given by the build (Linux paths are drive Z:).
std::wstring WindowsPath(const std::string& path);
// Starts `exe` without waiting for any window; false when it cannot start.
bool Start(const std::wstring& exe, Program& program);
// Ends the program at once if it still runs and closes its handles.
void Kill(Program& program);
// True when the program ends within `timeoutMs`.
bool WaitForExit(Program& program, int timeoutMs = kWaitMs);

// The first visible dialog-class top-level window of `pid` that is not in
// `known` (and whose caption is `caption`, when given); null after the timeout.
HWND WaitForDialog(DWORD pid, const std::vector<HWND>& known, const wchar_t* caption = nullptr,
                   int timeoutMs = kWaitMs);
// True when `window` is gone or hidden within the timeout.
bool WaitUntilClosed(HWND window, int timeoutMs = kWaitMs);

// Caption, text, icon and buttons of a message box.
Box ReadBox(HWND box);
// Presses button `id` of a box or dialog the way a click does.
void Press(HWND window, int id);
// A control's answer to a message that needs no buffer (EM_GETLIMITTEXT...).
LRESULT Ask(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// A control's whole text.
std::wstring Text(HWND dialog, int id);
// Replaces an edit field's text, as typing over it does.
void Type(HWND dialog, int id, const wchar_t* text);
// Clicks list entry `index`: selects it and notifies the dialog.
void ClickListEntry(HWND dialog, int index);
// The list's entries, in order.
std::vector<std::wstring> ListEntries(HWND dialog);
// The texts of all static controls of a dialog, in window order.
std::vector<std::wstring> StaticTexts(HWND dialog);

// Registry value "path" of the simulator, in the 32-bit view.
bool SetSimulatorPath(const std::wstring& path);
bool DeleteSimulatorPathValue();
bool DeleteSimulatorKey();

// True when the file or folder exists.
bool Exists(const std::wstring& path);
// Names in a folder, "." and ".." left out, sorted.
std::vector<std::wstring> FolderEntries(const std::wstring& folder);
// Deletes a folder tree; quietly ignores what is already gone.
void RemoveTree(const std::wstring& folder);

}  // namespace e2e
