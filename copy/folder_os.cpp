// The portable part of folder_os.h; the rest is in the platform files.
#include "folder_os.h"

#include "platform.h"

#include <cstdio>

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
