#include "locate.h"

#include "copy_aircraft.h"
#include "platform.h"
#include "sim_path.h"

namespace {

bool IsSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

// The folder as given, but for the separators a shell completion leaves:
// the engine joins paths with one. A drive root keeps its own.
bool FromOption(const char* option, SimLocation* out, std::string* error) {
    std::string dir = option;
    while (dir.size() > 1 && IsSeparator(dir.back()) && !(dir.size() == 3 && dir[1] == ':')) dir.pop_back();
    if (dir.size() >= static_cast<std::size_t>(kPathCapacity)) {
        *error = "the Aircraft folder path is too long: " + std::to_string(dir.size()) +
                 " bytes given with --aircraft-dir, at most " + std::to_string(kPathCapacity - 1);
        return false;
    }
    *out = {dir, "given with --aircraft-dir"};
    return true;
}

// The words for the folder the player picked, wherever its record was read.
std::string PickedFolderHow() {
    return std::string(", the folder picked with Find CFS... (HKCU\\") + kUserRegistryKey + ", value \"" +
           kUserRegistryValue + "\")";
}

} // namespace

#ifdef _WIN32
#include "messages.h"

bool LocateSimulator(const char* aircraftDirOption, const char*, SimLocation* out, std::string* error) {
    if (aircraftDirOption) return FromOption(aircraftDirOption, out, error);
    const std::string key = std::string("HKLM\\") + kSimRegistryKey + ", value \"" + kSimRegistryValue + "\"";
    char path[kAircraftPathCapacity];
    bool picked = false;
    const int installer = ReadAircraftFolderFromRegistry(path);
    const int rc = ChooseAircraftFolder(installer, ReadRememberedFolderFromRegistry(), path, &picked);
    if (rc != kRegistryOk) {
        *error = std::string(rc == kRegistryNotInstalled ? kMsgNotInstalled : kMsgPathNotFound) + " (looked in " +
                 key + ", and for a folder picked with Find CFS... in HKCU\\" + kUserRegistryKey + ")";
        return false;
    }
    if (std::string(path).size() >= static_cast<std::size_t>(kPathCapacity)) {
        *error = std::string("the Aircraft folder path ") + path + " (from " + key + ") is too long";
        return false;
    }
    *out = {path, "Windows registry" + (picked ? PickedFolderHow() : " (" + key + ")")};
    return true;
}

#else
#include "wine_prefix.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <sstream>
#include <sys/stat.h>
#include <vector>

namespace {

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// One file system object whatever links lead to it: ~/.steam/steam is
// usually a link to ~/.local/share/Steam, and a library may be listed twice.
std::string Canonical(const std::string& path) {
    char* real = realpath(path.c_str(), nullptr);
    if (!real) return path;
    std::string canonical = real;
    std::free(real);
    return canonical;
}

// A folder under which each entry may be a Wine prefix (Steam's are in <entry>/pfx).
struct PrefixHome {
    std::string manager, dir, inEntry;
};

// The quoted strings of one line of a Valve KeyValues file.
std::vector<std::string> QuotedTokens(const std::string& line) {
    std::vector<std::string> tokens;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '"') continue;
        std::string token;
        for (++i; i < line.size() && line[i] != '"'; ++i) token += line[i] == '\\' && i + 1 < line.size() ? line[++i] : line[i];
        tokens.push_back(token);
    }
    return tokens;
}

// The library folders Steam lists in steamapps/libraryfolders.vdf:
// "path" "DIR" lines, or "1" "DIR" in the older form.
std::vector<std::string> SteamLibraries(const std::string& steam) {
    std::vector<std::string> libraries;
    std::string text;
    int ignored = 0;
    ReadRegularFile((steam + "/steamapps/libraryfolders.vdf").c_str(), &text, &ignored);
    std::istringstream vdf(text);
    for (std::string line; std::getline(vdf, line);) {
        const std::vector<std::string> t = QuotedTokens(line);
        if (t.size() != 2 || t[1].empty() || t[1][0] != '/') continue;
        const bool numbered = !t[0].empty() && std::all_of(t[0].begin(), t[0].end(), [](char c) { return c >= '0' && c <= '9'; });
        if (numbered || SameIgnoringCase(t[0].c_str(), "path")) libraries.push_back(t[1]);
    }
    return libraries;
}

// Where the usual managers keep their prefixes, as the manager itself finds
// its data (XDG_DATA_HOME, else ~/.local/share).
std::vector<PrefixHome> PrefixHomes(const std::string& home) {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const std::string data = xdg && xdg[0] == '/' ? xdg : home + "/.local/share";
    std::vector<PrefixHome> homes = {
        {"Bottles", data + "/bottles/bottles", ""},
        {"Bottles (Flatpak)", home + "/.var/app/com.usebottles.bottles/data/bottles/bottles", ""},
        {"Lutris", home + "/Games", ""},
        {"PlayOnLinux", home + "/.PlayOnLinux/wineprefix", ""},
        {"CrossOver", home + "/.cxoffice", ""},
        {"CrossOver", home + "/Library/Application Support/CrossOver/Bottles", ""},
    };
    const std::string steams[] = {home + "/.steam/steam", data + "/Steam",
                                  home + "/.var/app/com.valvesoftware.Steam/.local/share/Steam"};
    for (const std::string& steam : steams) {
        homes.push_back({"Steam", steam + "/steamapps/compatdata", "/pfx"});
        for (const std::string& library : SteamLibraries(steam))
            homes.push_back({"Steam library", library + "/steamapps/compatdata", "/pfx"});
    }
    // Each folder once, under the first name it was given.
    std::vector<PrefixHome> unique;
    std::vector<std::string> seen;
    for (const PrefixHome& h : homes) {
        const std::string canonical = Canonical(h.dir);
        if (std::find(seen.begin(), seen.end(), canonical) != seen.end()) continue;
        seen.push_back(canonical);
        unique.push_back(h);
    }
    return unique;
}

std::vector<std::string> SortedEntries(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (const dirent* e = readdir(d))
            if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..")) names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

enum PrefixVerdict { kHasSimulator, kNoAircraftFolder, kNoSimulator };

struct Examined {
    PrefixVerdict verdict;
    std::string aircraft;  // whenever the registry names a folder
    std::string why;       // otherwise
    bool picked;           // the folder is the one the player picked
};

// Whether `prefix` holds the simulator: its registry names it, in the order
// the dialog reads the Windows registry, and the Aircraft folder is there.
Examined Examine(const std::string& prefix) {
    char folder[kAircraftPathCapacity] = "", why[1024] = "";
    // The engine's capacity, not the registry's: a longer host path could not be copied into.
    const bool named = FindAircraftFolderInWinePrefix(prefix.c_str(), folder, kPathCapacity, why, sizeof why);
    bool picked = false;
    if (ChooseAircraftFolder(named ? kRegistryOk : kRegistryNotInstalled,
                             FindRememberedFolderInWinePrefix(prefix.c_str()), folder, &picked) != kRegistryOk)
        return {kNoSimulator, "", why, false};
    return {PlatformFolderExists(folder) ? kHasSimulator : kNoAircraftFolder, folder, "", picked};
}

// The prefix $HOME's Wine uses: --wine-prefix, $WINEPREFIX, or ~/.wine
// (searched beyond when it has no simulator).
bool LocateInWine(const char* winePrefixOption, SimLocation* out, std::string* error) {
    const char* env = std::getenv("WINEPREFIX");
    const char* home = std::getenv("HOME");
    std::string prefix, origin, how;
    if (winePrefixOption) {
        prefix = winePrefixOption, origin = "given with --wine-prefix", how = "from --wine-prefix";
    } else if (env && *env) {
        prefix = env, origin = "from $WINEPREFIX", how = "from $WINEPREFIX";
    } else if (home && *home) {
        prefix = std::string(home) + "/.wine";
        origin = "the default, as neither --wine-prefix nor $WINEPREFIX is given", how = "~/.wine";
    } else {
        *error = "no Wine prefix to look in: none is given with --wine-prefix or $WINEPREFIX and $HOME is not set; "
                 "give the Aircraft folder with --aircraft-dir DIR";
        return false;
    }
    while (prefix.size() > 1 && prefix.back() == '/') prefix.pop_back();
    const bool searchOn = !winePrefixOption && !(env && *env);

    std::string why;
    if (!IsFolder(prefix)) {
        why = "no Wine prefix at " + prefix + " (" + origin + ")";
        if (!searchOn) {
            *error = why + ": give --wine-prefix DIR or --aircraft-dir DIR";
            return false;
        }
    } else {
        const Examined e = Examine(prefix);
        why = e.why;
        // A prefix named by the player is used as named: the copy then says
        // what is wrong with its Aircraft folder.
        if (e.verdict == kHasSimulator || (!searchOn && e.verdict == kNoAircraftFolder)) {
            *out = {e.aircraft, "Wine prefix " + prefix + " (" + how + ")" + (e.picked ? PickedFolderHow() : "")};
            return true;
        }
        if (!searchOn) {
            *error = why;
            return false;
        }
        if (e.verdict == kNoAircraftFolder)
            why = "no Aircraft folder at " + e.aircraft + ", which the registry of the Wine prefix " + prefix +
                  " names";
    }

    // ~/.wine has no simulator: the one prefix that has it in the homes of the usual managers.
    struct Found { std::string prefix, manager, home; Examined e; };
    std::vector<Found> found;
    std::vector<std::string> seen = {Canonical(prefix)}, searched, lacking;
    for (const PrefixHome& h : PrefixHomes(home)) {
        searched.push_back(h.dir + (h.inEntry.empty() ? "" : "/*" + h.inEntry) + " (" + h.manager + ")");
        for (const std::string& entry : SortedEntries(h.dir)) {
            const std::string candidate = h.dir + "/" + entry + h.inEntry;
            const std::string canonical = Canonical(candidate);
            if (!IsFolder(candidate) || std::find(seen.begin(), seen.end(), canonical) != seen.end()) continue;
            seen.push_back(canonical);
            const Examined e = Examine(candidate);
            if (e.verdict == kHasSimulator) found.push_back({candidate, h.manager, h.dir, e});
            if (e.verdict == kNoAircraftFolder) lacking.push_back(candidate + " names " + e.aircraft);
        }
    }
    const auto joined = [](const std::vector<std::string>& parts) {
        std::string s;
        for (const std::string& p : parts) s += (s.empty() ? "" : ", ") + p;
        return s;
    };
    if (found.size() == 1) {
        const Found& f = found[0];
        *out = {f.e.aircraft, "Wine prefix " + f.prefix + " (found in the " + f.manager + " home " + f.home + ")" +
                                  (f.e.picked ? PickedFolderHow() : "")};
        return true;
    }
    if (found.size() > 1) {
        std::vector<std::string> names;
        for (const Found& f : found) names.push_back(f.prefix + " (" + f.manager + ")");
        *error = "the simulator is in several Wine prefixes: " + joined(names) + "; choose one with --wine-prefix DIR";
        return false;
    }
    *error = why + "; nor is the simulator in a Wine prefix under " + joined(searched);
    if (!lacking.empty()) *error += "; prefixes whose registry names an Aircraft folder that is not there: " + joined(lacking);
    *error += ": give --wine-prefix DIR or --aircraft-dir DIR";
    return false;
}

} // namespace

bool LocateSimulator(const char* aircraftDirOption, const char* winePrefixOption, SimLocation* out,
                     std::string* error) {
    if (aircraftDirOption) return FromOption(aircraftDirOption, out, error);
    return LocateInWine(winePrefixOption, out, error);
}
#endif
