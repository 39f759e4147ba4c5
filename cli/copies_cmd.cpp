#include "copies_cmd.h"

#include "catalogue.h"
#include "copies.h"
#include "escape.h"
#include "exit_codes.h"
#include "messages.h"
#include "platform.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void PrintList(const char* heading, const std::vector<std::string>& paths, std::FILE* out) {
    if (paths.empty()) return;
    std::fprintf(out, "%s\n", heading);
    for (const std::string& p : paths) std::fprintf(out, "  %s\n", EscapeControls(p).c_str());
}

} // namespace

bool HaveAircraftFolder(const char* aircraftDir) {
    if (PlatformFolderExists(aircraftDir)) return true;
    std::fprintf(stderr, "vantorel-cli: no Aircraft folder at %s\n", EscapeControls(aircraftDir).c_str());
    return false;
}

int RunCopiesCommand(const char* aircraftDir) {
    if (!HaveAircraftFolder(aircraftDir)) return kExitPathNotFound;
    const std::vector<CopyInfo> copies = FindCopies(aircraftDir);
    if (copies.empty()) {
        std::printf("No copies in %s.\n", EscapeControls(aircraftDir).c_str());
        return kExitDone;
    }
    std::printf("%-12s  %-12s  %-32s  %s\n", "folder", "copy of", "in-game name", "state");
    for (const CopyInfo& c : copies)
        std::printf("%-12s  %-12s  %-32s  %s\n", EscapeControls(c.folder).c_str(), GetAircraftName(c.stockIndex),
                    c.title.empty() ? "-" : EscapeControls(c.title).c_str(), CopyStateText(c.finished, c.playerFiles.size()).c_str());
    return kExitDone;
}

int RunRemoveCommand(const char* aircraftDir, const char* folderArg, bool dryRun, bool permanent) {
    if (!HaveAircraftFolder(aircraftDir)) return kExitPathNotFound;
    RemoveResult r;
    const RemoveStatus status = RemoveCopy(aircraftDir, folderArg, permanent, dryRun, &r);
    const std::string folder = EscapeControls(folderArg), dir = EscapeControls(aircraftDir);
    const std::string where =
        EscapeControls(std::string(aircraftDir) + kPathSep + (r.copy.folder.empty() ? folderArg : r.copy.folder));
    switch (status) {
    case RemoveOutside:
        std::fprintf(stderr, "vantorel-cli: \"%s\" is not the name of a folder inside %s (give the folder's name "
                     "alone: no separators, no \"..\", no links): nothing was removed.\n", folder.c_str(), dir.c_str());
        return kExitRefused;
    case RemoveStockAircraft:
        std::fprintf(stderr, "vantorel-cli: %s is a stock aircraft; only copies are removed. Nothing was removed.\n",
                     folder.c_str());
        return kExitRefused;
    case RemoveNotACopy:
        std::fprintf(stderr, "vantorel-cli: %s is not a copy of a stock aircraft (see 'vantorel-cli copies'): "
                     "nothing was removed.\n", where.c_str());
        return kExitRefused;
    case RemoveNoSuchFolder:
        std::fprintf(stderr, "vantorel-cli: there is no folder %s in %s (no longer, or never): nothing was removed.\n",
                     folder.c_str(), dir.c_str());
        return kExitRefused;
    case RemoveNoAircraftFolder:
        std::fprintf(stderr, "vantorel-cli: no Aircraft folder at %s: nothing was removed.\n", dir.c_str());
        return kExitPathNotFound;
    case RemoveNoTrash:
        std::fprintf(stderr, "vantorel-cli: no trash can take %s (it is on a file system whose trash cannot be "
                     "used): nothing was removed. Use --permanent to delete it for good.\n", where.c_str());
        return kExitRefused;
    default: break;
    }

    const CopyInfo& c = r.copy;
    const std::string trash = r.trashPath.empty() ? "the Recycle Bin" : "the trash: " + EscapeControls(r.trashPath);
    if (status == RemoveFailed) {
        std::fprintf(stderr, "vantorel-cli: could not %s %s: %s\n", permanent ? "delete" : "move to the trash",
                     EscapeControls(r.failedPath).c_str(), std::strerror(r.error));
        PrintList("Removed:", r.removed, stderr);
        PrintList("Still there, from the copy:", r.remaining, stderr);
        if (!c.playerFiles.empty()) PrintList("Still there, the player's own:", c.playerFiles, stderr);
        return kExitFileError;
    }
    const char* stock = GetAircraftName(c.stockIndex);
    if (!permanent) {
        std::printf("%s %s (copy of %s) to %s\n", dryRun ? "Would move" : "Moved", where.c_str(), stock,
                    trash.c_str());
        if (!c.playerFiles.empty())
            std::printf("The player's own files in it %s with it: %zu\n", dryRun ? "would go" : "went",
                        c.playerFiles.size());
    } else {
        PrintList(dryRun ? ("Would delete from " + where + ":").c_str()
                         : ("Deleted " + where + " (copy of " + stock + "):").c_str(),
                  r.removed, stdout);
        PrintList(dryRun ? "Would keep the player's own files, and the folders holding them:"
                         : "Kept the player's own files, and the folders holding them:",
                  c.playerFiles, stdout);
    }
    if (dryRun) std::printf("Nothing was changed (dry run).\n");
    return kExitDone;
}
