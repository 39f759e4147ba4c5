// vantorel-cli's exit statuses, part of its contract with scripts (the man
// page and the README list them): every command's, in this table only.
#pragma once
#include "copy_aircraft.h"

enum ExitCode : int {
    kExitDone = 0,
    kExitFileError = 1,     // a file could not be written, read or removed
    kExitRefused = 2,       // the folder exists, access denied, not a copy, a stock aircraft, no trash
    kExitPathNotFound = 3,  // no simulator, no Aircraft folder, no stock aircraft folder, several prefixes
    kExitInvalidName = 4,   // the prefix makes a name that cannot be used
    kExitUsage = 64,        // a usage error, an empty option value, a refused in-game name
};

// The exit status of a copy that ended with `status`.
inline int ExitFor(CopyStatus status) {
    struct Row { CopyStatus status; ExitCode exit; };
    static constexpr Row kRows[] = {
        {CopyOk, kExitDone}, {CopyFileError, kExitFileError}, {CopyFolderExists, kExitRefused},
        {CopyPathNotFound, kExitPathNotFound}, {CopyInvalidName, kExitInvalidName},
    };
    for (const Row& r : kRows)
        if (r.status == status) return r.exit;
    return kExitFileError;
}
