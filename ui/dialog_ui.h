// The user-interface operations the dialogs are written against.
//
// Contract: one DialogUi belongs to one dialog object and stands for that
// dialog's window while it runs (RunModal), plus the application's resources.
// Every call happens on the one user-interface thread, from inside a handler.
// Controls are named by their resource id. Implementations: Win32Ui
// (ui/win32/) over a real window, and the fake of the unit tests, which
// behaves like the real controls where the logic relies on it. Operations
// never throw for a failure of the toolkit; results that the logic does not
// look at are not returned.
#pragma once
#include <memory>
#include <string>
#include <vector>

class CDialog;

// What the folder picker, or the file picker, gave.
enum FolderChoice : int {
    kFolderCancelled = 0,
    kFolderChosen = 1,
    kFolderNotAnsi = 2,  // a path has characters without an exact form in the ANSI code page
};

// A column of a table: its heading and width in dialog units (0: whatever
// the table's width leaves).
struct TableColumn {
    const char* heading;
    int width;
};

class DialogUi {
public:
    virtual ~DialogUi() = default;

    // ---- Running the dialog -------------------------------------------------
    // Creates `dlg` (built on this ui) from its template, runs it modally over
    // the owner given when this ui was made until a handler asks to end it,
    // and returns the end code: 1 (OK), 2 (Cancel) or another value when the
    // dialog could not be run.
    virtual int RunModal(CDialog& dlg) = 0;
    // A fresh ui for another dialog, modal to this one while it runs.
    virtual std::unique_ptr<DialogUi> MakeChildUi() = 0;

    // ---- Controls -----------------------------------------------------------
    // Appends an entry at the end of the (unsorted) list.
    virtual void AddListEntry(int id, const char* text) = 0;
    // Highlights entry `index` without sending a selection-change notification.
    virtual void SetListSelection(int id, int index) = 0;
    // Zero-based index of the highlighted entry, or -1 when there is none.
    virtual int GetListSelection(int id) = 0;
    // A table's columns, left to right; the player can widen each, and a
    // text too long for its cell ends in an ellipsis.
    virtual void SetTableColumns(int id, const std::vector<TableColumn>& columns) = 0;
    // Appends a row, one text per column.
    virtual void AddTableRow(int id, const std::vector<std::string>& cells) = 0;
    // Removes every row.
    virtual void ClearTable(int id) = 0;
    // Zero-based index of the chosen row, or -1 when there is none.
    virtual int GetTableSelection(int id) = 0;
    // Whole text of an edit field in the ANSI code page. A character without
    // an exact form there comes back as '?', never as a look-alike.
    virtual std::string GetEditText(int id) = 0;
    // Whether every character of the edit field has an exact form in the ANSI
    // code page, so that GetEditText gives what the player typed.
    virtual bool EditTextIsAnsi(int id) = 0;
    // Whether `byte` begins a two-byte character in the ANSI code page.
    virtual bool IsLeadByte(unsigned char byte) = 0;
    // Sets an edit field's text; the field notifies a change as typing does.
    virtual void SetEditText(int id, const std::string& text) = 0;
    // From now on the edit field accepts at most `maxChars` typed characters.
    virtual void LimitText(int id, int maxChars) = 0;
    // Puts the keyboard focus on a control; the control that has it (0: none).
    virtual void FocusControl(int id) = 0;
    virtual int FocusedControl() = 0;
    // Lets the player use a control, or greys it.
    virtual void EnableControl(int id, bool enable) = 0;

    // ---- Messages, resources, menus -----------------------------------------
    // Modal box owned by the dialog; returns the button pressed (1 for OK).
    virtual int MessageBox(const char* text, const char* caption, unsigned type) = 0;
    // A string resource, or empty when it cannot be loaded.
    virtual std::string LoadString(int id) = 0;
    // Appends a separator and a text item with `command` at the end of the
    // window's own system menu.
    virtual void AppendSystemMenu(unsigned command, const char* text) = 0;

    // ---- Shell --------------------------------------------------------------
    // The system's folder picker, owned by the dialog, headed by `prompt` and
    // opened at `start` when that is a folder. kFolderChosen puts the chosen
    // folder's path (ANSI code page) in `out`.
    virtual FolderChoice BrowseForFolder(const char* prompt, const char* start, std::string* out) = 0;
    // The system's file picker for opening, owned by the dialog and headed by
    // `title`, showing the files that match `pattern` ("*.png", described as
    // `kind`); the player may choose several. kFolderChosen puts their paths
    // (ANSI code page), in the order the picker gives them, in `out`.
    virtual FolderChoice OpenFiles(const char* title, const char* kind, const char* pattern,
                                   std::vector<std::string>* out) = 0;
    // Opens `folder` in the file manager; false when it could not be opened.
    virtual bool OpenInFileManager(const char* folder) = 0;
};
