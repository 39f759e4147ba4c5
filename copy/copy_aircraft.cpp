#include "copy_aircraft.h"

#include "alias.h"
#include "folder_os.h"
#include "platform.h"
#include "recognise.h"
#include "title.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

FileResult Run(const CopyStep& step, const CopyNames& names, const AircraftEntry& aircraft,
               const WriteSession* session) {
    switch (step.entry->action) {
    case FileAction::MakeFolder: {
        const int err = PlatformMakeFolder(step.dest, session);
        return {err ? FileWriteFailed : FileWritten, err};
    }
    case FileAction::SoundAlias:
    case FileAction::PanelAlias: {
        const char* kind = step.entry->action == FileAction::SoundAlias ? "sound" : "panel";
        errno = 0;
        if (WriteAliasConfig(step.dest, aircraft.aliasTarget, kind, session) == 0) return {FileWritten, 0};
        return {FileWriteFailed, errno ? errno : EIO};
    }
    default:
        return RewriteFile(step.entry->action, step.source, step.dest, names.stem, names.newStem, session);
    }
}

CopyStatus StatusFromErrno(int err) {
    if (err == ENOENT) return CopyPathNotFound;
    if (err == EEXIST || err == EACCES || err == EPERM) return CopyFolderExists;
    return CopyFileError;
}

CopyStatus Fail(CopyStatus status, int err, const char* path, CopyFailure* failure) {
    if (failure) {
        failure->error = err;
        std::snprintf(failure->path, sizeof failure->path, "%s", path ? path : "");
    }
    return status;
}

// Whether the existing folder `name` holds a copy that was cut short: the
// same judge the copies listing and the removal ask.
bool HoldsUnfinishedCopy(const char* aircraftDir, const char* name) {
    CopyInfo info;
    return RecogniseCopy(aircraftDir, name, &info) && !info.finished;
}

// What this run has made, in order, so a failed copy can take back exactly
// that and nothing that was there before.
struct MadeList {
    std::vector<std::pair<std::string, bool>> entries;  // path, is a folder
    void Add(const char* path, bool folder) { entries.emplace_back(path, folder); }
    void RemoveAll(const WriteSession& session) {
        for (auto it = entries.rbegin(); it != entries.rend(); ++it)
            PlatformRemove(it->first.c_str(), it->second, &session);
    }
};

} // namespace

//----------------------------------------------------------------------------
// The copy
//----------------------------------------------------------------------------

namespace {

CopyStatus CopyAircraftChecked(const char* aircraftDir, const char* prefix, int index, bool dryRun,
                               CopyStepReport report, void* context, CopyFailure* failure, const char* title) {
    const AircraftEntry& aircraft = GetAircraftEntry(index);
    CopyNames names;
    DeriveCopyNames(index, prefix, &names);
    if (!IsValidNewFolderName(prefix, names)) return CopyInvalidName;
    if (title && CheckInGameTitle(title) != TitleOk) return CopyInvalidName;
    // The simulator's reader drops the blanks around a value, so the copy
    // carries the name without them, and its further entries follow that.
    const std::string inGameTitle = title ? TrimInGameTitle(title) : std::string();

    // Every path must fit before anything is made: a copy cut short by a long
    // Aircraft folder path would be a half aircraft the simulator lists.
    char stockFolder[kPathCapacity], newFolder[kPathCapacity], cfgTemp[kPathCapacity];
    if (!JoinPath(stockFolder, aircraftDir, aircraft.name) || !JoinPath(newFolder, aircraftDir, names.newFolder) ||
        !JoinPath(cfgTemp, newFolder, kAircraftCfgTemp) || !PlanCopySteps(aircraftDir, prefix, index, nullptr, nullptr))
        return Fail(CopyFileError, ENAMETOOLONG, aircraftDir, failure);

    // Without its stock folder a copy would be an empty aircraft reported as made.
    if (!PlatformFolderExists(stockFolder)) {
        // A folder that cannot be searched exists all the same: that is access denied.
        const int err = PlatformFolderExists(aircraftDir) && !PlatformCanSearch(aircraftDir) ? EACCES : ENOENT;
        return Fail(err == EACCES ? CopyFolderExists : CopyPathNotFound, err, stockFolder, failure);
    }

    // A player's name needs a place in the stock configuration: a title
    // line, or a [fltsim.N] section to put one in.
    const std::string stockCfgPath = JoinPaths(stockFolder, "Aircraft.cfg");
    std::string stockCfg;
    if (title && ReadConfigFile(stockCfgPath.c_str(), &stockCfg) && !CanCarryTitle(stockCfg)) {
        if (failure) failure->noTitleSection = true;
        return Fail(CopyFileError, 0, stockCfgPath.c_str(), failure);
    }

    if (dryRun) {
        if (PlatformFolderExists(newFolder) || PlatformFileExists(newFolder)) {
            if (failure) failure->unfinishedCopy = HoldsUnfinishedCopy(aircraftDir, names.newFolder);
            return Fail(CopyFolderExists, EEXIST, newFolder, failure);
        }
        if (int err = PlatformCanCreateIn(aircraftDir)) return Fail(StatusFromErrno(err), err, aircraftDir, failure);
        PlanCopySteps(aircraftDir, prefix, index, report, context);
        return CopyOk;
    }

    // The letter-case check and the creation as one step against another
    // Vantorel making "xy1d" while this one makes "XY1d"; held to the end so
    // that a removal of the new folder waits until the copy is whole.
    FolderLock lock(aircraftDir);
    const int made = PlatformMakeFolder(newFolder);
    if (made) {  // nothing written: an existing folder is never written into
        if (made == EEXIST && failure) failure->unfinishedCopy = HoldsUnfinishedCopy(aircraftDir, names.newFolder);
        return Fail(StatusFromErrno(made), made, newFolder, failure);
    }
    WriteSession session;
    if (int err = session.Begin(newFolder)) {
        PlatformRemove(newFolder, true);
        return Fail(CopyFileError, err, newFolder, failure);
    }

    CopyStatus status = CopyOk;
    MadeList madeList;
    CopyStep step, cfgStep{};
    const char* subfolder = "";
    for (const FileEntry* e = aircraft.files; e->name && status == CopyOk; ++e) {
        BuildCopyStep(aircraftDir, aircraft, names, *e, &subfolder, &step);
        const bool isCfg = e->action == FileAction::RewriteAircraftCfg;
        if (isCfg) {
            cfgStep = step;
            std::strcpy(step.dest, cfgTemp);  // renamed into place last
        }
        const FileResult result = Run(step, names, aircraft, &session);
        step.outcome = result.outcome;
        step.error = result.error;
        if (step.outcome == FileWritten) {
            madeList.Add(step.dest, e->action == FileAction::MakeFolder);
        } else if (step.outcome != FileSourceMissing) {
            // A stock file that is there but cannot be read fails the copy
            // too: the new aircraft would lack it without a word.
            const char* what = step.outcome == FileSourceUnreadable ? step.source : step.dest;
            status = Fail(CopyFileError, step.error ? step.error : EIO, what, failure);
        }
        if (isCfg) {
            cfgStep.outcome = step.outcome;
            cfgStep.error = step.error;
            if (step.outcome == FileWritten && title) {
                const int rc = RetitleCopyConfig(step.source, cfgTemp, names.stem, names.newStem, inGameTitle.c_str(),
                                                 &session);
                if (rc) status = Fail(CopyFileError, rc, cfgTemp, failure);
            }
            if (step.outcome != FileWritten && report) report(cfgStep, context);
        } else if (report) {
            report(step, context);
        }
    }
    if (status == CopyOk && cfgStep.entry && cfgStep.outcome == FileWritten) {
        if (int err = PlatformRename(cfgTemp, cfgStep.dest, &session))
            status = Fail(CopyFileError, err, cfgStep.dest, failure);
    }
    // Writes go through the folder made at the start, wherever it is now:
    // if something moved it away meanwhile, the copy is not where it was made.
    const bool gone = status == CopyOk && !PlatformFolderExists(newFolder);
    if (gone) {
        if (failure) failure->folderGone = true;
        status = Fail(CopyFileError, ENOENT, newFolder, failure);
    }
    if (status == CopyOk && cfgStep.entry && cfgStep.outcome == FileWritten && report) report(cfgStep, context);
    if (status != CopyOk && !gone) madeList.RemoveAll(session);
    session.End();
    if (status != CopyOk && !gone) PlatformRemove(newFolder, true);
    return status;
}

} // namespace

// The engine keeps no exception from its callers: running out of memory (a
// 32-bit process can) is a file error with its reason, like a full disk.
CopyStatus CopyAircraftReport(const char* aircraftDir, const char* prefix, int index, bool dryRun,
                              CopyStepReport report, void* context, CopyFailure* failure, const char* title) {
    try {
        return CopyAircraftChecked(aircraftDir, prefix, index, dryRun, report, context, failure, title);
    } catch (...) {
        return Fail(CopyFileError, ENOMEM, aircraftDir, failure);
    }
}

CopyStatus CopyAircraft(const char* aircraftDir, const char* prefix, int index) {
    return CopyAircraftReport(aircraftDir, prefix, index, false, nullptr, nullptr);
}

CopyStatus CopyAircraftTitled(const char* aircraftDir, const char* prefix, int index, const char* title) {
    return CopyAircraftReport(aircraftDir, prefix, index, false, nullptr, nullptr, nullptr, title);
}

//----------------------------------------------------------------------------
// The in-game name a copy gets unedited
//----------------------------------------------------------------------------

std::string PredictCopyTitle(const char* aircraftDir, const char* prefix, int index) {
    const AircraftEntry& aircraft = GetAircraftEntry(index);
    std::string path = std::string(aircraftDir) + kPathSep + aircraft.name + kPathSep + "Aircraft.cfg";
    std::string cfg;
    if (!ReadConfigFile(path.c_str(), &cfg)) return "";
    CopyNames names;
    DeriveCopyNames(index, prefix, &names);
    // The same two steps the copy's rewrite takes, on the bytes in memory.
    auto* data = reinterpret_cast<unsigned char*>(&cfg[0]);
    const int n = static_cast<int>(std::strlen(names.stem));
    const int length = static_cast<int>(cfg.size());
    SubstitutionPass(data, length, names.stem, names.newStem, n);
    for (int i = 0; i + 5 <= length; ++i)
        if (OverwriteTitle(data + i, "title", names.newStem, n, data + length)) break;
    return FirstTitle(cfg);
}
