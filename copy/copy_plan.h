// What a copy of a stock aircraft is made of: its names, the checks on them,
// and the path of every entry it makes. The copy (copy_aircraft.h) walks
// these steps; recognition (recognise.h) judges a folder by them.
#pragma once
#include "catalogue.h"
#include "file_ops.h"

#include <string>
#include <vector>

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

// Joins the non-empty parts with the path separator; false when the result
// does not fit a path buffer (kPathCapacity).
bool JoinPath(char* out, const char* a, const char* b, const char* c = "", const char* d = "");

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

// The temporary name Aircraft.cfg has until the copy is complete.
extern const char kAircraftCfgTemp[];  // "Aircraft.cfg.tmp"

// Fills the paths of `step` for `entry` of a copy with `names`; `subfolder`
// carries the latest MakeFolder entry from one call to the next (subfolders
// do not nest). False when a path does not fit.
bool BuildCopyStep(const char* aircraftDir, const AircraftEntry& aircraft, const CopyNames& names,
                   const FileEntry& entry, const char** subfolder, CopyStep* step);

// Reports the paths of every entry of a copy of aircraft `index` with
// `prefix`, in list order, checking and making nothing (outcomes unset).
// Returns false at the first path that does not fit a path buffer.
bool PlanCopySteps(const char* aircraftDir, const char* prefix, int index, CopyStepReport report, void* context);

enum CopyPartKind : int {
    PartFolder = 0,     // a subfolder (Model, Texture, Sound, Panel)
    PartFile = 1,       // made from the stock file `stockSource` by `action`
    PartAircraftCfg = 2,// Aircraft.cfg: a copy without it is unfinished, whatever the stock folder holds
    PartAlias = 3,      // sound.cfg or panel.cfg: its bytes are `aliasBytes`
    PartTemp = 4,       // Aircraft.cfg's temporary name: the copy's own, never required
};

// One entry that a copy consists of.
struct CopyPart {
    std::string path;        // relative to the copy's folder, kPathSep-separated, named with the copy's stem
    CopyPartKind kind;
    std::string stockSource; // PartFile and PartAircraftCfg: relative to the Aircraft folder
    std::string aliasBytes;  // PartAlias
    FileAction action;       // the catalogue's action that makes it
};

// Every entry a copy of stock aircraft `index` (unchecked) with stem `stem`
// (the copy folder's first StemLength characters) makes, folders before
// their contents.
std::vector<CopyPart> CopyParts(int index, const char* stem);

// True when `folderName` is a copy name of stock aircraft `index`: as long as
// its folder name, the same characters after its stem (letter case aside),
// and not its name itself.
bool IsCopyName(int index, const char* folderName);
