// platform.h on POSIX systems (Linux, macOS).
//
// Sections:
//   1. Letter case
//   2. Names and paths
//   3. The writes of one copy
//   4. Folders
//   5. Files
//   6. Folder listings and link-safe removal (folder_os.h)

// Models can pass 4 GiB: 32-bit builds need the 64-bit file interface to
// open them at all.
#define _FILE_OFFSET_BITS 64

#include "platform.h"

#include "folder_os.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

//----------------------------------------------------------------------------
// 1. Letter case
//----------------------------------------------------------------------------
namespace {

// Finds the entry of folder `dir` that `name` stands for, as Windows would:
// an exact match first, else the first case-insensitive match in byte order.
// Returns false when there is none.
bool FindEntryIgnoringCase(const char* dir, const char* name, char* found, std::size_t cap) {
    DIR* d = opendir(*dir ? dir : "/");
    if (!d) return false;
    bool any = false;
    while (const dirent* e = readdir(d)) {
        if (!SameIgnoringCase(e->d_name, name)) continue;
        if (std::strcmp(e->d_name, name) == 0 || !any || std::strcmp(e->d_name, found) < 0) {
            if (std::strlen(e->d_name) >= cap) continue;
            std::strcpy(found, e->d_name);
            any = true;
            if (std::strcmp(e->d_name, name) == 0) break;
        }
    }
    closedir(d);
    return any;
}

// Resolves every component of `path` but the last into `out`, copies the last
// as given, and returns a pointer to where the last component starts in `out`.
char* ResolveParent(const char* path, char* out, std::size_t cap) {
    const char* slash = std::strrchr(path, '/');
    if (!slash) {
        if (std::strlen(path) >= cap) return nullptr;
        std::strcpy(out, path);
        return out;
    }
    std::size_t dirLen = static_cast<std::size_t>(slash - path);
    char dir[1024];
    if (dirLen >= sizeof dir) return nullptr;
    std::memcpy(dir, path, dirLen);
    dir[dirLen] = '\0';
    if (!PlatformResolvePath(dir, out, cap)) return nullptr;
    std::size_t used = std::strlen(out);
    if (used + 1 + std::strlen(slash + 1) >= cap) return nullptr;
    out[used] = '/';
    std::strcpy(out + used + 1, slash + 1);
    return out + used + 1;
}

bool StatResolved(const char* path, struct stat* st) {
    if (stat(path, st) == 0) return true;  // as given: no lookup needed
    char real[1024];
    return PlatformResolvePath(path, real, sizeof real) && stat(real, st) == 0;
}

} // namespace

//----------------------------------------------------------------------------
// 2. Names and paths
//----------------------------------------------------------------------------

bool PlatformIsLeadByte(unsigned char) { return false; }

bool PlatformResolvePath(const char* path, char* out, std::size_t cap) {
    std::size_t len = std::strlen(path);
    if (len >= cap) return false;
    std::strcpy(out, path);
    // Walk the components; an exact hit needs no directory scan.
    std::size_t start = (out[0] == '/') ? 1 : 0;
    while (start < len) {
        char* end = std::strchr(out + start, '/');
        std::size_t compEnd = end ? static_cast<std::size_t>(end - out) : len;
        char saved = out[compEnd];
        out[compEnd] = '\0';
        struct stat st;
        if (stat(out, &st) != 0) {
            char name[256], found[256], dir[1024];
            std::size_t nameLen = compEnd - start;
            if (nameLen >= sizeof name || start > sizeof dir) {
                out[compEnd] = saved;  // too long to scan for: keep the rest as given
                return true;
            }
            std::memcpy(name, out + start, nameLen + 1);
            if (start == 0) {
                std::strcpy(dir, ".");
            } else if (start == 1) {
                std::strcpy(dir, "/");
            } else {
                std::memcpy(dir, out, start - 1);
                dir[start - 1] = '\0';
            }
            // Case-insensitive ASCII matches have the same length; anything
            // else means there is nothing to match: keep the rest as given.
            if (!FindEntryIgnoringCase(dir, name, found, sizeof found) || std::strlen(found) != nameLen) {
                out[compEnd] = saved;
                return true;
            }
            std::memcpy(out + start, found, nameLen);
        }
        out[compEnd] = saved;
        start = compEnd + 1;
    }
    return true;
}

//----------------------------------------------------------------------------
// 3. The writes of one copy
//----------------------------------------------------------------------------
namespace {

// Opens the folder that holds the last component of `rel` (below folder
// `root`), following no link on the way; writes the last component's name
// to *name. Returns the folder's handle (`root` itself when `rel` has no
// folder part; CloseParent closes any other), or -1 with errno set.
int OpenParentBelow(int root, const char* rel, std::string* name) {
    int dir = root;
    const char* start = rel;
    for (const char* slash; (slash = std::strchr(start, '/')) != nullptr; start = slash + 1) {
        std::string part(start, static_cast<std::size_t>(slash - start));
        int next = openat(dir, part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        int err = errno;
        if (dir != root) close(dir);
        if (next < 0) {
            errno = err;
            return -1;
        }
        dir = next;
    }
    *name = start;
    return dir;
}

void CloseParent(int root, int dir) {
    if (dir != root) close(dir);
}

int OpenParentBelow(const WriteSession& session, const char* rel, std::string* name) {
    return OpenParentBelow(static_cast<int>(session.Folder()), rel, name);
}

void CloseParent(const WriteSession& session, int dir) { CloseParent(static_cast<int>(session.Folder()), dir); }

// The part of `path` below the session's folder, or null without a session.
const char* BelowSession(const WriteSession* session, const char* path) {
    return session ? session->Below(path) : nullptr;
}

} // namespace

int WriteSession::Begin(const char* folder) {
    End();
    char real[1024];
    if (!PlatformResolvePath(folder, real, sizeof real)) return ENAMETOOLONG;
    int fd = open(real, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return errno;
    m_hFolder = fd;
    m_strFolder = folder;
    return 0;
}

void WriteSession::End() {
    if (m_hFolder != -1) close(static_cast<int>(m_hFolder));
    m_hFolder = -1;
    m_strFolder.clear();
}

//----------------------------------------------------------------------------
// 4. Folders
//----------------------------------------------------------------------------

bool PlatformFolderExists(const char* path) {
    struct stat st;
    return StatResolved(path, &st) && S_ISDIR(st.st_mode);
}

bool PlatformCanSearch(const char* path) {
    char real[1024];
    return !PlatformResolvePath(path, real, sizeof real) || access(real, X_OK) == 0;
}

int PlatformCanCreateIn(const char* path) {
    char real[1024];
    if (!PlatformResolvePath(path, real, sizeof real)) return ENAMETOOLONG;
    struct statvfs fs;
    if (statvfs(real, &fs) == 0 && (fs.f_flag & ST_RDONLY)) return EROFS;
    return access(real, W_OK | X_OK) == 0 ? 0 : errno;
}

int PlatformMakeFolder(const char* path, const WriteSession* session) {
    if (const char* rel = BelowSession(session, path)) {
        std::string name;
        int dir = OpenParentBelow(*session, rel, &name);
        if (dir < 0) return errno;
        int rc = mkdirat(dir, name.c_str(), 0777) == 0 ? 0 : errno;
        CloseParent(*session, dir);
        return rc;
    }
    char real[1024];
    char* last = ResolveParent(path, real, sizeof real);
    if (!last) return ENAMETOOLONG;
    // On Windows "XY1d" and an existing "xy1d" are the same folder: refuse it
    // here too rather than make a sibling the simulator cannot tell apart.
    char parent[1024], found[256];
    std::size_t parentLen = static_cast<std::size_t>(last - real);
    if (parentLen > 0) {
        std::memcpy(parent, real, parentLen - 1);
        parent[parentLen - 1] = '\0';
    } else {
        std::strcpy(parent, ".");
    }
    if (FindEntryIgnoringCase(*parent ? parent : "/", last, found, sizeof found)) return EEXIST;
    return mkdir(real, 0777) == 0 ? 0 : errno;
}

int PlatformLockFolder(const char* path) {
    char real[1024];
    if (!PlatformResolvePath(path, real, sizeof real)) return -1;
    int fd = open(real, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return -1;
    if (flock(fd, LOCK_EX) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

void PlatformUnlockFolder(int handle) {
    if (handle >= 0) close(handle);  // closing releases the lock
}

//----------------------------------------------------------------------------
// 5. Files
//----------------------------------------------------------------------------
namespace {

// O_NONBLOCK keeps the open of a FIFO without a writer (or a terminal or a
// device) from waiting; O_NOCTTY keeps a terminal from becoming ours. Only a
// regular file is then read, in blocking mode again.
std::FILE* OpenRegular(const char* path, int* error) {
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *error = errno;
        return nullptr;
    }
    struct stat st;
    if (fstat(fd, &st) != 0) {
        *error = errno;
    } else if (!S_ISREG(st.st_mode)) {
        *error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    } else if (fcntl(fd, F_SETFL, 0) != 0) {  // none of the other status flags was set
        *error = errno;
    } else if (std::FILE* f = fdopen(fd, "rb")) {
        return f;
    } else {
        *error = errno;
    }
    close(fd);
    return nullptr;
}

} // namespace

bool PlatformFileExists(const char* path) {
    struct stat st;
    return StatResolved(path, &st) && S_ISREG(st.st_mode);
}

std::FILE* PlatformOpenRead(const char* path, int* error) {
    int ignored = 0;
    if (!error) error = &ignored;
    *error = 0;
    // A path that exists as given (the catalogue's names, the usual case)
    // needs no lookup of each component; only a miss looks for letter case.
    if (std::FILE* f = OpenRegular(path, error)) return f;
    if (*error != ENOENT && *error != ENOTDIR) return nullptr;
    char real[1024];
    if (!PlatformResolvePath(path, real, sizeof real)) {
        *error = ENAMETOOLONG;
        return nullptr;
    }
    if (std::strcmp(real, path) != 0) return OpenRegular(real, error);
    return nullptr;
}

bool PlatformSameFile(std::FILE* f, const char* path) {
    // The destination is usually new: when its folder exists as given, a
    // failed stat settles it without resolving letter case.
    struct stat a, b;
    if (stat(path, &b) != 0) {
        char real[1024];
        const char* slash = std::strrchr(path, '/');
        std::string parent(path, slash ? static_cast<std::size_t>(slash - path) : 0);
        if (parent.empty() || stat(parent.c_str(), &b) == 0 || !ResolveParent(path, real, sizeof real) ||
            stat(real, &b) != 0)
            return false;
    }
    return fstat(fileno(f), &a) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::FILE* PlatformOpenWrite(const char* path, const WriteSession* session) {
    if (const char* rel = BelowSession(session, path)) {
        std::string name;
        int dir = OpenParentBelow(*session, rel, &name);
        if (dir < 0) return nullptr;
        int fd = openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        int err = errno;
        CloseParent(*session, dir);
        std::FILE* f = fd < 0 ? nullptr : fdopen(fd, "wb");
        if (fd >= 0 && !f) {
            err = errno;
            close(fd);
        }
        errno = err;
        return f;
    }
    // Parent folders that exist as given need no lookup (see PlatformOpenRead).
    if (std::FILE* f = std::fopen(path, "wb")) return f;
    if (errno != ENOENT && errno != ENOTDIR) return nullptr;
    char real[1024];
    if (!ResolveParent(path, real, sizeof real)) return nullptr;
    return std::fopen(real, "wb");
}

int PlatformCloseWritten(std::FILE* f, const char* path, bool keep, const WriteSession*) {
    int error = std::fflush(f) == 0 ? 0 : (errno ? errno : EIO);
    struct stat written, st;
    const bool regular = !(keep && !error) && fstat(fileno(f), &written) == 0 && S_ISREG(written.st_mode);
    if (std::fclose(f) != 0 && !error) {
        // Too late to tell what was written: the name is removed if it is a regular file.
        error = errno ? errno : EIO;
        if (stat(path, &st) == 0 && S_ISREG(st.st_mode)) std::remove(path);
        return error;
    }
    if (!regular) return error;
    // Removed only while the name still leads to the file written, as given
    // or as PlatformOpenWrite resolved it.
    char real[1024];
    const char* name = path;
    if (stat(path, &st) != 0 && ResolveParent(path, real, sizeof real)) name = real;
    if (stat(name, &st) == 0 && st.st_dev == written.st_dev && st.st_ino == written.st_ino) std::remove(name);
    return error;
}

int PlatformRemove(const char* path, bool folder, const WriteSession* session) {
    if (const char* rel = BelowSession(session, path)) {
        std::string name;
        int dir = OpenParentBelow(*session, rel, &name);
        if (dir < 0) return errno;
        int rc = unlinkat(dir, name.c_str(), folder ? AT_REMOVEDIR : 0) == 0 ? 0 : errno;
        CloseParent(*session, dir);
        return rc;
    }
    char real[1024];
    if (!ResolveParent(path, real, sizeof real)) return ENAMETOOLONG;
    return (folder ? rmdir(real) : unlink(real)) == 0 ? 0 : errno;
}

int PlatformRename(const char* from, const char* to, const WriteSession* session) {
    const char* relFrom = BelowSession(session, from);
    const char* relTo = BelowSession(session, to);
    if (relFrom && relTo) {
        std::string fromName, toName;
        int fromDir = OpenParentBelow(*session, relFrom, &fromName);
        if (fromDir < 0) return errno;
        int toDir = OpenParentBelow(*session, relTo, &toName);
        if (toDir < 0) {
            int err = errno;
            CloseParent(*session, fromDir);
            return err;
        }
        int rc = renameat(fromDir, fromName.c_str(), toDir, toName.c_str()) == 0 ? 0 : errno;
        CloseParent(*session, fromDir);
        CloseParent(*session, toDir);
        return rc;
    }
    return std::rename(from, to) == 0 ? 0 : errno;
}

//----------------------------------------------------------------------------
// 6. Folder listings and link-safe removal (folder_os.h)
//----------------------------------------------------------------------------
namespace {

EntryKind KindFromMode(mode_t mode) {
    if (S_ISREG(mode)) return EntryFile;
    return S_ISDIR(mode) ? EntryFolder : EntryOther;
}

} // namespace

bool GetEntryKind(const char* path, EntryKind* kind) {
    struct stat st;
    if (lstat(path, &st) != 0) return false;
    *kind = KindFromMode(st.st_mode);
    return true;
}

bool ListFolder(const char* path, std::vector<FolderEntry>* out) {
    out->clear();
    char real[1024];  // the Aircraft folder may be named in another letter case than on disk
    if (!PlatformResolvePath(path, real, sizeof real)) return false;
    int fd = open(real, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    DIR* d = fdopendir(fd);
    if (!d) {
        close(fd);
        return false;
    }
    while (const dirent* e = readdir(d)) {
        if (!std::strcmp(e->d_name, ".") || !std::strcmp(e->d_name, "..")) continue;
        struct stat st;
        EntryKind kind = fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 ? KindFromMode(st.st_mode) : EntryOther;
        out->push_back({e->d_name, kind});
    }
    closedir(d);
    std::sort(out->begin(), out->end(), [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return true;
}

bool AbsolutePath(const char* path, std::string* out) {
    char buffer[PATH_MAX];
    if (!realpath(path, buffer)) return false;
    *out = buffer;
    return true;
}

int RemoveEntryNoFollow(const char* baseDir, const char* relPath, bool folder) {
    std::string rel = relPath;  // "XY1d/" names the folder XY1d
    while (!rel.empty() && rel.back() == '/') rel.pop_back();
    if (rel.empty()) return EINVAL;
    const int root = open(baseDir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (root < 0) return errno;
    std::string name;
    const int dir = OpenParentBelow(root, rel.c_str(), &name);
    int result = 0;
    struct stat st;
    if (dir < 0)
        result = errno == ENOTDIR ? ELOOP : errno;  // O_NOFOLLOW on a link also gives ELOOP
    else if (fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        result = errno;
    else if (KindFromMode(st.st_mode) != (folder ? EntryFolder : EntryFile))
        result = ELOOP;
    else if (unlinkat(dir, name.c_str(), folder ? AT_REMOVEDIR : 0) != 0)
        result = errno == EEXIST ? ENOTEMPTY : errno;  // POSIX allows either for a full folder
    if (dir >= 0) CloseParent(root, dir);
    close(root);
    return result;
}
