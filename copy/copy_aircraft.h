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
// Windows folder name: none of \ / : * ? " < > | or control characters, no
// trailing dot or space, no device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9).
bool IsValidNewFolderName(const char* prefix, const CopyNames& names);

// One file-list entry as carried out (or, in a dry run, as planned).
struct CopyStep {
    const FileEntry* entry;
    char source[kPathCapacity]; // empty for folders and alias files, which read nothing
    char dest[kPathCapacity];
    FileOutcome outcome;        // FileWritten also for a folder made; unset in a dry run
    int error;                  // errno behind a failed outcome, 0 otherwise
};

// Called once per entry, after the entry's operation has run.
typedef void (*CopyStepReport)(const CopyStep& step, void* context);

// Copies aircraft `index` into aircraftDir/<new folder name>, reporting each
// entry. Checks first, creating nothing on failure: the prefix (-4), the path
// lengths (-1), the stock folder (-3), then makes the new folder (-2/-3/-1).
// Once the folder exists the whole list is walked; the result is -1 when any
// destination could not be written or a stock file there could not be read,
// 0 otherwise. A missing stock file only
// leaves the copy without it. With `dryRun` nothing is created: the checks
// run, an existing new folder gives -2, and each entry is reported as planned.
CopyStatus CopyAircraftReport(const char* aircraftDir, const char* prefix, int index, bool dryRun,
                       CopyStepReport report, void* context);

// Reports the paths of every entry of a copy of aircraft `index` with
// `prefix`, in list order, checking and making nothing (outcomes unset).
// Returns false at the first path that does not fit a path buffer.
bool PlanCopySteps(const char* aircraftDir, const char* prefix, int index, CopyStepReport report, void* context);

// CopyAircraftReport without reporting: the dialog's call.
CopyStatus CopyAircraft(const char* aircraftDir, const char* prefix, int index);
