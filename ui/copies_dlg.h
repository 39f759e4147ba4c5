// The Copies dialog: the copies in the Aircraft folder, to show or remove.
#pragma once
#include "dialog.h"
#include "repaint.h"

#include <cstddef>
#include <string>
#include <vector>

// One copy as the dialog lists it.
struct CopyRow {
    std::string folder;     // folder name in the Aircraft folder
    int stockIndex;         // the stock aircraft it was made from
    std::string title;      // its first in-game title
    bool finished;          // every file of the copy was made
    std::size_t ownFiles;   // entries in it the copy did not make (the player's)
};

// Where the copies come from and how one goes: the engine's functions in
// Vantorel.exe, recorders in the tests.
struct CopiesSource {
    std::vector<CopyRow> (*find)(const char* aircraftDir);
    // Moves aircraftDir's `folder` to the Recycle Bin; true when it is gone.
    bool (*remove)(const char* aircraftDir, const char* folder);
    // The repaint engine's export and apply (texture/repaint.h).
    RepaintStatus (*exportTextures)(const char* aircraftDir, const char* folder, const char* outDir,
                                    ExportReport* out);
    RepaintStatus (*applyTextures)(const char* aircraftDir, const char* folder, const std::vector<std::string>& pngs,
                                   const ApplyOptions& options, ApplyReport* out);
};

// The engine's recognition and removal (copy/copies.h) and repaint.
const CopiesSource& EngineCopies();

// Where the simulator is and where Windows put a copy, as the dialogs ask:
// the registry and the environment in Vantorel.exe, recorders in the tests.
struct SimLookup {
    // The installer's Aircraft folder into `out` (kAircraftPathCapacity
    // bytes); returns a RegistryResult.
    int (*installerFolder)(char* out);
    // The folder the player picked at an earlier start, or empty.
    std::string (*rememberedFolder)();
    // Remembers a picked folder for the next starts. A failure is not
    // reported: the player then picks again next time.
    bool (*rememberFolder)(const char* path);
    // The player's local application-data folder (%LOCALAPPDATA%), or empty
    // where the system has none (Windows XP, which has no VirtualStore).
    std::string (*localAppData)();
};

// Opens the copy at `path` in the file manager: its Texture folder (or the
// copy's folder), where Windows put it, VirtualStore included; says so in a
// box when it is gone.
void OpenCopyFolder(DialogUi& ui, const SimLookup& sim, const std::string& path);

class CCopiesDlg : public CDialog {
public:
    CCopiesDlg(DialogUi& ui, const char* aircraftDir, const CopiesSource& source, const SimLookup& sim);
    bool OnInit() override;
    bool OnButtonClicked(int id) override;

    std::string m_strAircraftDir;
    std::vector<CopyRow> m_copies;  // row i of the table is m_copies[i]

    void OnOpenFolder();
    void OnRemove();
    void OnExportTextures();
    void OnApplyTextures();

private:
    void Show(std::vector<CopyRow> copies);
    // The chosen copy, or null after saying that none is.
    const CopyRow* Chosen();
    // Says so when a repaint found the copy `folder` gone, and shows the
    // table anew; false when it was there.
    bool SaidGone(RepaintStatus status, const std::string& folder);

    const CopiesSource& m_source;
    const SimLookup& m_sim;
};
