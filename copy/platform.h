// The only part of the engine that knows which operating system it runs on.
// platform_posix.cpp and platform_win32.cpp each keep this contract; the
// build compiles one of them.
//
// On case-sensitive file systems (Linux, macOS) the simulator's files are
// looked up the way Windows and Wine see them: each existing path component
// is matched without regard to ASCII letter case, so a stock "P51D_N.MDL"
// serves the catalogue's "P51d_n.mdl". Names that are created are written
// exactly as given.
//
// Sections: names and paths, folders, files, the writes of one copy.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

class WriteSession;

// ---- Names and paths ---------------------------------------------------------

#ifdef _WIN32
constexpr char kPathSep = '\\';
#else
constexpr char kPathSep = '/';
#endif

// `name` below folder `a`, joined with the system's separator.
inline std::string JoinPaths(const std::string& a, const std::string& name) { return a + kPathSep + name; }

// ASCII letter case, the only case Windows file names and the simulator's
// files fold: bytes from 0x80 up stay as they are whatever the locale.
inline unsigned char AsciiUpper(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }
inline unsigned char AsciiLower(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

// True when `a` and `b` are equal ignoring ASCII letter case only, the way
// Windows compares file names and registry keys (no locale: bytes from 0x80
// up compare exactly).
bool SameIgnoringCase(const char* a, const char* b);

// True when `c` starts a double-byte character in the system's ANSI code
// page (Windows with an East Asian code page); never elsewhere.
bool PlatformIsLeadByte(unsigned char c);

// Resolves `path` as the file system sees it (each existing component matched
// without regard to letter case on case-sensitive systems) into `out`.
// Returns false when the result does not fit `cap` bytes.
bool PlatformResolvePath(const char* path, char* out, std::size_t cap);

// ---- Folders -----------------------------------------------------------------

// True when `path` names an existing folder (letter case as above).
bool PlatformFolderExists(const char* path);

// True unless folder `path` exists but may not be searched (its entries
// cannot be reached).
bool PlatformCanSearch(const char* path);

// 0 when new entries can be made in folder `path`, else the errno value a
// creation would fail with (EACCES, EROFS...). For predictions only: the
// creation itself is what counts.
int PlatformCanCreateIn(const char* path);

// Creates one folder, below the session's folder as WriteSession says when
// `session` is given. Returns 0, or the errno value of the failure (EEXIST
// also when an entry differing only in letter case is already there).
int PlatformMakeFolder(const char* path, const WriteSession* session = nullptr);

// Holds a lock on folder `path` against other Vantorel processes until
// PlatformUnlockFolder, so that the letter-case check of a new folder and
// its creation are one step. Returns a handle, or -1 when no lock could be
// taken (the copy then goes on unlocked: the creation itself is still
// exclusive).
int PlatformLockFolder(const char* path);
void PlatformUnlockFolder(int handle);

// The lock of PlatformLockFolder for one scope, released however it ends.
// A copy holds its Aircraft folder's for its whole run and a removal takes
// it too, so a removal never takes a folder from under a copy in progress.
struct FolderLock {
    int handle;
    explicit FolderLock(const char* path, bool take = true) : handle(take ? PlatformLockFolder(path) : -1) {}
    ~FolderLock() { PlatformUnlockFolder(handle); }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
};

// ---- Files -------------------------------------------------------------------

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

// Opens a file for binary writing; null with errno set when it cannot. The
// last component is written exactly as given. Below the folder of `session`
// the file is only ever created new, as WriteSession says; elsewhere it is
// created or emptied. The caller closes it with PlatformCloseWritten.
std::FILE* PlatformOpenWrite(const char* path, const WriteSession* session = nullptr);

// Closes `f`, which PlatformOpenWrite opened on `path` (with the same
// `session`), and returns 0 or the errno of a failed flush or close. Unless
// `keep` is set and the close succeeded, `path` is then removed while it is
// still the regular file `f` wrote: a failed copy leaves no partial file,
// and a device written to (/dev/full) is never removed.
int PlatformCloseWritten(std::FILE* f, const char* path, bool keep, const WriteSession* session = nullptr);

// Removes a file (or an empty folder, when `folder`) that this copy made;
// below the folder of `session` as WriteSession says. Returns 0 or errno.
int PlatformRemove(const char* path, bool folder, const WriteSession* session = nullptr);

// Renames `from` to `to` in the same folder. Returns 0 or errno.
int PlatformRename(const char* from, const char* to, const WriteSession* session = nullptr);

// ---- The writes of one copy --------------------------------------------------

// A copy writes only below the folder it has just made. Begin opens that
// folder once, without following a link; until End, every folder made and
// file created, renamed or removed below it through this session is reached
// from that folder through real folders only, never through a link, a
// junction or another reparse point, and files are only created when they
// do not exist yet. So a folder swapped for a link mid-copy, or a link
// planted in it, can never steer a write elsewhere: the operation fails
// instead (ELOOP, ENOTDIR, EEXIST or ENOENT). POSIX walks from the folder's
// handle with openat; Windows holds each folder on the way open, so that
// none can be renamed, removed or replaced until the operation is done.
class WriteSession {
public:
    WriteSession() = default;
    ~WriteSession() { End(); }
    WriteSession(const WriteSession&) = delete;
    WriteSession& operator=(const WriteSession&) = delete;

    // Opens `folder` for the session. Returns 0 or the errno value of the failure.
    int Begin(const char* folder);
    void End();

    // The part of `path` below the session's folder, or null when it is not
    // below it or no folder is open.
    const char* Below(const char* path) const;
    // The open folder: a file descriptor, or a HANDLE on Windows; -1 when none.
    std::intptr_t Folder() const { return m_hFolder; }

private:
    std::string m_strFolder;
    std::intptr_t m_hFolder = -1;
};
