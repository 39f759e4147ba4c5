// platform.h on Windows. Paths are in the ANSI code page, as the
// simulator's are; the wide-character calls get them converted.
//
// Sections:
//   1. Errors
//   2. Names and paths
//   3. The writes of one copy
//   4. Folders
//   5. Files
//   6. Folder listings and link-safe removal (folder_os.h)

// Models can pass 4 GiB: stat needs its 64-bit form to see them at all.
#define _FILE_OFFSET_BITS 64

#include "platform.h"

#include "folder_os.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <sys/stat.h>
#include <vector>
#include <windows.h>

//----------------------------------------------------------------------------
// 1. Errors
//----------------------------------------------------------------------------
namespace {

// The errno values the C runtime gives for the errors a file operation
// meets, so the messages read as they did when the runtime's calls made
// these files; beyond its table a path too long says so, and anything
// unknown is an I/O error, as elsewhere in the engine.
int ErrnoFromWin32(DWORD code) {
    static const struct { DWORD code; int error; } kMap[] = {
        {ERROR_FILE_NOT_FOUND, ENOENT},     {ERROR_PATH_NOT_FOUND, ENOENT},
        {ERROR_INVALID_NAME, ENOENT},       {ERROR_BAD_PATHNAME, ENOENT},
        {ERROR_INVALID_DRIVE, ENOENT},      {ERROR_BAD_NETPATH, ENOENT},
        {ERROR_BAD_NET_NAME, ENOENT},       {ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG},
        {ERROR_ACCESS_DENIED, EACCES},      {ERROR_SHARING_VIOLATION, EACCES},
        {ERROR_LOCK_VIOLATION, EACCES},     {ERROR_NETWORK_ACCESS_DENIED, EACCES},
        {ERROR_WRITE_PROTECT, EACCES},      {ERROR_CANNOT_MAKE, EACCES},
        {ERROR_FILE_EXISTS, EEXIST},        {ERROR_ALREADY_EXISTS, EEXIST},
        {ERROR_DIR_NOT_EMPTY, ENOTEMPTY},   {ERROR_DIRECTORY, ENOTDIR},
        {ERROR_DISK_FULL, ENOSPC},          {ERROR_HANDLE_DISK_FULL, ENOSPC},
        {ERROR_NOT_SAME_DEVICE, EXDEV},     {ERROR_TOO_MANY_OPEN_FILES, EMFILE},
        {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},  {ERROR_OUTOFMEMORY, ENOMEM},
        {ERROR_CANT_RESOLVE_FILENAME, ELOOP},
    };
    for (const auto& m : kMap)
        if (m.code == code) return m.error;
    return EIO;
}

} // namespace

//----------------------------------------------------------------------------
// 2. Names and paths
//----------------------------------------------------------------------------
namespace {

// `path` in UTF-16, converted as the ANSI calls convert it.
std::wstring Wide(const char* path) {
    const int length = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path, -1, &out[0], length);
    out.resize(static_cast<std::size_t>(length - 1));
    return out;
}

} // namespace

bool PlatformIsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

bool PlatformResolvePath(const char* path, char* out, std::size_t cap) {
    if (std::strlen(path) >= cap) return false;
    std::strcpy(out, path);  // the file system already ignores letter case
    return true;
}

//----------------------------------------------------------------------------
// 3. The writes of one copy
//----------------------------------------------------------------------------
namespace {

// Opens folder `path` as it is, not what a link or junction there points
// at, and keeps it in place: without FILE_SHARE_DELETE in the share mode no
// one can rename or remove it while the handle is open. (Opens that may only
// read attributes take no part in sharing, hence the listing right.) A link,
// junction or other reparse point is refused with ELOOP. Under Wine 8 a
// handle opened on a link reports no attributes, so they are read by path
// once the handle holds the name.
int HoldFolder(const std::wstring& path, HANDLE* held) {
    HANDLE h = CreateFileW(path.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return ErrnoFromWin32(GetLastError());
    const DWORD attributes = GetFileAttributesW(path.c_str());
    int error = 0;
    if (attributes == INVALID_FILE_ATTRIBUTES)
        error = ErrnoFromWin32(GetLastError());
    else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        error = ELOOP;
    else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        error = ENOTDIR;
    if (error) {
        CloseHandle(h);
        return error;
    }
    *held = h;
    return 0;
}

// The folders between a base folder and the last component of a path below
// it, each held by HoldFolder for as long as this lives: the name the caller
// then makes or removes is reached through real folders only, and they stay
// so until it is done. The base folder itself is the caller's to hold.
class HeldPath {
public:
    HeldPath() = default;
    HeldPath(const HeldPath&) = delete;
    HeldPath& operator=(const HeldPath&) = delete;
    ~HeldPath() {
        for (HANDLE h : m_held) CloseHandle(h);
    }
    // Holds the folders of `path` from `rel` on, the part of it below the
    // base folder. Returns 0 or errno.
    int Hold(const char* path, const char* rel) {
        for (const char* slash = std::strchr(rel, '\\'); slash; slash = std::strchr(slash + 1, '\\')) {
            HANDLE h;
            if (int error = HoldFolder(Wide(std::string(path, slash).c_str()), &h)) return error;
            m_held.push_back(h);
        }
        return 0;
    }
    // The same below the folder of `session`, which holds that folder; sets
    // *below when `path` lies below it (nothing is held otherwise).
    int Hold(const WriteSession* session, const char* path, bool* below) {
        const char* rel = session ? session->Below(path) : nullptr;
        *below = rel != nullptr;
        return rel ? Hold(path, rel) : 0;
    }

private:
    std::vector<HANDLE> m_held;
};

} // namespace

int WriteSession::Begin(const char* folder) {
    End();
    HANDLE h;
    if (int error = HoldFolder(Wide(folder), &h)) return error;
    m_hFolder = reinterpret_cast<std::intptr_t>(h);
    m_strFolder = folder;
    return 0;
}

void WriteSession::End() {
    if (m_hFolder != -1) CloseHandle(reinterpret_cast<HANDLE>(m_hFolder));
    m_hFolder = -1;
    m_strFolder.clear();
}

//----------------------------------------------------------------------------
// 4. Folders
//----------------------------------------------------------------------------

bool PlatformFolderExists(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool PlatformCanSearch(const char*) { return true; }

int PlatformCanCreateIn(const char* path) { return _access(path, 2) == 0 ? 0 : errno; }

int PlatformMakeFolder(const char* path, const WriteSession* session) {
    HeldPath held;
    bool below;
    if (int error = held.Hold(session, path, &below)) return error;
    // Creation fails on any entry of that name, a link included, and ignores letter case.
    return CreateDirectoryW(Wide(path).c_str(), nullptr) ? 0 : ErrnoFromWin32(GetLastError());
}

// Folder creation is atomic and ignores letter case here: nothing to lock.
int PlatformLockFolder(const char*) { return -1; }

void PlatformUnlockFolder(int) {}

//----------------------------------------------------------------------------
// 5. Files
//----------------------------------------------------------------------------
namespace {

// Attributes first: CreateFile on a folder fails with a misleading "access
// denied". A handle that is not a disk file (console, pipe, COM port) is
// refused before anything reads from it.
std::FILE* OpenRegular(const char* path, int* error) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        *error = ErrnoFromWin32(GetLastError());
        return nullptr;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        *error = EISDIR;
        return nullptr;
    }
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        *error = ErrnoFromWin32(GetLastError());
        return nullptr;
    }
    if (GetFileType(h) != FILE_TYPE_DISK) {
        CloseHandle(h);
        *error = EINVAL;
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        *error = EMFILE;
        return nullptr;
    }
    std::FILE* f = _fdopen(fd, "rb");
    if (!f) {
        *error = errno;
        _close(fd);
    }
    return f;
}

} // namespace

bool PlatformFileExists(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

std::FILE* PlatformOpenRead(const char* path, int* error) {
    int ignored = 0;
    if (!error) error = &ignored;
    *error = 0;
    return OpenRegular(path, error);
}

bool PlatformSameFile(std::FILE* f, const char* path) {
    BY_HANDLE_FILE_INFORMATION a, b;
    HANDLE open = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)));
    if (open == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(open, &a)) return false;
    HANDLE other = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (other == INVALID_HANDLE_VALUE) return false;
    const bool got = GetFileInformationByHandle(other, &b) != 0;
    CloseHandle(other);
    return got && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

std::FILE* PlatformOpenWrite(const char* path, const WriteSession* session) {
    HeldPath held;
    bool below;
    if (int error = held.Hold(session, path, &below)) {
        errno = error;
        return nullptr;
    }
    // CREATE_NEW fails on any entry of that name, a dangling link included;
    // FILE_FLAG_OPEN_REPARSE_POINT keeps a link from being followed at all.
    HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           below ? CREATE_NEW : CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | (below ? FILE_FLAG_OPEN_REPARSE_POINT : 0), nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        errno = ErrnoFromWin32(GetLastError());
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        errno = EMFILE;
        return nullptr;
    }
    std::FILE* f = _fdopen(fd, "wb");
    if (!f) {
        const int error = errno;
        _close(fd);
        errno = error;
    }
    return f;
}

int PlatformCloseWritten(std::FILE* f, const char* path, bool keep, const WriteSession* session) {
    int error = std::fflush(f) == 0 ? 0 : (errno ? errno : EIO);
    const bool regular = GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)))) == FILE_TYPE_DISK;
    if (std::fclose(f) != 0 && !error) error = errno ? errno : EIO;
    if (regular && (error || !keep)) PlatformRemove(path, false, session);
    return error;
}

int PlatformRemove(const char* path, bool folder, const WriteSession* session) {
    HeldPath held;
    bool below;
    if (int error = held.Hold(session, path, &below)) return error;
    const std::wstring wide = Wide(path);
    // A link or junction now in the place of what the copy made is not the copy's.
    const DWORD attributes = below ? GetFileAttributesW(wide.c_str()) : INVALID_FILE_ATTRIBUTES;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return ELOOP;
    const BOOL ok = folder ? RemoveDirectoryW(wide.c_str()) : DeleteFileW(wide.c_str());
    return ok ? 0 : ErrnoFromWin32(GetLastError());
}

int PlatformRename(const char* from, const char* to, const WriteSession* session) {
    HeldPath heldFrom, heldTo;
    bool below;
    if (int error = heldFrom.Hold(session, from, &below)) return error;
    if (int error = heldTo.Hold(session, to, &below)) return error;
    return MoveFileW(Wide(from).c_str(), Wide(to).c_str()) ? 0 : ErrnoFromWin32(GetLastError());
}

//----------------------------------------------------------------------------
// 6. Folder listings and link-safe removal (folder_os.h)
//----------------------------------------------------------------------------
namespace {

EntryKind KindFromAttributes(DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return EntryOther;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryFolder : EntryFile;
}

} // namespace

bool GetEntryKind(const char* path, EntryKind* kind) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    *kind = KindFromAttributes(attributes);
    return true;
}

bool ListFolder(const char* path, std::vector<FolderEntry>* out) {
    out->clear();
    std::string pattern = std::string(path) + "\\*";
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;  // even an empty folder lists "."
    do {
        if (!std::strcmp(data.cFileName, ".") || !std::strcmp(data.cFileName, "..")) continue;
        out->push_back({data.cFileName, KindFromAttributes(data.dwFileAttributes)});
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(out->begin(), out->end(), [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return true;
}

bool AbsolutePath(const char* path, std::string* out) {
    char buffer[MAX_PATH];
    DWORD n = GetFullPathNameA(path, MAX_PATH, buffer, nullptr);
    if (n == 0 || n >= MAX_PATH || GetFileAttributesA(buffer) == INVALID_FILE_ATTRIBUTES) return false;
    *out = buffer;
    return true;
}

int RemoveEntryNoFollow(const char* baseDir, const char* relPath, bool folder) {
    std::string rel = relPath;  // "XY1d\\" names the folder XY1d
    while (!rel.empty() && rel.back() == '\\') rel.pop_back();
    if (rel.empty()) return EINVAL;
    // Every component below baseDir must be a real folder, not a junction
    // or a link to a folder elsewhere, and stays one until the removal is done.
    const std::string path = std::string(baseDir) + '\\' + rel;
    HeldPath held;
    if (int error = held.Hold(path.c_str(), path.c_str() + path.size() - rel.size()))
        return error == ENOTDIR ? ELOOP : error;
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return ErrnoFromWin32(GetLastError());
    if (KindFromAttributes(attributes) != (folder ? EntryFolder : EntryFile)) return ELOOP;
    // A read-only file is still the copy's own: the stock files it was made from may carry the flag.
    if (!folder && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    BOOL ok = folder ? RemoveDirectoryA(path.c_str()) : DeleteFileA(path.c_str());
    return ok ? 0 : ErrnoFromWin32(GetLastError());
}
