// Removing a copy made earlier, to the desktop's trash or for good. What is
// a copy, and which of its files are the player's, is recognise.h's to say.
#pragma once
#include "recognise.h"

#include <string>
#include <vector>

// Why a removal did not happen or stopped. Refusals change nothing.
enum RemoveStatus : int {
    RemoveOk = 0,
    RemoveFailed = -1,        // an entry could not be removed, or the folder not moved to the trash
    RemoveNotACopy = -2,      // refused: it is not a copy
    RemoveStockAircraft = -3, // refused: a stock aircraft's folder
    RemoveOutside = -4,       // refused: not a plain name of a folder inside the Aircraft folder
    RemoveNoTrash = -5,       // refused: no trash can take it (--permanent still can)
    RemoveNoSuchFolder = -6,  // nothing of that name in the Aircraft folder (removed meanwhile, or never there)
    RemoveNoAircraftFolder = -7, // the Aircraft folder itself is not there
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
