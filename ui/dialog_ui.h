// The user-interface operations the dialog logic is written against.
//
// Contract: one DialogUi belongs to one dialog object and stands for that
// dialog's window while it runs (RunModal), plus the application's resources.
// Every call happens on the one user-interface thread, from inside a handler
// or from the application's start-up. Controls are named by their resource id.
// Implementations: Win32Ui (ui/win32/) over a real HWND, and the fake of the
// unit tests, which behaves like the real controls where the logic relies on
// it. Operations never throw for a failure of the toolkit; results that the
// logic does not look at are not returned.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

class CDialog;

typedef void* IconHandle;    // an icon of the application's resources
typedef void* PaintContext;  // the device context between BeginPaint and EndPaint

// What the folder picker gave.
enum FolderChoice : int {
    kFolderCancelled = 0,
    kFolderChosen = 1,
    kFolderNotAnsi = 2,  // the path has characters without an exact form in the ANSI code page
};

struct ClientRect {
    int left, top, right, bottom;
};

class DialogUi {
public:
    virtual ~DialogUi() = default;

    // ---- Running the dialog -------------------------------------------------
    // Creates `dlg` (built on this ui) from its template, runs it modally over
    // the owner given when this ui was made, and returns the end code: 1 (OK),
    // 2 (Cancel) or another value when the dialog could not be run.
    virtual int RunModal(CDialog& dlg) = 0;
    // Ends the running dialog; RunModal then returns `code`.
    virtual void EndDialog(int code) = 0;
    // Shows a fresh About box owned by this dialog and waits until it is closed.
    virtual void RunAboutBox() = 0;
    // Asks for the platform's default processing of the message being handled,
    // as it was received (moving, closing, ordinary painting...).
    virtual void Default() = 0;
    // Sends a message to this dialog's own window and returns when it is handled.
    virtual std::intptr_t SendMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    // Turns on the platform's current look for dialogs and their controls.
    virtual void EnableVisualStyles() = 0;
    // A fresh ui for another dialog, modal to this one while it runs.
    virtual std::unique_ptr<DialogUi> MakeChildUi() = 0;

    // ---- Controls -----------------------------------------------------------
    // Appends an entry at the end of the (unsorted) list.
    virtual void AddListEntry(int id, const char* text) = 0;
    // Highlights entry `index` without sending a selection-change notification.
    virtual void SetListSelection(int id, int index) = 0;
    // Zero-based index of the highlighted entry, or -1 when there is none.
    virtual int GetListSelection(int id) = 0;
    // Removes every entry of the list.
    virtual void ClearList(int id) = 0;
    // Tab stops of the list's entries, in dialog units from its left edge.
    virtual void SetListTabStops(int id, const int* stops, int count) = 0;
    // Whole text of an edit field in the ANSI code page. A character without
    // an exact form there comes back as '?', never as a look-alike.
    virtual std::string GetEditText(int id) = 0;
    // Whether every character of the edit field has an exact form in the ANSI
    // code page, so that GetEditText gives what the player typed.
    virtual bool EditTextIsAnsi(int id) = 0;
    // Whether `byte` begins a two-byte character in the ANSI code page.
    virtual bool IsLeadByte(unsigned char byte) = 0;
    virtual void SetEditText(int id, const std::string& text) = 0;
    // From now on the edit field accepts at most `maxChars` typed characters.
    virtual void LimitText(int id, int maxChars) = 0;
    // Puts the keyboard focus on a control.
    virtual void FocusControl(int id) = 0;
    // Lets the player use a control, or greys it.
    virtual void EnableControl(int id, bool enable) = 0;

    // ---- Messages, resources, menus -----------------------------------------
    // Modal box owned by the dialog; returns the button pressed (1 for OK).
    virtual int MessageBox(const char* text, const char* caption, unsigned type) = 0;
    // A string resource, or empty when it cannot be loaded.
    virtual std::string LoadString(int id) = 0;
    // Appends an item (flags: 0 text, 0x800 separator) at the end of the
    // window's own system menu.
    virtual void AppendSystemMenu(unsigned flags, unsigned command, const char* text) = 0;
    // An icon of the application's resources (not to be freed).
    virtual IconHandle LoadIcon(int id) = 0;
    // Reads the simulator's Aircraft folder (kAircraftPathCapacity bytes) as
    // ReadAircraftFolderFromRegistry does; returns its RegistryResult.
    virtual int ReadAircraftFolder(char* out) = 0;
    // The folder the player picked at an earlier start, as written by
    // WriteRememberedFolder, or empty when there is none.
    virtual std::string ReadRememberedFolder() = 0;
    // Remembers `path` for this player's next starts. A failure is not reported:
    // the player then picks again next time.
    virtual void WriteRememberedFolder(const char* path) = 0;

    // ---- Shell --------------------------------------------------------------
    // The system's folder picker, owned by the dialog, headed by `prompt` and
    // opened at `start` when that is a folder. kFolderChosen puts the chosen
    // folder's path (ANSI code page) in `out`.
    virtual FolderChoice BrowseForFolder(const char* prompt, const char* start, std::string* out) = 0;
    // Opens `folder` in the file manager; false when it could not be opened.
    virtual bool OpenInFileManager(const char* folder) = 0;
    // The player's local application-data folder (%LOCALAPPDATA%), or empty
    // where the system has none (Windows XP, which has no VirtualStore).
    virtual std::string LocalAppDataFolder() = 0;

    // ---- Window chrome ------------------------------------------------------
    // Whether the dialog is minimised.
    virtual bool IsIconic() = 0;
    // Begins painting the invalid area; EndPaint validates it.
    virtual PaintContext BeginPaint() = 0;
    virtual void EndPaint() = 0;
    // Width (11) or height (12) of a standard icon in pixels, and other metrics.
    virtual int GetSystemMetrics(int index) = 0;
    virtual ClientRect GetClientRect() = 0;
    // Draws an icon with its top-left corner at (x, y).
    virtual void DrawIcon(PaintContext dc, int x, int y, IconHandle icon) = 0;
};
