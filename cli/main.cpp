// vantorel-cli: the copy engine for scripts and for players without the dialog.
//
//   vantorel-cli list [--aircraft-dir DIR] [--wine-prefix DIR]
//   vantorel-cli copy AIRCRAFT PREFIX [--aircraft-dir DIR] [--wine-prefix DIR] [--dry-run]

#include "catalogue.h"
#include "copy_aircraft.h"
#include "locate.h"
#include "messages.h"
#include "platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Exit statuses, part of the command's contract with scripts: each copy
// status maps to one, in this table only.
constexpr int kExitUsage = 64;
struct ExitCode { CopyStatus status; int exit; };
constexpr ExitCode kExitCodes[] = {
    {CopyOk, 0}, {CopyFileError, 1}, {CopyFolderExists, 2}, {CopyPathNotFound, 3}, {CopyInvalidName, 4},
};
int ExitFor(CopyStatus status) {
    for (const ExitCode& e : kExitCodes)
        if (e.status == status) return e.exit;
    return 1;
}

const char kUsage[] =
    "usage: vantorel-cli list [--aircraft-dir DIR] [--wine-prefix DIR]\n"
    "       vantorel-cli copy AIRCRAFT PREFIX [--aircraft-dir DIR] [--wine-prefix DIR] [--dry-run]\n"
    "\n"
    "Makes a new, independently named aircraft out of a stock Combat Flight\n"
    "Simulator aircraft: its first characters are replaced by PREFIX.\n"
    "\n"
    "  AIRCRAFT           a stock folder name (any letter case) or an index 0-18\n"
    "  PREFIX             the new name's first characters (at most the stem length)\n"
    "  --aircraft-dir DIR the simulator's Aircraft folder\n"
    "  --wine-prefix DIR  find the simulator in this Wine prefix (default $WINEPREFIX, ~/.wine)\n"
    "  --dry-run          print what would be made and make nothing\n"
    "\n"
    "Without --aircraft-dir the simulator is found through the registry: on\n"
    "Windows the installer's entry, elsewhere the system.reg of the Wine prefix.\n"
    "\n"
    "list shows each stock aircraft with whether its folder is there and how\n"
    "many of its stock files are, so you see what a copy would lack. When the\n"
    "Aircraft folder cannot be found it still lists the aircraft, says why on\n"
    "stderr and exits 3.\n"
    "\n"
    "exit status: 0 copied, 1 file error, 2 folder exists or access denied,\n"
    "             3 path not found, 4 invalid prefix, 64 usage error\n";

int Usage(const char* problem) {
    if (problem) std::fprintf(stderr, "vantorel-cli: %s\n", problem);
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

// A catalogue folder name in any letter case, or an index; -1 when neither.
int FindAircraft(const char* arg) {
    for (int i = 0; i < GetAircraftCount(); ++i)
        if (SameIgnoringCase(arg, GetAircraftName(i))) return i;
    char* end = nullptr;
    long index = std::strtol(arg, &end, 10);
    if (*arg && *end == '\0' && index >= 0 && index < GetAircraftCount()) return static_cast<int>(index);
    return -1;
}

struct Options {
    const char* command = nullptr;
    const char* args[2] = {nullptr, nullptr};
    int argCount = 0;
    const char* aircraftDir = nullptr;
    const char* winePrefix = nullptr;
    bool dryRun = false;
    bool help = false;
};

// Returns null on success, else what is wrong with the command line.
const char* ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
            o->help = true;
        } else if (!std::strcmp(a, "--dry-run")) {
            o->dryRun = true;
        } else if (!std::strcmp(a, "--aircraft-dir") || !std::strcmp(a, "--wine-prefix")) {
            if (i + 1 >= argc) return "an option needs a folder";
            (a[2] == 'a' ? o->aircraftDir : o->winePrefix) = argv[++i];
        } else if (a[0] == '-' && a[1] == '-') {
            return "unknown option";
        } else if (!o->command) {
            o->command = a;
        } else if (o->argCount < 2) {
            o->args[o->argCount++] = a;
        } else {
            return "too many arguments";
        }
    }
    return nullptr;
}

// The stock files a copy of one aircraft reads, and which of them are there.
struct StockFileCount {
    std::size_t stockFolderLength;  // of "<Aircraft folder>/<stock folder>/"
    int listed = 0;
    int found = 0;
    std::string missing;  // relative to the stock folder, comma-separated
};

void CountStockFile(const CopyStep& step, void* context) {
    if (!*step.source) return;  // folders are made and alias files written: they read nothing
    StockFileCount* count = static_cast<StockFileCount*>(context);
    ++count->listed;
    if (PlatformFileExists(step.source)) {
        ++count->found;
    } else {
        if (!count->missing.empty()) count->missing += ", ";
        count->missing += step.source + count->stockFolderLength;
    }
}

// `aircraftDir` is null when the simulator could not be found: the catalogue
// is still worth showing.
int List(const char* aircraftDir) {
    std::printf("%5s  %-12s  %4s  %-6s  %s\n", "index", "aircraft", "stem", "folder", "stock files");
    const bool haveDir = aircraftDir && PlatformFolderExists(aircraftDir);
    for (int i = 0; i < GetAircraftCount(); ++i) {
        std::printf("%5d  %-12s  %4d  ", i, GetAircraftName(i), GetStemLength(i));
        if (!haveDir) {
            std::printf("%-6s  %s\n", "-", "-");
            continue;
        }
        const std::string folder = std::string(aircraftDir) + kPathSep + GetAircraftName(i);
        StockFileCount count;
        count.stockFolderLength = folder.size() + 1;
        // Source paths do not depend on the prefix: any will do.
        PlanCopySteps(aircraftDir, "", i, CountStockFile, &count);
        const bool present = PlatformFolderExists(folder.c_str());
        std::printf("%-6s  %d/%d\n", present ? "yes" : "no", count.found, count.listed);
        // A partial aircraft copies without these: name them.
        if (present && count.found < count.listed) std::printf("%5s  missing: %s\n", "", count.missing.c_str());
    }
    if (aircraftDir && !haveDir) {
        std::fprintf(stderr, "vantorel-cli: no Aircraft folder at %s\n", aircraftDir);
        return ExitFor(CopyPathNotFound);
    }
    return ExitFor(aircraftDir ? CopyOk : CopyPathNotFound);
}

const char* OutcomeText(const CopyStep& step) {
    if (step.entry->action == FileAction::MakeFolder)
        return step.outcome == FileWritten ? "folder made" : "could not make folder";
    switch (step.outcome) {
    case FileWritten: return "written";
    case FileSourceMissing: return "stock file missing";
    default: return "could not write";
    }
}

void PrintStep(const CopyStep& step, void* context) {
    const bool dryRun = *static_cast<bool*>(context);
    if (dryRun)
        std::printf("  %s%s%s\n", step.source, *step.source ? " -> " : "", step.dest);
    else
        std::printf("  %-18s %s\n", OutcomeText(step), step.dest);
}

int Copy(const char* aircraftDir, int index, const char* prefix, bool dryRun) {
    CopyNames names;
    DeriveCopyNames(index, prefix, &names);
    std::printf("%s %s to %s in %s\n", dryRun ? "Would copy" : "Copying", GetAircraftName(index),
                names.newFolder, aircraftDir);
    CopyStatus status = CopyAircraftReport(aircraftDir, prefix, index, dryRun, PrintStep, &dryRun);
    if (dryRun && status == CopyOk) {
        std::printf("Nothing was written (dry run).\n");
        return 0;
    }
    StatusMessage message;
    DescribeCopyStatus(status, names.newFolder, GetAircraftName(index), &message);
    std::fprintf(status == CopyOk ? stdout : stderr, "%s\n", message.text);
    return ExitFor(status);
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (const char* problem = ParseOptions(argc, argv, &o)) return Usage(problem);
    if (o.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!o.command) return Usage("no command given");

    const bool isList = !std::strcmp(o.command, "list");
    const bool isCopy = !std::strcmp(o.command, "copy");
    if (!isList && !isCopy) return Usage("unknown command");
    if (isList && o.argCount != 0) return Usage("list takes no arguments");
    if (isCopy && o.argCount != 2) return Usage("copy needs AIRCRAFT and PREFIX");
    if (o.dryRun && !isCopy) return Usage("--dry-run goes with copy");

    int index = -1;
    if (isCopy && (index = FindAircraft(o.args[0])) < 0) return Usage("unknown aircraft: see 'vantorel-cli list'");

    SimLocation sim;
    std::string error;
    const bool found = LocateSimulator(o.aircraftDir, o.winePrefix, &sim, &error);
    if (!found) std::fprintf(stderr, "vantorel-cli: %s\n", error.c_str());
    if (isList) return List(found ? sim.aircraftDir.c_str() : nullptr);
    if (!found) return ExitFor(CopyPathNotFound);
    return Copy(sim.aircraftDir.c_str(), index, o.args[1], o.dryRun);
}
