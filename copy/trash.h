// Moving a folder to the desktop's trash, so a removal can be undone.
// OS-aware: the Recycle Bin through the shell on Windows; elsewhere the
// freedesktop.org trash, in the home trash ($XDG_DATA_HOME/Trash, by default
// ~/.local/share/Trash) or, for a folder on another mount (another file
// system, or another mount of the same one, as a bind mount is), in the trash
// of that mount's top folder ($topdir/.Trash/$uid or $topdir/.Trash-$uid):
// a folder is only ever renamed within its mount, never copied.
#pragma once
#include <string>

enum TrashStatus : int {
    TrashOk = 0,
    TrashUnavailable = -1, // no trash can take the folder; nothing changed
    TrashFailed = -2,      // the move failed; nothing changed
};

struct TrashResult {
    std::string entryPath;  // where the folder is (or would be) in the trash; empty for the Recycle Bin
    std::string infoPath;   // its .trashinfo file (not on Windows)
    int error = 0;          // errno value of a failure
};

// The mount `path` is on (its mount id, else st_dev); false when it cannot
// be told. Tests replace it to put folders on file systems of their own.
typedef bool (*DeviceProbe)(const char* path, unsigned long long* device);

// Moves the folder `path` to the trash, or with `dryRun` only finds where it
// would go. `probe` null means the real file systems.
TrashStatus MoveToTrash(const char* path, bool dryRun, TrashResult* out, DeviceProbe probe = nullptr);
