#include "copy_aircraft.h"

#include "alias.h"
#include "folder_os.h"
#include "platform.h"
#include "title.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

//----------------------------------------------------------------------------
// Names
//----------------------------------------------------------------------------

void DeriveCopyNames(int index, const char* prefix, CopyNames* out) {
    const AircraftEntry& a = GetAircraftEntry(index);
    const int prefixLength = static_cast<int>(std::strlen(prefix));
    const int L = a.StemLength;
    out->used = L <= prefixLength ? L : prefixLength;
    std::strcpy(out->stem, a.name);
    out->stem[L] = '\0';
    std::strcpy(out->newFolder, a.name);
    std::memcpy(out->newFolder, prefix, static_cast<std::size_t>(out->used));
    std::memcpy(out->newStem, out->newFolder, static_cast<std::size_t>(L));
    out->newStem[L] = '\0';
}

namespace {

// Windows drops trailing dots and spaces before it looks a name up, so
// "CON ." opens the console device just as "CON" does.
bool IsReservedDeviceName(const char* name) {
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
    char base[kNameCapacity];
    std::size_t len = 0;
    for (; name[len] && name[len] != '.' && len + 1 < sizeof base; ++len) base[len] = AsciiUpper(name[len]);
    while (len > 0 && base[len - 1] == ' ') --len;
    base[len] = '\0';
    for (const char* device : kDevices)
        if (std::strcmp(base, device) == 0) return true;
    return len == 4 && (std::strncmp(base, "COM", 3) == 0 || std::strncmp(base, "LPT", 3) == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

} // namespace

bool IsValidNewFolderName(const char* prefix, const CopyNames& names) {
    for (int k = 0; k < names.used; ++k) {
        unsigned char c = static_cast<unsigned char>(prefix[k]);
        if (c < 0x20 || c == 0x7F || std::strchr("\\/:*?\"<>|", c)) return false;
#ifndef _WIN32
        if (c > 0x7E) return false;
#endif
        // A cut at the stem length must not split a double-byte character.
        if (PlatformIsLeadByte(c) && ++k >= names.used) return false;
    }
    // The simulator's configuration reader trims a leading blank: "sim= XYd"
    // would no longer name the copy's flight model.
    if (names.used > 0 && prefix[0] == ' ') return false;
    std::size_t len = std::strlen(names.newFolder);
    char last = len ? names.newFolder[len - 1] : '.';
    return last != '.' && last != ' ' && !IsReservedDeviceName(names.newFolder);
}

//----------------------------------------------------------------------------
// Paths of each entry
//----------------------------------------------------------------------------
namespace {

// Joins the non-empty parts with the path separator; false when the result
// does not fit a path buffer.
bool JoinPath(char* out, const char* a, const char* b, const char* c = "", const char* d = "") {
    const char* parts[] = {a, b, c, d};
    std::size_t used = 0;
    for (const char* part : parts) {
        if (!*part) continue;
        std::size_t len = std::strlen(part);
        if (used + (used ? 1 : 0) + len >= static_cast<std::size_t>(kPathCapacity)) return false;
        if (used) out[used++] = kPathSep;
        std::memcpy(out + used, part, len + 1);
        used += len;
    }
    if (!used) *out = '\0';
    return true;
}

// Builds the paths of the entries of one copy, in list order.
struct PathWalker {
    const char* aircraftDir;
    const AircraftEntry* aircraft;
    const CopyNames* names;
    const char* subfolder = "";  // latest MakeFolder entry; subfolders do not nest

    // Fills step's paths for `entry`; false when a path does not fit.
    bool Build(const FileEntry& entry, CopyStep* step) {
        step->entry = &entry;
        step->source[0] = step->dest[0] = '\0';
        step->outcome = FileWritten;
        step->error = 0;
        const int L = aircraft->StemLength;
        switch (entry.action) {
        case FileAction::MakeFolder:
            subfolder = entry.name;
            return JoinPath(step->dest, aircraftDir, names->newFolder, entry.name);
        case FileAction::CopyNewStem:
        case FileAction::CopyAltNewStem:
        case FileAction::RewriteStemNewName:
        case FileAction::RewriteBf109eModel:
        case FileAction::RewriteHurricaneModel: {
            // Every such name is longer than the stem, so only its first L
            // characters change: the same characters the in-file rewrite changes.
            const char* from = entry.action == FileAction::CopyAltNewStem ? entry.altName : entry.name;
            char destName[kNameCapacity];
            if (std::strlen(from) >= sizeof destName) return false;
            std::strcpy(destName, from);
            std::memcpy(destName, names->newStem, static_cast<std::size_t>(L));
            return JoinPath(step->source, aircraftDir, aircraft->name, subfolder, entry.name) &&
                   JoinPath(step->dest, aircraftDir, names->newFolder, subfolder, destName);
        }
        case FileAction::RewriteStem:
        case FileAction::RewriteAircraftCfg:
            return JoinPath(step->source, aircraftDir, aircraft->name, subfolder, entry.name) &&
                   JoinPath(step->dest, aircraftDir, names->newFolder, subfolder, entry.name);
        default:  // the alias files read nothing
            return JoinPath(step->dest, aircraftDir, names->newFolder, subfolder, entry.name);
        }
    }
};

FileResult Run(const CopyStep& step, const CopyNames& names, const AircraftEntry& aircraft,
               const WriteSession* session) {
    const char* src = step.source;
    const char* dst = step.dest;
    switch (step.entry->action) {
    case FileAction::CopyNewStem:
    case FileAction::CopyAltNewStem: return CopyFileBytes(src, dst, session);
    case FileAction::MakeFolder: {
        const int err = PlatformMakeFolder(dst, session);
        return {err ? FileWriteFailed : FileWritten, err};
    }
    case FileAction::RewriteStemNewName:
    case FileAction::RewriteStem: return ReplaceStemInFile(src, dst, names.stem, names.newStem, session);
    case FileAction::RewriteBf109eModel: return ReplaceBf109eTextureNames(src, dst, names.newStem, session);
    case FileAction::RewriteHurricaneModel: return ReplaceHurricaneTextureNames(src, dst, names.newStem, session);
    case FileAction::RewriteAircraftCfg: return RewriteConfigWithTitle(src, dst, names.stem, names.newStem, session);
    case FileAction::SoundAlias:
    case FileAction::PanelAlias: {
        const char* kind = step.entry->action == FileAction::SoundAlias ? "sound" : "panel";
        errno = 0;
        if (WriteAliasConfig(dst, aircraft.aliasTarget, kind, session) == 0) return {FileWritten, 0};
        return {FileWriteFailed, errno ? errno : EIO};
    }
    }
    return {FileWritten, 0};  // unknown codes are passed over
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

// True when `folder` holds nothing but files a copy of `aircraft` with these
// names makes, and no Aircraft.cfg: a copy that was interrupted (power cut,
// killed process) before its configuration was renamed into place.
bool IsUnfinishedCopy(const char* aircraftDir, const char* prefix, int index, const char* folder) {
    struct Names { std::vector<std::string> made; std::size_t skip; };
    Names names{{std::string(kAircraftCfgTemp)}, std::strlen(folder) + 1};
    PlanCopySteps(aircraftDir, prefix, index, [](const CopyStep& step, void* context) {
        Names* n = static_cast<Names*>(context);
        n->made.push_back(step.dest + n->skip);
    }, &names);
    const std::string top = folder;
    if (PlatformFileExists((top + kPathSep + "Aircraft.cfg").c_str())) return false;
    // An empty folder is just a folder: nothing says a copy was begun there.
    std::vector<std::string> stack = {""};
    bool any = false;
    while (!stack.empty()) {
        const std::string rel = stack.back();
        stack.pop_back();
        std::vector<FolderEntry> entries;
        if (!ListFolder(rel.empty() ? folder : (top + kPathSep + rel).c_str(), &entries)) return false;
        for (const FolderEntry& e : entries) {
            const std::string path = rel.empty() ? e.name : rel + kPathSep + e.name;
            bool known = false;
            for (const std::string& m : names.made) known = known || SameIgnoringCase(m.c_str(), path.c_str());
            if (!known) return false;
            any = true;
            if (e.kind == EntryFolder) stack.push_back(path);
        }
    }
    return any;
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

const char kAircraftCfgTemp[] = "Aircraft.cfg.tmp";

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

    if (dryRun) {
        if (PlatformFolderExists(newFolder) || PlatformFileExists(newFolder)) {
            if (failure) failure->unfinishedCopy = IsUnfinishedCopy(aircraftDir, prefix, index, newFolder);
            return Fail(CopyFolderExists, EEXIST, newFolder, failure);
        }
        if (int err = PlatformCanCreateIn(aircraftDir)) return Fail(StatusFromErrno(err), err, aircraftDir, failure);
        PlanCopySteps(aircraftDir, prefix, index, report, context);
        return CopyOk;
    }

    // The letter-case check and the creation as one step against another
    // Vantorel making "xy1d" while this one makes "XY1d".
    const int lock = PlatformLockFolder(aircraftDir);
    const int made = PlatformMakeFolder(newFolder);
    PlatformUnlockFolder(lock);
    if (made) {  // nothing written: an existing folder is never written into
        if (made == EEXIST && failure) failure->unfinishedCopy = IsUnfinishedCopy(aircraftDir, prefix, index, newFolder);
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
    PathWalker walk{aircraftDir, &aircraft, &names};
    for (const FileEntry* e = aircraft.files; e->name && status == CopyOk; ++e) {
        walk.Build(*e, &step);
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
                const int rc = RetitleCopyConfig(step.source, cfgTemp, title, &session);
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
    if (status == CopyOk && cfgStep.entry && cfgStep.outcome == FileWritten && report) report(cfgStep, context);
    if (status != CopyOk) madeList.RemoveAll(session);
    session.End();
    if (status != CopyOk) PlatformRemove(newFolder, true);
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

bool PlanCopySteps(const char* aircraftDir, const char* prefix, int index, CopyStepReport report, void* context) {
    const AircraftEntry& aircraft = GetAircraftEntry(index);
    CopyNames names;
    DeriveCopyNames(index, prefix, &names);
    CopyStep step;
    PathWalker walk{aircraftDir, &aircraft, &names};
    for (const FileEntry* e = aircraft.files; e->name; ++e) {
        if (!walk.Build(*e, &step)) return false;
        if (report) report(step, context);
    }
    return true;
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
