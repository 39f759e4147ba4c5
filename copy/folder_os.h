// Folder listing and link-safe removal for recognising and removing copies.
// Implemented with the rest of platform.h in platform_posix.cpp and
// platform_win32.cpp: the rest of the copy handling is portable and reaches
// the file system only through here and platform.h.
//
// Nothing here follows a link: a symbolic link, a Windows junction or other
// reparse point is reported as EntryOther and is never listed into, opened
// as a folder or removed through.
#pragma once
#include <string>
#include <vector>

enum EntryKind : int {
    EntryFile = 0,   // a regular file
    EntryFolder = 1, // a real folder
    EntryOther = 2,  // a link, a reparse point, a device, ...
};

struct FolderEntry {
    std::string name;
    EntryKind kind;
};

// The entry of `entries` that `name` stands for, as Windows finds it: the
// exact name, else the first in byte order that differs only in letter
// case; null when none.
const FolderEntry* FindFolderEntry(const std::vector<FolderEntry>& entries, const std::string& name);

// The kind of `path` itself; false when there is nothing there.
bool GetEntryKind(const char* path, EntryKind* kind);

// The entries of folder `path`, "." and ".." left out, in byte order of their
// names; false when it cannot be listed. `path` itself may be reached through
// a link (an Aircraft folder may be one): callers look at an entry's kind in
// its parent's listing before they list it.
bool ListFolder(const char* path, std::vector<FolderEntry>* out);

// Up to `limit` bytes of the regular file `path`; false when it is not one or
// cannot be read.
bool ReadFileStart(const char* path, std::size_t limit, std::string* out);

// `path` made absolute, links in it resolved where the system can; false
// when it does not exist.
bool AbsolutePath(const char* path, std::string* out);

// Removes `relPath` (components separated by kPathSep) below `baseDir`: each
// component but the last is opened as a real folder, never through a link,
// and the last is removed only while it still is a regular file (`folder`
// false) or a real folder (`folder` true). Returns 0 when removed; ENOTEMPTY
// for a folder that still holds something; ELOOP when the entry is no longer
// what the copy made (a link now, or another kind), which is then kept;
// otherwise the errno value of the failure.
int RemoveEntryNoFollow(const char* baseDir, const char* relPath, bool folder);
