// Making a new aircraft out of a stock one: the checks, and the walk of the
// stock aircraft's file list (its names and paths: copy_plan.h).
#pragma once
#include "copy_plan.h"

#include <string>

// Result of a copy. The values are shown to users and returned by scripts.
enum CopyStatus : int {
    CopyOk = 0,
    CopyFileError = -1,     // the new folder could not be made for another reason, a stock file that is
                            // there could not be read, or a file of the copy could not be written
    CopyFolderExists = -2,  // the new folder exists (letter case aside) or access was denied
    CopyPathNotFound = -3,  // the Aircraft folder or the stock aircraft's folder is missing
    CopyInvalidName = -4,   // the prefix (or in-game name) makes a name the simulator cannot use
};

// Why a copy failed, beyond its status, so the message can say so.
struct CopyFailure {
    int error = 0;                 // errno value of the failure, 0 when none applies
    bool unfinishedCopy = false;   // -2: the folder holds a copy that was cut short
    bool folderGone = false;       // -1: the new folder was moved or removed while the copy was made
    bool noTitleSection = false;   // -1: the stock Aircraft.cfg has no title line nor [fltsim.N] section
    char path[kPathCapacity] = {}; // the file or folder concerned, when one is
};

// Copies aircraft `index` into aircraftDir/<new folder name>, reporting each
// entry. Checks first, creating nothing on failure: the prefix and `title`
// (-4), the path lengths (-1), the stock folder (-3), then makes the new
// folder (-2/-3/-1). Once the folder exists the whole list is walked. A
// missing stock file only leaves the copy without it; any other failure
// (a stock file that cannot be read, a destination that cannot be written)
// gives -1 and removes everything this run made, so the folder is free for
// a retry. `title`, when not null, becomes the copy's in-game name. With
// `dryRun` nothing is created: the same checks run and predict the status,
// and each entry is reported as planned. `failure`, when given, says why.
CopyStatus CopyAircraftReport(const char* aircraftDir, const char* prefix, int index, bool dryRun,
                              CopyStepReport report, void* context, CopyFailure* failure = nullptr,
                              const char* title = nullptr);

// CopyAircraftReport without reporting.
CopyStatus CopyAircraft(const char* aircraftDir, const char* prefix, int index);
// The same with the player's in-game name (null: as the overwrite makes it):
// the dialog's call.
CopyStatus CopyAircraftTitled(const char* aircraftDir, const char* prefix, int index, const char* title);

// The first title a copy of aircraft `index` with `prefix` gets unedited (by
// the same overwrite as the copy's, on the stock Aircraft.cfg in memory); ""
// when there is no stock Aircraft.cfg.
std::string PredictCopyTitle(const char* aircraftDir, const char* prefix, int index);
