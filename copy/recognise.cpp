#include "recognise.h"

#include "catalogue.h"
#include "copy_plan.h"
#include "folder_os.h"
#include "platform.h"
#include "title.h"

#include <cstring>

namespace {


// How a made file's bytes stand to what the copy writes into it.
enum MadeBytes { BytesSame, BytesCutShort, BytesChanged };

MadeBytes CompareMade(const std::string& aircraftDir, const CopyPart& part, const std::string& path,
                      const char* stem, const char* newStem) {
    const std::string source = JoinPaths(aircraftDir, part.stockSource);
    switch (CompareWithRewrite(part.action, source.c_str(), path.c_str(), stem, newStem)) {
    case FileMatches: return BytesSame;
    case FileCutShort: return BytesCutShort;
    case FileDiffers: return BytesChanged;
    default: return BytesSame;  // no stock file to tell by: what the copy named is its own
    }
}

// Matches the folder's contents against the parts of a copy of aircraft
// `index`; false when they are not a copy's of it. `score` counts the parts
// found, to choose between stock aircraft.
bool MatchCopy(const char* aircraftDir, const FolderEntry& folder, int index, CopyInfo* info, int* score) {
    const std::string root = JoinPaths(aircraftDir, folder.name);
    const std::size_t L = static_cast<std::size_t>(GetStemLength(index));
    const std::string newStem = folder.name.substr(0, L);
    const std::string stem = std::string(GetAircraftName(index)).substr(0, L);
    const std::vector<CopyPart> parts = CopyParts(index, newStem.c_str());

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
    bool aliasesWhole = true, hasCfg = false;
    std::vector<CopyEntry> folders;  // listed after the files they hold

    for (const CopyPart& part : parts) {
        // Subfolders do not nest: a part is "name" or "<subfolder><sep>name".
        const std::size_t sep = part.path.find(kPathSep);
        const std::vector<FolderEntry>* entries = &top;
        std::vector<bool>* used = &topUsed;
        std::string diskPrefix;
        bool inMissingFolder = false;
        if (sep != std::string::npos) {
            const std::string subPath = part.path.substr(0, sep);
            Sub* sub = nullptr;
            for (Sub& s : subs)
                if (s.partPath == subPath) sub = &s;
            if (sub) {
                entries = &sub->entries;
                used = &sub->used;
                diskPrefix = sub->diskName + kPathSep;
            } else {
                inMissingFolder = true;
            }
        }
        const std::string name = sep == std::string::npos ? part.path : part.path.substr(sep + 1);
        const FolderEntry* e = inMissingFolder ? nullptr : FindFolderEntry(*entries, name);
        const EntryKind want = part.kind == PartFolder ? EntryFolder : EntryFile;
        // A made name taken by another kind (a folder, a link) is the player's.
        const bool found = e && e->kind == want;
        const std::string diskPath = found ? diskPrefix + e->name : std::string();
        if (!found) {
            // Required: Aircraft.cfg and the alias files always, a file only
            // while its stock file is there to make it from.
            if (part.kind == PartAircraftCfg || part.kind == PartAlias ||
                (part.kind == PartFile && PlatformFileExists(JoinPaths(aircraftDir, part.stockSource).c_str())))
                info->finished = false;
            if (part.kind == PartAlias) aliasesWhole = false;
            continue;
        }
        if (part.kind == PartAlias) {
            // Exactly the writer's bytes: one byte longer is already not a
            // copy's file. Shorter is a write the copy did not finish.
            std::string bytes;
            if (!ReadFileStart(JoinPaths(root, diskPath).c_str(), part.aliasBytes.size() + 1, &bytes) ||
                part.aliasBytes.compare(0, bytes.size(), bytes) != 0)
                return false;
            if (bytes.size() < part.aliasBytes.size()) {
                aliasesWhole = false;
                info->finished = false;
            }
        }
        if (part.kind == PartFile && !part.stockSource.empty()) {
            const MadeBytes made = CompareMade(aircraftDir, part, JoinPaths(root, diskPath), stem.c_str(), newStem.c_str());
            if (made == BytesChanged) continue;  // the player's now: left unused, so listed as theirs
            if (made == BytesCutShort) info->finished = false;
        }
        (*used)[static_cast<std::size_t>(e - entries->data())] = true;
        ++*score;
        if (part.kind == PartFolder) {
            Sub sub{part.path, e->name, {}, {}};
            ListFolder(JoinPaths(root, e->name).c_str(), &sub.entries);
            sub.used.assign(sub.entries.size(), false);
            subs.push_back(sub);
            folders.push_back({diskPath, true});
        } else {
            info->entries.push_back({diskPath, false});
            if (part.kind == PartAircraftCfg) {
                hasCfg = true;
                std::string cfg;
                if (ReadConfigFile(JoinPaths(root, diskPath).c_str(), &cfg)) info->title = FirstTitle(cfg);
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

    // Without whole alias files only a copy cut short qualifies: its
    // Aircraft.cfg comes last, and it holds nothing a copy does not make.
    // An empty folder says nothing of a copy begun there.
    return aliasesWhole || (!hasCfg && info->playerFiles.empty() && *score > 0);
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

bool IsStockName(const char* name) {
    for (int i = 0; i < GetAircraftCount(); ++i)
        if (SameIgnoringCase(name, GetAircraftName(i))) return true;
    return false;
}

std::string AircraftDirOnDisk(const char* aircraftDir) {
    char real[1024];
    return PlatformResolvePath(aircraftDir, real, sizeof real) ? real : aircraftDir;
}

bool RecogniseCopy(const char* aircraftDirAsGiven, const char* folderName, CopyInfo* out) {
    const std::string dir = AircraftDirOnDisk(aircraftDirAsGiven);
    std::vector<FolderEntry> entries;
    if (!ListFolder(dir.c_str(), &entries)) return false;
    const FolderEntry* folder = FindFolderEntry(entries, folderName);
    return folder && RecogniseEntry(dir.c_str(), *folder, out);
}

std::vector<CopyInfo> FindCopies(const char* aircraftDirAsGiven) {
    const std::string dir = AircraftDirOnDisk(aircraftDirAsGiven);
    std::vector<CopyInfo> copies;
    std::vector<FolderEntry> entries;
    if (!ListFolder(dir.c_str(), &entries)) return copies;
    for (const FolderEntry& e : entries) {
        CopyInfo info;
        if (RecogniseEntry(dir.c_str(), e, &info)) copies.push_back(info);
    }
    return copies;
}
