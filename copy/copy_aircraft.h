// Making a new aircraft out of a stock one: names, checks, and the walk of
// the stock aircraft's file list.
#pragma once
#include "catalogue.h"
#include "file_ops.h"

// Result of a copy. The values are shown to users and returned by scripts.
enum CopyStatus : int {
    CopyOk = 0,
    CopyFileError = -1,     // the new folder could not be made for another reason, or a file could not be written
    CopyFolderExists = -2,  // the new folder exists (letter case aside) or access was denied
    CopyPathNotFound = -3,  // the Aircraft folder or the stock aircraft's folder is missing
    CopyInvalidName = -4,   // the prefix makes a name Windows cannot use as a folder
};

// Buffer sizes of one copy, terminator included.
constexpr int kPathCapacity = 256;
constexpr int kNameCapacity = 64;

// The names one copy derives from the stock folder name F, its StemLength L
// and the prefix P; n = min(L, length of P) prefix characters are used.
struct CopyNames {
    int used;                     // n
    char stem[kNameCapacity];     // F cut to L characters
    char newStem[kNameCapacity];  // the stem with its first n characters taken from P
    char newFolder[kNameCapacity];// F with its first n characters taken from P (not cut at L)
};

// Fills `out` for aircraft `index` (unchecked) and `prefix`, as typed.
void DeriveCopyNames(int index, const char* prefix, CopyNames* out);

// True when the used prefix characters and the new folder name are safe as a
// Windows folder name the simulator can use: none of \ / : * ? " < > | or
// control characters, no leading space, no trailing dot or space, no device
// name (CON, PRN, AUX, NUL, COM1-9, LPT1-9) once trailing dots and spaces are
// dropped as Windows drops them. Off Windows only printable ASCII: the names
// written inside the models must be the bytes Wine shows the game.
bool IsValidNewFolderName(const char* prefix, const CopyNames& names);

// One file-list entry as carried out (or, in a dry run, as planned).
struct CopyStep {
    const FileEntry* entry;
    char source[kPathCapacity]; // empty for folders and alias files, which read nothing
    char dest[kPathCapacity];
    FileOutcome outcome;        // FileWritten also for a folder made; unset in a dry run
    int error;                  // errno behind a failed outcome, 0 otherwise
};

// Called once per entry, after the entry's operation has run. Aircraft.cfg
// comes last: it is written under a temporary name and renamed into place
// once everything else is there, so the simulator never lists a half copy.
typedef void (*CopyStepReport)(const CopyStep& step, void* context);

// Why a copy failed, beyond its status, so the message can say so.
struct CopyFailure {
    int error = 0;                 // errno value of the failure, 0 when none applies
    bool unfinishedCopy = false;   // -2: the folder holds an interrupted copy of the same aircraft
    char path[kPathCapacity] = {}; // the file or folder concerned, when one is
};

// The temporary name Aircraft.cfg has until the copy is complete.
extern const char kAircraftCfgTemp[];  // "Aircraft.cfg.tmp"

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

// Reports the paths of every entry of a copy of aircraft `index` with
// `prefix`, in list order, checking and making nothing (outcomes unset).
// Returns false at the first path that does not fit a path buffer.
bool PlanCopySteps(const char* aircraftDir, const char* prefix, int index, CopyStepReport report, void* context);

// CopyAircraftReport without reporting.
CopyStatus CopyAircraft(const char* aircraftDir, const char* prefix, int index);
// The same with the player's in-game name (null: as the overwrite makes it):
// the dialog's call.
CopyStatus CopyAircraftTitled(const char* aircraftDir, const char* prefix, int index, const char* title);
