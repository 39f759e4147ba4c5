// The Copies dialog: the copies in the Aircraft folder, to show or remove.
#pragma once
#include "dialog.h"

#include <string>
#include <vector>

// One copy as the dialog lists it.
struct CopyRow {
    std::string folder;  // folder name in the Aircraft folder
    int stockIndex;      // the stock aircraft it was made from
    std::string title;   // its first in-game title
    bool finished;       // every file of the copy was made
    bool playerFiles;    // it holds files the copy did not make (the player's)
};

// Where the copies come from and how one goes: the engine's functions in
// Vantorel.exe, recorders in the tests.
struct CopiesSource {
    std::vector<CopyRow> (*find)(const char* aircraftDir);
    // Moves aircraftDir's `folder` to the Recycle Bin; true when it is gone.
    bool (*remove)(const char* aircraftDir, const char* folder);
};

// The engine's recognition and removal (copy/copies.h).
const CopiesSource& EngineCopies();

// Opens the copy at `path` in the file manager: its Texture folder (or the
// copy's folder), where Windows put it, VirtualStore included; says so in a
// box when it is gone.
void OpenCopyFolder(DialogUi& ui, const std::string& path);

class CCopiesDlg : public CDialog {
public:
    CCopiesDlg(DialogUi& ui, const char* aircraftDir, const CopiesSource& source);
    ~CCopiesDlg() override;
    const MessageMap* GetMessageMap() const override;
    int OnInitDialog() override;

    std::string m_strAircraftDir;
    std::vector<CopyRow> m_copies;  // entry i of the list is m_copies[i]

    void OnOpenFolder();
    void OnRemove();

protected:
    static const MessageMap messageMap;

private:
    void FillList();
    // The chosen copy, or null after saying that none is.
    const CopyRow* Chosen();

    const CopiesSource& m_source;
};
