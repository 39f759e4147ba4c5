#include "copies.h"

#include "catalogue.h"
#include "folder_os.h"
#include "platform.h"
#include "trash.h"

#include <cerrno>
#include <cstring>

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
    const std::string dir = AircraftDirOnDisk(aircraftDirAsGiven);
    const char* aircraftDir = dir.c_str();
    *out = RemoveResult();
    if (!IsPlainName(folderName)) return RemoveOutside;
    if (IsStockName(folderName)) return RemoveStockAircraft;
    if (!PlatformFolderExists(aircraftDir)) return RemoveNoAircraftFolder;
    FolderLock lock(aircraftDir, !dryRun);
    std::vector<FolderEntry> entries;
    if (!ListFolder(aircraftDir, &entries)) return RemoveNotACopy;
    const FolderEntry* folder = FindFolderEntry(entries, folderName);
    if (!folder) return RemoveNoSuchFolder;
    // A link named like a copy resolves elsewhere: nothing of it is the copy's.
    if (folder->kind == EntryOther) return RemoveOutside;
    if (!RecogniseCopy(aircraftDir, folder->name.c_str(), &out->copy)) return RemoveNotACopy;

    if (!permanent) {
        std::string absolute;
        if (!AbsolutePath(aircraftDir, &absolute)) return RemoveNotACopy;
        const std::string path = JoinPaths(absolute, out->copy.folder);
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
