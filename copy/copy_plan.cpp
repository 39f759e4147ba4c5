#include "copy_plan.h"

#include "alias.h"
#include "platform.h"

#include <cstring>

const char kAircraftCfgTemp[] = "Aircraft.cfg.tmp";

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

bool IsCopyName(int index, const char* folderName) {
    const AircraftEntry& a = GetAircraftEntry(index);
    const std::size_t length = std::strlen(a.name);
    return std::strlen(folderName) == length && !SameIgnoringCase(folderName, a.name) &&
           SameIgnoringCase(folderName + a.StemLength, a.name + a.StemLength);
}

//----------------------------------------------------------------------------
// Paths of each entry
//----------------------------------------------------------------------------

bool JoinPath(char* out, const char* a, const char* b, const char* c, const char* d) {
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

bool BuildCopyStep(const char* aircraftDir, const AircraftEntry& aircraft, const CopyNames& names,
                   const FileEntry& entry, const char** subfolder, CopyStep* step) {
    step->entry = &entry;
    step->source[0] = step->dest[0] = '\0';
    step->outcome = FileWritten;
    step->error = 0;
    const int L = aircraft.StemLength;
    switch (entry.action) {
    case FileAction::MakeFolder:
        *subfolder = entry.name;
        return JoinPath(step->dest, aircraftDir, names.newFolder, entry.name);
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
        std::memcpy(destName, names.newStem, static_cast<std::size_t>(L));
        return JoinPath(step->source, aircraftDir, aircraft.name, *subfolder, entry.name) &&
               JoinPath(step->dest, aircraftDir, names.newFolder, *subfolder, destName);
    }
    case FileAction::RewriteStem:
    case FileAction::RewriteAircraftCfg:
        return JoinPath(step->source, aircraftDir, aircraft.name, *subfolder, entry.name) &&
               JoinPath(step->dest, aircraftDir, names.newFolder, *subfolder, entry.name);
    default:  // the alias files read nothing
        return JoinPath(step->dest, aircraftDir, names.newFolder, *subfolder, entry.name);
    }
}

bool PlanCopySteps(const char* aircraftDir, const char* prefix, int index, CopyStepReport report, void* context) {
    const AircraftEntry& aircraft = GetAircraftEntry(index);
    CopyNames names;
    DeriveCopyNames(index, prefix, &names);
    CopyStep step;
    const char* subfolder = "";
    for (const FileEntry* e = aircraft.files; e->name; ++e) {
        if (!BuildCopyStep(aircraftDir, aircraft, names, *e, &subfolder, &step)) return false;
        if (report) report(step, context);
    }
    return true;
}

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
    part.action = step.entry->action;
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
    parts.push_back({kAircraftCfgTemp, PartTemp, "", "", FileAction::RewriteAircraftCfg});
    return parts;
}
