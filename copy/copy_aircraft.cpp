#include "copy_aircraft.h"

#include "alias.h"
#include "platform.h"

#include <cerrno>
#include <cstring>

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

bool IsReservedDeviceName(const char* name) {
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
    char base[kNameCapacity];
    std::size_t len = 0;
    for (; name[len] && name[len] != '.' && len + 1 < sizeof base; ++len) {
        char c = name[len];
        base[len] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    }
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
    }
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

FileResult Run(const CopyStep& step, const CopyNames& names, const AircraftEntry& aircraft) {
    const char* src = step.source;
    const char* dst = step.dest;
    switch (step.entry->action) {
    case FileAction::CopyNewStem:
    case FileAction::CopyAltNewStem: return CopyFileBytes(src, dst);
    case FileAction::MakeFolder: {
        const int err = PlatformMakeFolder(dst);
        return {err ? FileWriteFailed : FileWritten, err};
    }
    case FileAction::RewriteStemNewName:
    case FileAction::RewriteStem: return ReplaceStemInFile(src, dst, names.stem, names.newStem);
    case FileAction::RewriteBf109eModel: return ReplaceBf109eTextureNames(src, dst, names.newStem);
    case FileAction::RewriteHurricaneModel: return ReplaceHurricaneTextureNames(src, dst, names.newStem);
    case FileAction::RewriteAircraftCfg: return RewriteConfigWithTitle(src, dst, names.stem, names.newStem);
    case FileAction::SoundAlias:
    case FileAction::PanelAlias: {
        const char* kind = step.entry->action == FileAction::SoundAlias ? "sound" : "panel";
        errno = 0;
        if (WriteAliasConfig(dst, aircraft.aliasTarget, kind) == 0) return {FileWritten, 0};
        return {FileWriteFailed, errno ? errno : EIO};
    }
    }
    return {FileWritten, 0};  // unknown codes are passed over
}

CopyStatus StatusFromErrno(int err) {
    if (err == ENOENT) return CopyPathNotFound;
    if (err == EEXIST || err == EACCES) return CopyFolderExists;
    return CopyFileError;
}

} // namespace

//----------------------------------------------------------------------------
// The copy
//----------------------------------------------------------------------------

CopyStatus CopyAircraftReport(const char* aircraftDir, const char* prefix, int index, bool dryRun,
                       CopyStepReport report, void* context) {
    const AircraftEntry& aircraft = GetAircraftEntry(index);
    CopyNames names;
    DeriveCopyNames(index, prefix, &names);
    if (!IsValidNewFolderName(prefix, names)) return CopyInvalidName;

    // Every path must fit before anything is made: a copy cut short by a long
    // Aircraft folder path would be a half aircraft the simulator lists.
    char stockFolder[kPathCapacity], newFolder[kPathCapacity];
    if (!JoinPath(stockFolder, aircraftDir, aircraft.name) || !JoinPath(newFolder, aircraftDir, names.newFolder))
        return CopyFileError;
    if (!PlanCopySteps(aircraftDir, prefix, index, nullptr, nullptr)) return CopyFileError;

    // Without its stock folder a copy would be an empty aircraft reported as made.
    if (!PlatformFolderExists(stockFolder)) return CopyPathNotFound;

    if (dryRun) {
        if (PlatformFolderExists(newFolder) || PlatformFileExists(newFolder)) return CopyFolderExists;
        PlanCopySteps(aircraftDir, prefix, index, report, context);
        return CopyOk;
    }
    if (int err = PlatformMakeFolder(newFolder))
        return StatusFromErrno(err);  // nothing written: an existing folder is never written into

    CopyStatus status = CopyOk;
    CopyStep step;
    PathWalker walk{aircraftDir, &aircraft, &names};
    for (const FileEntry* e = aircraft.files; e->name; ++e) {
        walk.Build(*e, &step);
        const FileResult result = Run(step, names, aircraft);
        step.outcome = result.outcome;
        step.error = result.error;
        // A stock file that is there but cannot be read fails the copy too:
        // the new aircraft would lack it without a word.
        if (step.outcome == FileWriteFailed || step.outcome == FileSourceUnreadable) status = CopyFileError;
        if (report) report(step, context);
    }
    return status;
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
