#include "trash.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#include <vector>
#else
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef _WIN32

TrashStatus MoveToTrash(const char* path, bool dryRun, TrashResult* out, DeviceProbe) {
    out->entryPath.clear();
    out->infoPath.clear();
    out->error = 0;
    if (dryRun) return TrashOk;
    // The engine's paths are in the ANSI code page, as the simulator's are.
    int length = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (length <= 0) return TrashFailed;
    std::vector<wchar_t> wide(static_cast<std::size_t>(length));
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), length);
    DWORD fullLength = GetFullPathNameW(wide.data(), 0, nullptr, nullptr);
    if (fullLength == 0) return TrashFailed;
    // pFrom is a list of names, each NUL-terminated, ended by an empty one.
    std::vector<wchar_t> from(fullLength + 2, L'\0');
    if (GetFullPathNameW(wide.data(), fullLength + 1, from.data(), nullptr) == 0) return TrashFailed;
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.data();
    // FOF_ALLOWUNDO sends it to the Recycle Bin. Where a drive has none the
    // shell would delete for good, player's files included; FOF_WANTNUKEWARNING
    // makes it ask the player first even with FOF_NOCONFIRMATION, and a "no"
    // leaves everything in place (reported as aborted below).
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING | FOF_SILENT | FOF_NOERRORUI;
    int result = SHFileOperationW(&op);
    if (result != 0 || op.fAnyOperationsAborted) {
        out->error = result ? EIO : ECANCELED;  // the shell's own codes mean nothing to the caller
        return TrashFailed;
    }
    // The shell reports success for some refusals it handled itself: trust the disk.
    if (GetFileAttributesW(from.data()) != INVALID_FILE_ATTRIBUTES) {
        out->error = EACCES;
        return TrashFailed;
    }
    return TrashOk;
}

#else

namespace {

#ifdef STATX_MNT_ID
bool MountId(const char* path, unsigned long long* id) {
    struct statx sx;
    if (statx(AT_FDCWD, path, 0, STATX_MNT_ID, &sx) != 0 || !(sx.stx_mask & STATX_MNT_ID)) return false;
    *id = sx.stx_mnt_id;
    return true;
}
#else
bool MountId(const char*, unsigned long long*) { return false; }
#endif

// A folder can only be renamed within its mount. Another mount of the same
// device (a bind mount) has the device's st_dev but a mount id of its own;
// kernels before Linux 5.8 give no mount id, and there the device decides.
bool DefaultProbe(const char* path, unsigned long long* device) {
    if (MountId(path, device)) return true;
    struct stat st;
    if (stat(path, &st) != 0) return false;
    *device = static_cast<unsigned long long>(st.st_dev);
    return true;
}

std::string Parent(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

// The path as a URI path: every byte but the unreserved characters and '/'
// as %XX, so spaces and bytes of any encoding survive the .trashinfo file.
std::string PercentEncode(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || std::strchr("/-_.~", c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

// Makes `path` and the folders above it that are missing, each 0700.
bool MakeFolders(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    if (path != "/" && !MakeFolders(Parent(path))) return false;
    return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

// A trash folder the user owns, a real folder and not a link.
bool IsOwnFolder(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid();
}

// A trash: its folder, and the top folder that Path= is relative to ("" for
// the home trash, whose Path= is absolute).
struct Trash {
    std::string dir;
    std::string topDir;
};

// The home trash, whether it exists yet or not.
bool HomeTrash(std::string* dir) {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/') {
        *dir = std::string(dataHome) + "/Trash";
        return true;
    }
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') return false;
    *dir = std::string(home) + "/.local/share/Trash";
    return true;
}

// Finds the trash for `path` (absolute, links resolved). With `create` it
// makes the folders it needs; otherwise it only checks they could be made.
bool FindTrash(const std::string& path, bool create, DeviceProbe probe, Trash* trash) {
    unsigned long long device = 0, homeDevice = 0;
    if (!probe(path.c_str(), &device)) return false;
    std::string home;
    if (HomeTrash(&home)) {
        std::string existing = home;  // the home trash may not exist yet: its nearest existing folder decides
        while (!probe(existing.c_str(), &homeDevice) && existing != "/") existing = Parent(existing);
        if (probe(existing.c_str(), &homeDevice) && homeDevice == device) {
            trash->dir = home;
            trash->topDir.clear();
            return !create || (MakeFolders(home + "/files") && MakeFolders(home + "/info"));
        }
    }
    // Another mount: its top folder is the last one above `path` still on it.
    std::string top = Parent(path);
    unsigned long long above = 0;
    while (top != "/" && probe(Parent(top).c_str(), &above) && above == device) top = Parent(top);
    trash->topDir = top;
    const std::string base = top == "/" ? "" : top;
    const std::string uid = std::to_string(getuid());

    // $topdir/.Trash, shared and set up by an administrator: only a real
    // folder with the sticky bit, so no other user can take entries out.
    struct stat st;
    const std::string shared = base + "/.Trash";
    if (lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        trash->dir = shared + "/" + uid;
        if (!create) {
            if (IsOwnFolder(trash->dir) || (lstat(trash->dir.c_str(), &st) != 0 && access(shared.c_str(), W_OK) == 0))
                return true;
        } else if ((mkdir(trash->dir.c_str(), 0700) == 0 || errno == EEXIST) && IsOwnFolder(trash->dir) &&
                   MakeFolders(trash->dir + "/files") && MakeFolders(trash->dir + "/info")) {
            return true;
        }
    }
    // Else $topdir/.Trash-$uid, the user's own.
    trash->dir = base + "/.Trash-" + uid;
    if (!create)
        return IsOwnFolder(trash->dir) || (lstat(trash->dir.c_str(), &st) != 0 && access(top.c_str(), W_OK) == 0);
    return (mkdir(trash->dir.c_str(), 0700) == 0 || errno == EEXIST) && IsOwnFolder(trash->dir) &&
           MakeFolders(trash->dir + "/files") && MakeFolders(trash->dir + "/info");
}

std::string InfoText(const Trash& trash, const std::string& path) {
    // Path= is absolute for the home trash, relative to the top folder elsewhere.
    const std::string shown = trash.topDir.empty() ? path
                              : trash.topDir == "/" ? path.substr(1)
                                                    : path.substr(trash.topDir.size() + 1);
    char date[32];
    const std::time_t now = std::time(nullptr);
    std::tm local;
    localtime_r(&now, &local);
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    return "[Trash Info]\nPath=" + PercentEncode(shown) + "\nDeletionDate=" + date + "\n";
}

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

} // namespace

TrashStatus MoveToTrash(const char* path, bool dryRun, TrashResult* out, DeviceProbe probe) {
    out->entryPath.clear();
    out->infoPath.clear();
    out->error = 0;
    const std::string source = path;
    Trash trash;
    if (!FindTrash(source, !dryRun, probe ? probe : DefaultProbe, &trash)) return TrashUnavailable;

    // NAME, NAME.2, NAME.3, ...: the .trashinfo is created first, exclusively,
    // so two programs trashing the same name at once never share one.
    const std::string name = BaseName(source);
    for (int n = 1; n < 100000; ++n) {
        const std::string entry = n == 1 ? name : name + "." + std::to_string(n);
        out->entryPath = trash.dir + "/files/" + entry;
        out->infoPath = trash.dir + "/info/" + entry + ".trashinfo";
        if (dryRun) {
            if (!Exists(out->entryPath) && !Exists(out->infoPath)) return TrashOk;
            continue;
        }
        int fd = open(out->infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            out->error = errno;
            return TrashFailed;
        }
        if (Exists(out->entryPath)) {  // an entry whose info file was lost: leave both alone
            close(fd);
            unlink(out->infoPath.c_str());
            continue;
        }
        const std::string text = InfoText(trash, source);
        int err = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : (errno ? errno : EIO);
        if (close(fd) != 0 && !err) err = errno;
        if (!err && rename(source.c_str(), out->entryPath.c_str()) != 0) err = errno;
        if (err) {  // an info file without its entry would list a folder the trash does not hold
            unlink(out->infoPath.c_str());
            out->error = err;
            return TrashFailed;
        }
        return TrashOk;
    }
    out->error = EEXIST;
    return TrashFailed;
}

#endif
