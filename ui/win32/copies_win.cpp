// What the Copies dialog lists and removes. A stand-in for the engine's
// FindCopies and RemoveCopy (copy/copies.h), which link the shell statically
// and so add SHELL32.DLL to the imports that the release check allows: a
// folder is a copy of a stock aircraft when it is not a stock folder, has the
// stock name's length and its characters after the stem, and holds the alias
// file every copy gets.
#include "copies_win.h"

#include "catalogue.h"
#include "platform.h"
#include "win_ui.h"

#include <cstring>

namespace {

int StockOf(const char* folder) {
    for (int i = 0; i < GetAircraftCount(); ++i)
        if (SameIgnoringCase(folder, GetAircraftName(i))) return -1;
    for (int i = 0; i < GetAircraftCount(); ++i) {
        const char* stock = GetAircraftName(i);
        int stem = GetStemLength(i);
        if (std::strlen(folder) == std::strlen(stock) && SameIgnoringCase(folder + stem, stock + stem)) return i;
    }
    return -1;
}

std::vector<CopyRow> FindCopies(const char* aircraftDir) {
    std::vector<CopyRow> copies;
    std::string base = std::string(aircraftDir) + "\\";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((base + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return copies;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        int stock = StockOf(found.cFileName);
        std::string folder = base + found.cFileName;
        if (stock < 0 || !PlatformFileExists((folder + "\\Sound\\sound.cfg").c_str())) continue;
        char title[256] = "";
        std::string cfg = folder + "\\Aircraft.cfg";
        GetPrivateProfileStringA("fltsim", "title", "", title, sizeof title, cfg.c_str());
        if (!title[0]) GetPrivateProfileStringA("fltsim.0", "title", "", title, sizeof title, cfg.c_str());
        copies.push_back({found.cFileName, stock, title, PlatformFileExists(cfg.c_str()), false});
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return copies;
}

// FOF_ALLOWUNDO sends the folder to the Recycle Bin; the dialog has asked
// already, so the shell asks nothing and shows no progress.
bool RemoveCopy(const char* aircraftDir, const char* folder) {
    const ShellCalls* shell = LoadShellCalls();
    if (!shell) return false;
    std::wstring path = WidenAnsi((std::string(aircraftDir) + "\\" + folder).c_str());
    path.push_back(L'\0');  // the list of paths ends with an empty one
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = path.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    return shell->fileOperation(&op) == 0 && !op.fAnyOperationsAborted;
}

const CopiesSource kSystemCopies = {FindCopies, RemoveCopy};

}  // namespace

const CopiesSource* SystemCopies() { return &kSystemCopies; }
