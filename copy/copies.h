// Copies already made: recognising them among the Aircraft folder's
// subfolders, and removing one, to the desktop's trash or for good.
//
// A subfolder is a copy of stock aircraft S when its name is a copy name of
// S (as long as S's folder name, the same characters after S's stem, letter
// case aside, and not S's name itself) and its Sound\sound.cfg and
// Panel\panel.cfg hold exactly the alias files a copy of S gets. Everything
// else in it is either an entry a copy of S makes (CopyParts, names compared
// ignoring letter case as Windows does) or the player's own. Stock folders
// are never copies. Links are never followed and never the copy's own.
#pragma once
#include <string>
#include <vector>

enum CopyPartKind : int {
    PartFolder = 0,     // a subfolder (Model, Texture, Sound, Panel)
    PartFile = 1,       // made from the stock file `stockSource`
    PartAircraftCfg = 2,// Aircraft.cfg: a copy without it is unfinished, whatever the stock folder holds
    PartAlias = 3,      // sound.cfg or panel.cfg: its bytes are `aliasBytes`
};

// One entry that a copy consists of.
struct CopyPart {
    std::string path;        // relative to the copy's folder, kPathSep-separated, named with the copy's stem
    CopyPartKind kind;
    std::string stockSource; // PartFile and PartAircraftCfg: relative to the Aircraft folder
    std::string aliasBytes;  // PartAlias
};

// Every entry a copy of stock aircraft `index` (unchecked) with stem `stem`
// (the copy folder's first StemLength characters) makes, folders before
// their contents: the one list recognition and removal go by. A copy lacking
// a PartFile whose stock source is there now is unfinished; a PartFile with
// no stock source (a name a copy in progress uses) is its own but never
// required.
std::vector<CopyPart> CopyParts(int index, const char* stem);

// True when `folderName` is a copy name of stock aircraft `index`: see above.
bool IsCopyName(int index, const char* folderName);

// An entry of a copy's folder that the copy made and that is there now.
struct CopyEntry {
    std::string path;  // relative to the copy's folder, with the names found on disk
    bool folder;
};

struct CopyInfo {
    std::string folder;  // the folder's name on disk
    int stockIndex;      // the stock aircraft it is a copy of
    std::string title;   // first title= value of its Aircraft.cfg, empty if none
    bool finished;       // has Aircraft.cfg and every file made from a stock file that is there now
    std::vector<std::string> playerFiles;  // relative paths of the topmost entries it did not make
    std::vector<CopyEntry> entries;        // what it made, files before the folders holding them
};

// Recognises aircraftDir/folderName (the name as on disk, or in another
// letter case). False when it is not a copy: missing, a link, a stock
// folder, a name of no stock aircraft, or alias files that do not match.
bool RecogniseCopy(const char* aircraftDir, const char* folderName, CopyInfo* out);

// Every copy in the Aircraft folder, in byte order of the folder names.
std::vector<CopyInfo> FindCopies(const char* aircraftDir);

// Why a removal did not happen or stopped. Refusals change nothing.
enum RemoveStatus : int {
    RemoveOk = 0,
    RemoveFailed = -1,        // an entry could not be removed, or the folder not moved to the trash
    RemoveNotACopy = -2,      // refused: no such folder, or it is not a copy
    RemoveStockAircraft = -3, // refused: a stock aircraft's folder
    RemoveOutside = -4,       // refused: not a plain name of a folder inside the Aircraft folder
    RemoveNoTrash = -5,       // refused: no trash can take it (--permanent still can)
};

struct RemoveResult {
    CopyInfo copy;                      // as recognised, when it was
    std::string trashPath;              // to the trash: where it went (or would go); empty for the Recycle Bin
    std::vector<std::string> removed;   // for good: the copy's entries removed (or that would be)
    std::vector<std::string> remaining; // after a failure: the copy's entries still there
    std::string failedPath;             // the entry that could not be removed or moved
    int error = 0;                      // its errno value
};

// Removes the copy aircraftDir/folderName. To the trash (the Recycle Bin on
// Windows) it goes whole, the player's own files with it; `permanent`
// deletes only the entries the copy made, so the folder stays when the
// player's own files are in it. With `dryRun` it checks, fills `out` with
// what would happen and changes nothing.
RemoveStatus RemoveCopy(const char* aircraftDir, const char* folderName, bool permanent, bool dryRun,
                        RemoveResult* out);
