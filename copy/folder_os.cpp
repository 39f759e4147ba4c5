#include "folder_os.h"

#include "platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <climits>
#include <cstdlib>
#endif

namespace {

void SortByName(std::vector<FolderEntry>* entries) {
    std::sort(entries->begin(), entries->end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
}

// Splits "a<sep>b<sep>c" into its components; empty ones are dropped.
std::vector<std::string> Components(const char* relPath) {
    std::vector<std::string> parts;
    std::string part;
    for (const char* p = relPath;; ++p) {
        if (*p == kPathSep || !*p) {
            if (!part.empty()) parts.push_back(part);
            part.clear();
            if (!*p) break;
        } else {
            part += *p;
        }
    }
    return parts;
}

#ifdef _WIN32

EntryKind KindFromAttributes(DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return EntryOther;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryFolder : EntryFile;
}

int ErrnoFromWin32(DWORD error) {
    switch (error) {
    case ERROR_DIR_NOT_EMPTY: return ENOTEMPTY;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return EACCES;
    default: return EIO;
    }
}

#else

EntryKind KindFromMode(mode_t mode) {
    if (S_ISREG(mode)) return EntryFile;
    return S_ISDIR(mode) ? EntryFolder : EntryOther;
}

#endif

} // namespace

bool GetEntryKind(const char* path, EntryKind* kind) {
#ifdef _WIN32
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    *kind = KindFromAttributes(attributes);
#else
    struct stat st;
    if (lstat(path, &st) != 0) return false;
    *kind = KindFromMode(st.st_mode);
#endif
    return true;
}

bool ListFolder(const char* path, std::vector<FolderEntry>* out) {
    out->clear();
#ifdef _WIN32
    std::string pattern = std::string(path) + "\\*";
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;  // even an empty folder lists "."
    do {
        if (!std::strcmp(data.cFileName, ".") || !std::strcmp(data.cFileName, "..")) continue;
        out->push_back({data.cFileName, KindFromAttributes(data.dwFileAttributes)});
    } while (FindNextFileA(find, &data));
    FindClose(find);
#else
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
#endif
    SortByName(out);
    return true;
}

const FolderEntry* FindFolderEntry(const std::vector<FolderEntry>& entries, const std::string& name) {
    const FolderEntry* found = nullptr;
    for (const FolderEntry& e : entries) {
        if (e.name == name) return &e;
        if (!found && SameIgnoringCase(e.name.c_str(), name.c_str())) found = &e;
    }
    return found;
}

bool ReadFileStart(const char* path, std::size_t limit, std::string* out) {
    EntryKind kind;
    if (!GetEntryKind(path, &kind) || kind != EntryFile) return false;
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    out->assign(limit, '\0');
    out->resize(std::fread(&(*out)[0], 1, limit, f));
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool AbsolutePath(const char* path, std::string* out) {
#ifdef _WIN32
    char buffer[MAX_PATH];
    DWORD n = GetFullPathNameA(path, MAX_PATH, buffer, nullptr);
    if (n == 0 || n >= MAX_PATH || GetFileAttributesA(buffer) == INVALID_FILE_ATTRIBUTES) return false;
    *out = buffer;
#else
    char buffer[PATH_MAX];
    if (!realpath(path, buffer)) return false;
    *out = buffer;
#endif
    return true;
}

int RemoveEntryNoFollow(const char* baseDir, const char* relPath, bool folder) {
    const std::vector<std::string> parts = Components(relPath);
    if (parts.empty()) return EINVAL;
#ifdef _WIN32
    // Every component below baseDir must be a real folder, not a junction
    // or a link to a folder elsewhere.
    std::string path = baseDir;
    for (std::size_t k = 0; k + 1 < parts.size(); ++k) {
        path += '\\' + parts[k];
        DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return ErrnoFromWin32(GetLastError());
        if (KindFromAttributes(attributes) != EntryFolder) return ELOOP;
    }
    path += '\\' + parts.back();
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return ErrnoFromWin32(GetLastError());
    if (KindFromAttributes(attributes) != (folder ? EntryFolder : EntryFile)) return ELOOP;
    // A read-only file is still the copy's own: the stock files it was made from may carry the flag.
    if (!folder && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    BOOL ok = folder ? RemoveDirectoryA(path.c_str()) : DeleteFileA(path.c_str());
    return ok ? 0 : ErrnoFromWin32(GetLastError());
#else
    int dir = open(baseDir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return errno;
    for (std::size_t k = 0; k + 1 < parts.size(); ++k) {
        int next = openat(dir, parts[k].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const int err = errno;
        close(dir);
        if (next < 0) return err == ENOTDIR ? ELOOP : err;  // O_NOFOLLOW on a link also gives ELOOP
        dir = next;
    }
    struct stat st;
    int result = 0;
    if (fstatat(dir, parts.back().c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        result = errno;
    else if (KindFromMode(st.st_mode) != (folder ? EntryFolder : EntryFile))
        result = ELOOP;
    else if (unlinkat(dir, parts.back().c_str(), folder ? AT_REMOVEDIR : 0) != 0)
        result = errno == EEXIST ? ENOTEMPTY : errno;  // POSIX allows either for a full folder
    close(dir);
    return result;
#endif
}
