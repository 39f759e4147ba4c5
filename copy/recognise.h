// The one judge of what is a copy: the copies listing, the removal and the
// copy's own "folder holds an unfinished copy" all ask it.
//
// A subfolder is a copy of stock aircraft S when its name is a copy name of
// S (IsCopyName) and it is not a stock folder, and either
//   - its Sound\sound.cfg and Panel\panel.cfg hold exactly the alias files a
//     copy of S gets (a copy that got that far: complete, unfinished, or
//     holding files of the player's), or
//   - it is what a copy of S cut short leaves: no Aircraft.cfg, alias files
//     missing or cut short, and nothing in it that a copy of S does not make.
// Every entry of such a folder is either one the copy made (CopyParts, names
// compared ignoring letter case as Windows does, and for a file made from a
// stock file, the bytes the copy would write from that stock file now) or
// the player's. Links are never followed and never the copy's own.
#pragma once
#include <string>
#include <vector>

// An entry of a copy's folder that the copy made and that is there now.
struct CopyEntry {
    std::string path;  // relative to the copy's folder, with the names found on disk
    bool folder;
};

struct CopyInfo {
    std::string folder;  // the folder's name on disk
    int stockIndex;      // the stock aircraft it is a copy of
    std::string title;   // first title= value of its Aircraft.cfg, empty if none
    bool finished;       // has Aircraft.cfg, both alias files and every file made from a stock file that is there now
    // Relative paths of the topmost entries it did not make, and of the files
    // it made that no longer hold what it wrote (a repainted texture).
    std::vector<std::string> playerFiles;
    std::vector<CopyEntry> entries;  // what it made and still holds, files before the folders holding them
};

// Recognises aircraftDir/folderName (the name as on disk, or in another
// letter case). False when it is not a copy: missing, a link, a stock
// folder, a name of no stock aircraft, or contents of no copy.
bool RecogniseCopy(const char* aircraftDir, const char* folderName, CopyInfo* out);

// Every copy in the Aircraft folder, in byte order of the folder names.
std::vector<CopyInfo> FindCopies(const char* aircraftDir);

// True for a stock aircraft's folder name, letter case aside.
bool IsStockName(const char* name);

// The Aircraft folder as it is named on disk: the registry may give its name
// in another letter case, and Windows would not mind.
std::string AircraftDirOnDisk(const char* aircraftDir);
