// vantorel-cli: the copy engine for scripts and for players without the dialog.
//
//   vantorel-cli list [--aircraft-dir DIR] [--wine-prefix DIR]
//   vantorel-cli copy AIRCRAFT PREFIX [--aircraft-dir DIR] [--wine-prefix DIR] [--dry-run]

#include "arguments.h"
#include "catalogue.h"
#include "copies_cmd.h"
#include "copy_aircraft.h"
#include "escape.h"
#include "exit_codes.h"
#include "locate.h"
#include "messages.h"
#include "platform.h"
#include "sim_path.h"
#include "texture_cmd.h"
#include "title.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <vector>
#include <string>

namespace {

const char kUsage[] =
    "usage: vantorel-cli list [--aircraft-dir DIR] [--wine-prefix DIR]\n"
    "       vantorel-cli copy AIRCRAFT PREFIX [--title TEXT] [--dry-run] [--aircraft-dir DIR] [--wine-prefix DIR]\n"
    "       vantorel-cli where [--aircraft-dir DIR] [--wine-prefix DIR]\n"
    "       vantorel-cli copies [--aircraft-dir DIR] [--wine-prefix DIR]\n"
    "       vantorel-cli remove FOLDER [--dry-run] [--permanent] [--aircraft-dir DIR] [--wine-prefix DIR]\n"
    "       vantorel-cli textures FOLDER [--aircraft-dir DIR] [--wine-prefix DIR]\n"
    "       vantorel-cli export FOLDER DIR [--aircraft-dir DIR] [--wine-prefix DIR]\n"
    "       vantorel-cli apply FOLDER PNG... [--as NAME] [--dither] [--resize] [--dry-run] [--aircraft-dir DIR]\n"
    "                          [--wine-prefix DIR]\n"
    "       vantorel-cli --version\n"
    "\n"
    "Makes a new, independently named aircraft out of a stock Combat Flight\n"
    "Simulator aircraft: its first characters are replaced by PREFIX.\n"
    "\n"
    "  AIRCRAFT           a stock folder name (any letter case) or an index 0-18\n"
    "  PREFIX             the new name's first characters (at most the stem length;\n"
    "                     printable ASCII, not starting with a space)\n"
    "  --title TEXT       the copy's name in the simulator's aircraft menu\n"
    "                     (default: the stock title with the prefix written over it)\n"
    "  --aircraft-dir DIR the simulator's Aircraft folder\n"
    "  --wine-prefix DIR  find the simulator in this Wine prefix (default $WINEPREFIX, ~/.wine,\n"
    "                     then the prefixes of Bottles, Lutris, PlayOnLinux, CrossOver and Steam)\n"
    "  --dry-run          print what would be done and change nothing\n"
    "  --permanent        remove: delete the copy's files instead of moving the copy to the trash\n"
    "  --as NAME          apply: the texture a single PNG replaces (default: the PNG's name)\n"
    "  --dither           apply: error diffusion when a PNG has more than 256 colours\n"
    "  --resize           apply: resample a PNG of another size to the texture's\n"
    "  --                 ends the options: what follows is a name, even if it starts with -\n"
    "\n"
    "Without --aircraft-dir the simulator is found through the registry: the\n"
    "installer's entry, else the folder picked with Find CFS... in Vantorel.exe;\n"
    "on Windows in the registry itself, elsewhere in the Wine prefix's files.\n"
    "where prints the Aircraft folder that would be used and how it was found.\n"
    "\n"
    "list shows each stock aircraft with whether its folder is there and how\n"
    "many of its stock files are, so you see what a copy would lack. When the\n"
    "Aircraft folder cannot be found it still lists the aircraft, says why on\n"
    "stderr and exits 3.\n"
    "\n"
    "copies lists the copies Vantorel made (recognised from their files);\n"
    "remove moves one of them to the trash (Recycle Bin on Windows).\n"
    "\n"
    "textures checks an aircraft's textures: each file's size and kind, and the\n"
    "textures its models name that are missing. export writes them as PNGs into\n"
    "DIR for a paint program; apply puts painted PNGs back into a copy as the\n"
    "simulator's 8-bit textures (the old ones go to the trash).\n"
    "\n"
    "exit status: 0 done, 1 file error, 2 folder exists, access denied or not a copy,\n"
    "             3 path not found, 4 invalid prefix, 64 usage error\n";

int Usage(const char* problem) {
    if (problem) std::fprintf(stderr, "vantorel-cli: %s\n", problem);
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

// Where the file system really put `folder`: on Windows Vista and later a
// copy under Program Files may have been redirected to the VirtualStore.
std::string RealLocation(const std::string& folder) {
    const std::string at = CopyLocation(folder, LocalAppData());
    return at.empty() ? folder : at;
}

// A catalogue folder name in any letter case, or an index; -1 when neither.
int FindAircraft(const std::string& arg) {
    for (int i = 0; i < GetAircraftCount(); ++i)
        if (SameIgnoringCase(arg.c_str(), GetAircraftName(i))) return i;
    char* end = nullptr;
    long index = std::strtol(arg.c_str(), &end, 10);
    if (!arg.empty() && *end == '\0' && index >= 0 && index < GetAircraftCount()) return static_cast<int>(index);
    return -1;
}

// The stock files a copy of one aircraft reads, and which of them are there.
struct StockFileCount {
    std::size_t stockFolderLength;  // of "<Aircraft folder>/<stock folder>/"
    int listed = 0;
    int found = 0;
    std::string missing;     // relative to the stock folder, comma-separated
    std::string unreadable;  // there, but a copy could not read them
};

void CountStockFile(const CopyStep& step, void* context) {
    if (!*step.source) return;  // folders are made and alias files written: they read nothing
    StockFileCount* count = static_cast<StockFileCount*>(context);
    ++count->listed;
    std::string& list = PlatformFileExists(step.source) ? count->unreadable : count->missing;
    if (&list == &count->unreadable) {
        if (std::FILE* f = PlatformOpenRead(step.source)) {
            std::fclose(f);
            ++count->found;
            return;
        }
    }
    if (!list.empty()) list += ", ";
    list += step.source + count->stockFolderLength;
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
        if (present && !count.missing.empty())
            std::printf("%5s  missing: %s\n", "", EscapeControls(count.missing).c_str());
        if (present && !count.unreadable.empty())
            std::printf("%5s  unreadable: %s\n", "", EscapeControls(count.unreadable).c_str());
    }
    if (!aircraftDir || !HaveAircraftFolder(aircraftDir)) return kExitPathNotFound;
    return kExitDone;
}

const char* OutcomeText(const CopyStep& step) {
    if (step.entry->action == FileAction::MakeFolder)
        return step.outcome == FileWritten ? "folder made" : "could not make folder";
    switch (step.outcome) {
    case FileWritten: return "written";
    case FileSourceMissing: return "stock file missing";
    case FileSourceUnreadable: return "cannot read";
    case FileWriteFailed: break;
    }
    return "could not write";
}

void PrintStep(const CopyStep& step, void* context) {
    const bool dryRun = *static_cast<bool*>(context);
    if (dryRun) {
        std::printf("  %s%s%s\n", EscapeControls(step.source).c_str(), *step.source ? " -> " : "",
                    EscapeControls(step.dest).c_str());
        return;
    }
    // What is missing or unreadable is the stock file, not the copy's.
    const bool stock = step.outcome == FileSourceMissing || step.outcome == FileSourceUnreadable;
    std::printf("  %-18s %s", OutcomeText(step), EscapeControls(stock ? step.source : step.dest).c_str());
    if (step.outcome != FileWritten && step.outcome != FileSourceMissing && step.error)
        std::printf(" (%s)", std::strerror(step.error));
    std::printf("\n");
}

// The in-game name a copy at `folder` carries: its Aircraft.cfg's first
// title, read as the simulator reads it.
std::string CarriedTitle(const std::string& folder) {
    std::string cfg;
    return ReadConfigFile((folder + kPathSep + "Aircraft.cfg").c_str(), &cfg) ? FirstTitle(cfg) : std::string();
}

int Copy(const char* aircraftDir, int index, const char* prefix, const char* title, bool dryRun) {
    CopyNames names;
    DeriveCopyNames(index, prefix, &names);
    const std::string folder = std::string(aircraftDir) + kPathSep + names.newFolder;
    if (title && TrimInGameTitle(title) != title)
        std::printf("The in-game name is taken without its outer blanks: \"%s\"\n",
                    EscapeControls(TrimInGameTitle(title)).c_str());
    if (title && TitleInUse(aircraftDir, title))
        std::fprintf(stderr, "vantorel-cli: warning: another aircraft already has the in-game name \"%s\"\n",
                     EscapeControls(TrimInGameTitle(title)).c_str());
    std::printf("%s %s to %s in %s\n", dryRun ? "Would copy" : "Copying", GetAircraftName(index), names.newFolder,
                EscapeControls(aircraftDir).c_str());
    CopyFailure failure;
    CopyStatus status = CopyAircraftReport(aircraftDir, prefix, index, dryRun, PrintStep, &dryRun, &failure, title);
    if (dryRun && status == CopyOk) {
        const std::string predicted = title ? TrimInGameTitle(title) : PredictCopyTitle(aircraftDir, prefix, index);
        std::printf("Would make %s, in-game name \"%s\"\nNothing was written (dry run).\n",
                    EscapeControls(folder).c_str(), EscapeControls(predicted).c_str());
        return kExitDone;
    }
    StatusMessage message;
    DescribeCopyStatus(status, names.newFolder, GetAircraftName(index), &message, &failure);
    std::fprintf(status == CopyOk ? stdout : stderr, "%s\n", EscapeControls(message.text).c_str());
    if (status == CopyOk) {
        // What the copy carries, not what was asked for: the two can only
        // differ where the stock configuration has no title to give.
        const std::string where = RealLocation(folder), carried = CarriedTitle(where);
        if (carried.empty())
            std::printf("Made %s, with no in-game name (its Aircraft.cfg has no title= line)\n",
                        EscapeControls(where).c_str());
        else
            std::printf("Made %s, in-game name \"%s\"\n", EscapeControls(where).c_str(),
                        EscapeControls(carried).c_str());
    }
    return ExitFor(status);
}

// The Aircraft folder on stdout's first line (for scripts) and
// "source: <how>" on the second.
int Where(const SimLocation& where) {
    std::printf("%s\nsource: %s\n", EscapeControls(where.aircraftDir).c_str(), EscapeControls(where.how).c_str());
    return HaveAircraftFolder(where.aircraftDir.c_str()) ? kExitDone : kExitPathNotFound;
}

int Run(int argc, char** argv) {
    CLI::App app{"vantorel-cli"};
    // Our own help text: the same content for every command, on stdout with
    // exit 0; any usage error shows it on stderr with exit 64.
    app.set_help_flag();
    bool help = false, version = false, dryRun = false, permanent = false;
    std::string aircraftArg, prefix, folder, exportDir;
    std::vector<std::string> pngs;
    ApplyOptions applyOptions;
    std::optional<std::string> aircraftDir, winePrefix, title;
    app.add_flag("-h,--help", help);
    app.add_flag("--version", version);
    const auto nonEmpty = CLI::Validator(
        [](std::string& value) { return value.empty() ? std::string("an empty value") : std::string(); }, "", "");
    auto location = [&](CLI::App* command) {
        command->add_option("--aircraft-dir", aircraftDir)->check(nonEmpty);
        command->add_option("--wine-prefix", winePrefix)->check(nonEmpty);
        command->add_flag("-h,--help", help);
    };
    CLI::App* list = app.add_subcommand("list");
    CLI::App* copy = app.add_subcommand("copy");
    CLI::App* where = app.add_subcommand("where");
    CLI::App* copies = app.add_subcommand("copies");
    CLI::App* remove = app.add_subcommand("remove");
    CLI::App* textures = app.add_subcommand("textures");
    CLI::App* exportCmd = app.add_subcommand("export");
    CLI::App* apply = app.add_subcommand("apply");
    for (CLI::App* command : {list, copy, where, copies, remove, textures, exportCmd, apply}) location(command);
    copy->add_option("AIRCRAFT", aircraftArg)->required();
    copy->add_option("PREFIX", prefix)->required();
    copy->add_option("--title", title)->check(nonEmpty);
    copy->add_flag("--dry-run", dryRun);
    remove->add_option("FOLDER", folder)->required();
    remove->add_flag("--dry-run", dryRun);
    remove->add_flag("--permanent", permanent);
    for (CLI::App* command : {textures, exportCmd, apply}) command->add_option("FOLDER", folder)->required();
    exportCmd->add_option("DIR", exportDir)->required()->check(nonEmpty);
    apply->add_option("PNG", pngs)->required();
    apply->add_option("--as", applyOptions.as)->check(nonEmpty);
    apply->add_flag("--dither", applyOptions.dither);
    apply->add_flag("--resize", applyOptions.resize);
    apply->add_flag("--dry-run", applyOptions.dryRun);
    app.require_subcommand(0, 1);
    const AnsiArguments ansi = ReadArguments(argc, argv);
    std::vector<char*> args;
    for (const std::string& arg : ansi.args) args.push_back(const_cast<char*>(arg.c_str()));
    try {
        app.parse(static_cast<int>(args.size()), args.data());
    } catch (const CLI::ParseError& e) {
        if (!help) return Usage(e.what());
    }
    if (help) {
        std::fputs(kUsage, stdout);
        return kExitDone;
    }
    if (version) {
        std::printf("vantorel-cli %s\n", VANTOREL_VERSION);
        return kExitDone;
    }
    if (app.get_subcommands().empty()) return Usage("no command given");

    int index = -1;
    if (copy->parsed() && (index = FindAircraft(aircraftArg)) < 0)
        return Usage("unknown aircraft: see 'vantorel-cli list'");
    // A character the simulator's code page cannot hold never reaches a name.
    const char kNotInCodePage[] = "holds characters that the system's code page cannot hold";
    if (copy->parsed() && IsInexactArgument(ansi, prefix)) {
        std::fprintf(stderr, "vantorel-cli: the prefix %s: use letters and digits\n", kNotInCodePage);
        return kExitInvalidName;
    }
    for (const std::optional<std::string>* path : {&aircraftDir, &winePrefix})
        if (*path && IsInexactArgument(ansi, **path)) {
            std::fprintf(stderr, "vantorel-cli: the folder %s %s\n", EscapeControls(**path).c_str(), kNotInCodePage);
            return kExitPathNotFound;
        }
    if (title && IsInexactArgument(ansi, *title)) return Usage(kMsgTitleNotAnsi);
    if (apply->parsed() && !applyOptions.as.empty() && (pngs.size() != 1 || !IsPlainTextureName(applyOptions.as)))
        return Usage("--as names the texture of a single PNG, without a folder or \"..\"");
    if (title) {
        switch (CheckInGameTitle(title->c_str())) {
        case TitleOk: break;
        case TitleEmpty: return Usage(kMsgTitleEmpty);
        case TitleHasControlChars: return Usage(kMsgTitleControlChars);
        case TitleNotRepresentable:
            return Usage(kMsgTitleNotAnsi);
        }
    }

    SimLocation sim;
    std::string error;
    const bool found = LocateSimulator(aircraftDir ? aircraftDir->c_str() : nullptr,
                                       winePrefix ? winePrefix->c_str() : nullptr, &sim, &error);
    if (!found) std::fprintf(stderr, "vantorel-cli: %s\n", EscapeControls(error).c_str());
    const char* dir = sim.aircraftDir.c_str();
    if (list->parsed()) return List(found ? dir : nullptr);
    if (!found) return kExitPathNotFound;
    if (where->parsed()) return Where(sim);
    if (copies->parsed()) return RunCopiesCommand(dir);
    if (remove->parsed()) return RunRemoveCommand(dir, folder.c_str(), dryRun, permanent);
    if (textures->parsed()) return RunTexturesCommand(dir, folder.c_str());
    if (exportCmd->parsed()) return RunExportCommand(dir, folder.c_str(), exportDir.c_str());
    if (apply->parsed()) return RunApplyCommand(dir, folder.c_str(), pngs, applyOptions);
    return Copy(dir, index, prefix.c_str(), title ? title->c_str() : nullptr, dryRun);
}

} // namespace

// Nothing may end the program without a word: running out of memory is a
// file error with a message, not an abort.
int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vantorel-cli: File Error: %s\n",
                     dynamic_cast<const std::bad_alloc*>(&e) ? "out of memory" : e.what());
    }
    return kExitFileError;
}
