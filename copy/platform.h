// The only part of the engine that knows which operating system it runs on:
// the path separator, folder creation and opening files.
//
// On case-sensitive file systems (Linux, macOS) the simulator's files are
// looked up the way Windows and Wine see them: each existing path component
// is matched without regard to ASCII letter case, so a stock "P51D_N.MDL"
// serves the catalogue's "P51d_n.mdl". Names that are created are written
// exactly as given.
#pragma once
#include <cstddef>
#include <cstdio>

#ifdef _WIN32
constexpr char kPathSep = '\\';
#else
constexpr char kPathSep = '/';
#endif

// Creates one folder. Returns 0, or the errno value of the failure (EEXIST
// also when an entry differing only in letter case is already there).
int PlatformMakeFolder(const char* path);

// True when `a` and `b` are equal ignoring ASCII letter case only, the way
// Windows compares file names and registry keys (no locale: bytes from 0x80
// up compare exactly).
bool SameIgnoringCase(const char* a, const char* b);

// True when `path` names an existing folder (letter case as above).
bool PlatformFolderExists(const char* path);

// True when `path` names an existing regular file (letter case as above).
bool PlatformFileExists(const char* path);

// Opens an existing regular file for binary reading. Returns null when it
// cannot, with the reason in *error (when error is not null): ENOENT or
// ENOTDIR when there is no such file, EISDIR for a folder, EINVAL for any
// other kind of entry that is not a regular file (FIFO, device, socket, or a
// link to one), otherwise the open's own errno (EACCES...). Opening never
// blocks, not even on a FIFO without a writer. The caller closes the stream.
std::FILE* PlatformOpenRead(const char* path, int* error = nullptr);

// True when the open stream `f` and the entry at `path` are the same file
// (also through another name or a hard link). False when `path` does not
// exist or cannot be examined.
bool PlatformSameFile(std::FILE* f, const char* path);

// Closes `f`, which PlatformOpenWrite opened on `path`, and returns 0 or the
// errno of a failed flush or close. Unless `keep` is set and the close
// succeeded, `path` is then removed while it is still the regular file `f`
// wrote: a failed copy leaves no partial file, and a device written to
// (/dev/full) is never removed.
int PlatformCloseWritten(std::FILE* f, const char* path, bool keep);

// Creates or empties a file for binary writing; null when it cannot be opened.
// The last component is written exactly as given. The caller closes it.
std::FILE* PlatformOpenWrite(const char* path);

// Resolves `path` as the file system sees it (each existing component matched
// without regard to letter case on case-sensitive systems) into `out`.
// Returns false when the result does not fit `cap` bytes.
bool PlatformResolvePath(const char* path, char* out, std::size_t cap);
