#include "platform.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/statvfs.h>
#include <unistd.h>
#endif

bool SameIgnoringCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (AsciiLower(static_cast<unsigned char>(*a)) != AsciiLower(static_cast<unsigned char>(*b))) return false;
    }
    return *a == *b;
}

namespace {

#ifndef _WIN32

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
#endif

// Resolves every component of `path` but the last into `out`, copies the last
// as given, and returns a pointer to where the last component starts in `out`.
char* ResolveParent(const char* path, char* out, std::size_t cap) {
    const char* slash = std::strrchr(path, kPathSep);
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
    out[used] = kPathSep;
    std::strcpy(out + used + 1, slash + 1);
    return out + used + 1;
}

#ifndef _WIN32
// The folder of the copy being written: its path as given and its handle.
struct WriteRoot {
    std::string path;
    int fd = -1;
};
WriteRoot& Root() {
    static WriteRoot root;
    return root;
}

// The part of `path` below the write root, or null when it is not below it.
const char* BelowRoot(const char* path) {
    const WriteRoot& r = Root();
    if (r.fd < 0 || std::strncmp(path, r.path.c_str(), r.path.size()) != 0 || path[r.path.size()] != '/')
        return nullptr;
    return path + r.path.size() + 1;
}

// Opens the folder that holds the last component of `rel` (below the root),
// following no link on the way; writes the last component's name to *name.
// Returns the folder's handle (the root's own when `rel` has no folder part;
// the caller closes any other), or -1 with errno set.
int OpenParentBelowRoot(const char* rel, std::string* name) {
    int dir = Root().fd;
    const char* start = rel;
    for (const char* slash; (slash = std::strchr(start, '/')) != nullptr; start = slash + 1) {
        std::string part(start, static_cast<std::size_t>(slash - start));
        int next = openat(dir, part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        int err = errno;
        if (dir != Root().fd) close(dir);
        if (next < 0) {
            errno = err;
            return -1;
        }
        dir = next;
    }
    *name = start;
    return dir;
}
#endif

bool StatResolved(const char* path, struct stat* st) {
    if (stat(path, st) == 0) return true;  // as given: no lookup needed
    char real[1024];
    return PlatformResolvePath(path, real, sizeof real) && stat(real, st) == 0;
}

} // namespace

bool PlatformResolvePath(const char* path, char* out, std::size_t cap) {
    std::size_t len = std::strlen(path);
    if (len >= cap) return false;
#ifdef _WIN32
    std::strcpy(out, path);  // the file system already ignores letter case
    return true;
#else
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
#endif
}

int PlatformMakeFolder(const char* path) {
#ifdef _WIN32
    return _mkdir(path) == 0 ? 0 : errno;
#else
    if (const char* rel = BelowRoot(path)) {
        std::string name;
        int dir = OpenParentBelowRoot(rel, &name);
        if (dir < 0) return errno;
        int rc = mkdirat(dir, name.c_str(), 0777) == 0 ? 0 : errno;
        if (dir != Root().fd) close(dir);
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
#endif
}

bool PlatformFolderExists(const char* path) {
    struct stat st;
    return StatResolved(path, &st) && S_ISDIR(st.st_mode);
}

bool PlatformFileExists(const char* path) {
    struct stat st;
    return StatResolved(path, &st) && S_ISREG(st.st_mode);
}

std::FILE* PlatformOpenRead(const char* path) {
#ifndef _WIN32
    // A path that exists as given (the catalogue's names, the usual case)
    // needs no lookup of each component; only a miss looks for letter case.
    if (std::FILE* f = std::fopen(path, "rb")) return f;
    if (errno != ENOENT && errno != ENOTDIR) return nullptr;
#endif
    char real[1024];
    if (!PlatformResolvePath(path, real, sizeof real)) return nullptr;
    return std::fopen(real, "rb");
}

std::FILE* PlatformOpenWrite(const char* path) {
#ifndef _WIN32
    if (const char* rel = BelowRoot(path)) {
        std::string name;
        int dir = OpenParentBelowRoot(rel, &name);
        if (dir < 0) return nullptr;
        int fd = openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        int err = errno;
        if (dir != Root().fd) close(dir);
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
#endif
    char real[1024];
    if (!ResolveParent(path, real, sizeof real)) return nullptr;
    return std::fopen(real, "wb");
}

bool PlatformListFolder(const char* path, std::vector<std::string>* names) {
    names->clear();
#ifdef _WIN32
    std::string pattern = std::string(path) + "\\*";
    _finddata_t found;
    intptr_t h = _findfirst(pattern.c_str(), &found);
    if (h == -1) return false;
    do {
        if (std::strcmp(found.name, ".") != 0 && std::strcmp(found.name, "..") != 0) names->push_back(found.name);
    } while (_findnext(h, &found) == 0);
    _findclose(h);
    return true;
#else
    char real[1024];
    if (!PlatformResolvePath(path, real, sizeof real)) return false;
    DIR* d = opendir(real);
    if (!d) return false;
    while (const dirent* e = readdir(d))
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names->push_back(e->d_name);
    closedir(d);
    return true;
#endif
}

int PlatformBeginWrites(const char* folder) {
#ifdef _WIN32
    (void)folder;
    return 0;
#else
    PlatformEndWrites();
    char real[1024];
    if (!PlatformResolvePath(folder, real, sizeof real)) return ENAMETOOLONG;
    int fd = open(real, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return errno;
    Root().fd = fd;
    Root().path = folder;
    return 0;
#endif
}

void PlatformEndWrites() {
#ifndef _WIN32
    if (Root().fd >= 0) close(Root().fd);
    Root().fd = -1;
    Root().path.clear();
#endif
}

int PlatformRemove(const char* path, bool folder) {
#ifdef _WIN32
    return (folder ? _rmdir(path) : std::remove(path)) == 0 ? 0 : errno;
#else
    if (const char* rel = BelowRoot(path)) {
        std::string name;
        int dir = OpenParentBelowRoot(rel, &name);
        if (dir < 0) return errno;
        int rc = unlinkat(dir, name.c_str(), folder ? AT_REMOVEDIR : 0) == 0 ? 0 : errno;
        if (dir != Root().fd) close(dir);
        return rc;
    }
    char real[1024];
    if (!ResolveParent(path, real, sizeof real)) return ENAMETOOLONG;
    return (folder ? rmdir(real) : unlink(real)) == 0 ? 0 : errno;
#endif
}

int PlatformRename(const char* from, const char* to) {
#ifndef _WIN32
    const char* relFrom = BelowRoot(from);
    const char* relTo = BelowRoot(to);
    if (relFrom && relTo) {
        std::string fromName, toName;
        int fromDir = OpenParentBelowRoot(relFrom, &fromName);
        if (fromDir < 0) return errno;
        int toDir = OpenParentBelowRoot(relTo, &toName);
        if (toDir < 0) {
            int err = errno;
            if (fromDir != Root().fd) close(fromDir);
            return err;
        }
        int rc = renameat(fromDir, fromName.c_str(), toDir, toName.c_str()) == 0 ? 0 : errno;
        if (fromDir != Root().fd) close(fromDir);
        if (toDir != Root().fd) close(toDir);
        return rc;
    }
#endif
    return std::rename(from, to) == 0 ? 0 : errno;
}

int PlatformLockFolder(const char* path) {
#ifdef _WIN32
    (void)path;  // folder creation is atomic and ignores letter case there
    return -1;
#else
    char real[1024];
    if (!PlatformResolvePath(path, real, sizeof real)) return -1;
    int fd = open(real, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return -1;
    if (flock(fd, LOCK_EX) != 0) {
        close(fd);
        return -1;
    }
    return fd;
#endif
}

void PlatformUnlockFolder(int handle) {
#ifndef _WIN32
    if (handle >= 0) close(handle);  // closing releases the lock
#endif
}

bool PlatformCanSearch(const char* path) {
#ifdef _WIN32
    (void)path;
    return true;
#else
    char real[1024];
    return !PlatformResolvePath(path, real, sizeof real) || access(real, X_OK) == 0;
#endif
}

int PlatformCanCreateIn(const char* path) {
#ifdef _WIN32
    return _access(path, 2) == 0 ? 0 : errno;
#else
    char real[1024];
    if (!PlatformResolvePath(path, real, sizeof real)) return ENAMETOOLONG;
    struct statvfs fs;
    if (statvfs(real, &fs) == 0 && (fs.f_flag & ST_RDONLY)) return EROFS;
    return access(real, W_OK | X_OK) == 0 ? 0 : errno;
#endif
}
