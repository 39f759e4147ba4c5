#include "copies.h"

#include "alias.h"
#include "catalogue.h"
#include "copy_aircraft.h"
#include "folder_os.h"
#include "platform.h"
#include "trash.h"

#include <cerrno>
#include <cstring>

//----------------------------------------------------------------------------
// What a copy consists of
//----------------------------------------------------------------------------
namespace {

struct PartCollector {
    std::vector<CopyPart>* parts;
    std::size_t folderLength;  // of "<new folder><sep>", stripped from each destination
    const AircraftEntry* aircraft;
};

void CollectPart(const CopyStep& step, void* context) {
    PartCollector* c = static_cast<PartCollector*>(context);
    CopyPart part;
    part.path = step.dest + c->folderLength;
    part.stockSource = step.source;
    switch (step.entry->action) {
    case FileAction::MakeFolder: part.kind = PartFolder; break;
    case FileAction::RewriteAircraftCfg: part.kind = PartAircraftCfg; break;
    case FileAction::SoundAlias:
    case FileAction::PanelAlias: {
        part.kind = PartAlias;
        char bytes[128];
        const char* kind = step.entry->action == FileAction::SoundAlias ? "sound" : "panel";
        if (FormatAliasConfig(bytes, sizeof bytes, c->aircraft->aliasTarget, kind) >= 0) part.aliasBytes = bytes;
        break;
    }
    default: part.kind = PartFile; break;
    }
    c->parts->push_back(part);
}

} // namespace

std::vector<CopyPart> CopyParts(int index, const char* stem) {
    std::vector<CopyPart> parts;
    const AircraftEntry& aircraft = GetAircraftEntry(index);
    // An empty Aircraft folder makes the engine's paths relative to it, so no
    // buffer limit applies to the player's real one.
    PartCollector collector{&parts, std::strlen(aircraft.name) + 1, &aircraft};
    PlanCopySteps("", stem, index, CollectPart, &collector);
    // Aircraft.cfg's name until the copy is complete: the copy's own, never required.
    parts.push_back({kAircraftCfgTemp, PartFile, "", ""});
    return parts;
}

bool IsCopyName(int index, const char* folderName) {
    const AircraftEntry& a = GetAircraftEntry(index);
    const std::size_t length = std::strlen(a.name);
    return std::strlen(folderName) == length && !SameIgnoringCase(folderName, a.name) &&
           SameIgnoringCase(folderName + a.StemLength, a.name + a.StemLength);
}

//----------------------------------------------------------------------------
// Recognition
//----------------------------------------------------------------------------
namespace {

std::string Join(const std::string& a, const std::string& b) { return a + kPathSep + b; }

bool IsStockName(const char* name) {
    for (int i = 0; i < GetAircraftCount(); ++i)
        if (SameIgnoringCase(name, GetAircraftName(i))) return true;
    return false;
}

// The first title= value: the name the simulator lists the aircraft by.
std::string FirstTitle(const std::string& cfg) {
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    std::size_t start = 0;
    while (start < cfg.size()) {
        std::size_t end = cfg.find('\n', start);
        if (end == std::string::npos) end = cfg.size();
        std::size_t eq = cfg.find('=', start);
        if (eq < end) {
            std::size_t k0 = start, k1 = eq;
            while (k0 < k1 && isBlank(cfg[k0])) ++k0;
            while (k1 > k0 && isBlank(cfg[k1 - 1])) --k1;
            if (SameIgnoringCase(cfg.substr(k0, k1 - k0).c_str(), "title")) {
                std::size_t v0 = eq + 1, v1 = end;
                while (v0 < v1 && isBlank(cfg[v0])) ++v0;
                while (v1 > v0 && isBlank(cfg[v1 - 1])) --v1;
                return cfg.substr(v0, v1 - v0);
            }
        }
        start = end + 1;
    }
    return std::string();
}

// Matches the folder's contents against the parts of a copy of aircraft
// `index`; false when the alias files are not exactly a copy's of it.
// `score` counts the parts found, to choose between stock aircraft.
bool MatchCopy(const char* aircraftDir, const FolderEntry& folder, int index, CopyInfo* info, int* score) {
    const std::string root = Join(aircraftDir, folder.name);
    const int L = GetStemLength(index);
    const std::vector<CopyPart> parts = CopyParts(index, folder.name.substr(0, static_cast<std::size_t>(L)).c_str());

    // The folder's listing and each made subfolder's, keyed by the subfolder's part path.
    std::vector<FolderEntry> top;
    if (!ListFolder(root.c_str(), &top)) return false;
    struct Sub { std::string partPath, diskName; std::vector<FolderEntry> entries; std::vector<bool> used; };
    std::vector<Sub> subs;
    std::vector<bool> topUsed(top.size(), false);

    info->folder = folder.name;
    info->stockIndex = index;
    info->title.clear();
    info->finished = true;
    info->playerFiles.clear();
    info->entries.clear();
    *score = 0;
    std::vector<CopyEntry> folders;  // listed after the files they hold

    for (const CopyPart& part : parts) {
        // Subfolders do not nest: a part is "name" or "<subfolder><sep>name".
        const std::size_t sep = part.path.find(kPathSep);
        const std::vector<FolderEntry>* entries = &top;
        std::vector<bool>* used = &topUsed;
        std::string diskPrefix;
        if (sep != std::string::npos) {
            const std::string subPath = part.path.substr(0, sep);
            Sub* sub = nullptr;
            for (Sub& s : subs)
                if (s.partPath == subPath) sub = &s;
            if (!sub) {
                if (part.kind == PartAlias) return false;  // no Sound or Panel folder
                continue;                                  // a missing subfolder's files are missing
            }
            entries = &sub->entries;
            used = &sub->used;
            diskPrefix = sub->diskName + kPathSep;
        }
        const std::string name = sep == std::string::npos ? part.path : part.path.substr(sep + 1);
        const FolderEntry* e = FindFolderEntry(*entries, name);
        const EntryKind want = part.kind == PartFolder ? EntryFolder : EntryFile;
        // A made name taken by another kind (a folder, a link) is the player's.
        const bool found = e && e->kind == want;
        const std::string diskPath = found ? diskPrefix + e->name : std::string();
        if (part.kind == PartAlias) {
            // Exactly the writer's bytes: one byte longer is already not a copy's file.
            std::string bytes;
            if (!found || !ReadFileStart(Join(root, diskPath).c_str(), part.aliasBytes.size() + 1, &bytes) ||
                bytes != part.aliasBytes)
                return false;
        }
        if (!found) {
            // Required: Aircraft.cfg always, a file only while its stock file is there to make it from.
            if (part.kind == PartAircraftCfg ||
                (part.kind == PartFile && !part.stockSource.empty() &&
                 PlatformFileExists(Join(aircraftDir, part.stockSource).c_str())))
                info->finished = false;
            continue;
        }
        (*used)[static_cast<std::size_t>(e - entries->data())] = true;
        ++*score;
        if (part.kind == PartFolder) {
            Sub sub{part.path, e->name, {}, {}};
            ListFolder(Join(root, e->name).c_str(), &sub.entries);
            sub.used.assign(sub.entries.size(), false);
            subs.push_back(sub);
            folders.push_back({diskPath, true});
        } else {
            info->entries.push_back({diskPath, false});
            if (part.kind == PartAircraftCfg) {
                std::string cfg;
                if (ReadFileStart(Join(root, diskPath).c_str(), 1 << 20, &cfg)) info->title = FirstTitle(cfg);
            }
        }
    }
    info->entries.insert(info->entries.end(), folders.begin(), folders.end());

    // Everything not made is the player's: a foreign subfolder counts as one entry, whole.
    for (std::size_t k = 0; k < top.size(); ++k)
        if (!topUsed[k]) info->playerFiles.push_back(top[k].name);
    for (const Sub& sub : subs)
        for (std::size_t k = 0; k < sub.entries.size(); ++k)
            if (!sub.used[k]) info->playerFiles.push_back(sub.diskName + kPathSep + sub.entries[k].name);
    return true;
}

bool RecogniseEntry(const char* aircraftDir, const FolderEntry& folder, CopyInfo* out) {
    if (folder.kind != EntryFolder || IsStockName(folder.name.c_str())) return false;
    // Several stock aircraft can share a name shape and an alias target
    // (P38 and C47: any three characters, both alias p47d; Bf110, Ju87a and,
    // ending in 'a', Ju88a: five characters aliasing bf109e; B24j and B25j).
    // Their files differ, so the one whose parts are found most wins; on a
    // tie (a copy holding little more than its alias files) the first in
    // the catalogue, which changes only which files are called the player's.
    int bestScore = -1;
    CopyInfo candidate;
    for (int i = 0; i < GetAircraftCount(); ++i) {
        int score = 0;
        if (!IsCopyName(i, folder.name.c_str()) || !MatchCopy(aircraftDir, folder, i, &candidate, &score)) continue;
        if (score > bestScore) {
            bestScore = score;
            *out = candidate;
        }
    }
    return bestScore >= 0;
}

} // namespace

namespace {

// The Aircraft folder as it is named on disk: the registry may give its
// name in another letter case, and Windows would not mind.
std::string OnDisk(const char* aircraftDir) {
    char real[1024];
    return PlatformResolvePath(aircraftDir, real, sizeof real) ? real : aircraftDir;
}

} // namespace

bool RecogniseCopy(const char* aircraftDirAsGiven, const char* folderName, CopyInfo* out) {
    const std::string dir = OnDisk(aircraftDirAsGiven);
    const char* aircraftDir = dir.c_str();
    std::vector<FolderEntry> entries;
    if (!ListFolder(aircraftDir, &entries)) return false;
    const FolderEntry* folder = FindFolderEntry(entries, folderName);
    return folder && RecogniseEntry(aircraftDir, *folder, out);
}

std::vector<CopyInfo> FindCopies(const char* aircraftDirAsGiven) {
    const std::string dir = OnDisk(aircraftDirAsGiven);
    const char* aircraftDir = dir.c_str();
    std::vector<CopyInfo> copies;
    std::vector<FolderEntry> entries;
    if (!ListFolder(aircraftDir, &entries)) return copies;
    for (const FolderEntry& e : entries) {
        CopyInfo info;
        if (RecogniseEntry(aircraftDir, e, &info)) copies.push_back(info);
    }
    return copies;
}

//----------------------------------------------------------------------------
// Removal
//----------------------------------------------------------------------------
namespace {

// A plain name of an entry directly inside the Aircraft folder.
bool IsPlainName(const char* name) {
    if (!*name || !std::strcmp(name, ".") || !std::strcmp(name, "..")) return false;
    // Both separators everywhere: a name made on one system may be typed on the other.
    return !std::strpbrk(name, "/\\:");
}

} // namespace

RemoveStatus RemoveCopy(const char* aircraftDirAsGiven, const char* folderName, bool permanent, bool dryRun,
                        RemoveResult* out) {
    const std::string dir = OnDisk(aircraftDirAsGiven);
    const char* aircraftDir = dir.c_str();
    *out = RemoveResult();
    if (!IsPlainName(folderName)) return RemoveOutside;
    if (IsStockName(folderName)) return RemoveStockAircraft;
    std::vector<FolderEntry> entries;
    if (!ListFolder(aircraftDir, &entries)) return RemoveNotACopy;
    const FolderEntry* folder = FindFolderEntry(entries, folderName);
    if (!folder) return RemoveNotACopy;
    // A link named like a copy resolves elsewhere: nothing of it is the copy's.
    if (folder->kind == EntryOther) return RemoveOutside;
    if (!RecogniseEntry(aircraftDir, *folder, &out->copy)) return RemoveNotACopy;

    if (!permanent) {
        std::string absolute;
        if (!AbsolutePath(aircraftDir, &absolute)) return RemoveNotACopy;
        const std::string path = Join(absolute, out->copy.folder);
        TrashResult trash;
        const TrashStatus status = MoveToTrash(path.c_str(), dryRun, &trash);
        out->trashPath = trash.entryPath;
        if (status == TrashUnavailable) return RemoveNoTrash;
        if (status != TrashOk) {
            out->failedPath = path;
            out->error = trash.error;
            for (const CopyEntry& e : out->copy.entries) out->remaining.push_back(e.path);
            return RemoveFailed;
        }
        return RemoveOk;
    }

    // For good: the entries the copy made, files before their folders, then
    // the folder itself unless the player's own files keep it.
    const std::string folderPrefix = out->copy.folder + kPathSep;
    std::vector<CopyEntry> plan = out->copy.entries;
    plan.push_back({std::string(), true});  // the copy's folder itself
    for (std::size_t k = 0; k < plan.size(); ++k) {
        const std::string shown = plan[k].path.empty() ? out->copy.folder : plan[k].path;
        if (dryRun) {
            // A folder holding any of the player's files stays.
            bool kept = false;
            for (const std::string& own : out->copy.playerFiles)
                kept = kept || plan[k].path.empty() || own.compare(0, plan[k].path.size() + 1, plan[k].path + kPathSep) == 0;
            if (!(plan[k].folder && kept)) out->removed.push_back(shown);
            continue;
        }
        const int err = RemoveEntryNoFollow(aircraftDir, (folderPrefix + plan[k].path).c_str(), plan[k].folder);
        if (err == 0) {
            out->removed.push_back(shown);
        } else if ((err == ENOTEMPTY && plan[k].folder) || err == ELOOP) {
            continue;  // it holds the player's own files, or became something the copy did not make
        } else if (err != ENOENT) {
            // Stop at the first failure: what is left is still a copy, and the command can be run again.
            out->failedPath = shown;
            out->error = err;
            for (std::size_t r = k; r + 1 < plan.size(); ++r) out->remaining.push_back(plan[r].path);
            return RemoveFailed;
        }
    }
    return RemoveOk;
}
