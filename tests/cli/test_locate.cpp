// Finding the simulator: registry paths resolved as Windows resolves them,
// --aircraft-dir as given, and the search of the homes Wine prefix managers
// keep their prefixes in, on fake home trees.
#ifndef _WIN32
#include "locate.h"
#include "wine_prefix.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

namespace fs = std::filesystem;

namespace {

TEST(WindowsPath, ResolvesAsWindowsDoesAndNeverLeavesTheDrive) {
    struct Case { const char* path; int result; char drive; const char* relative; } const cases[] = {
        {"d:\\CFS\\Aircraft", kWinPathOk, 'D', "CFS/Aircraft"},
        {"C:\\..\\..\\CFS", kWinPathOk, 'C', "CFS"},  // ".." stops at the drive root
        {"C:\\Games\\CFS\\..\\..\\..\\x\\..\\CFS\\.\\Aircraft", kWinPathOk, 'C', "CFS/Aircraft"},
        {"C:/Games//CFS\\\\/Aircraft/", kWinPathOk, 'C', "Games/CFS/Aircraft"},
        {"C:\\CFS. .\\Air craft  \\...\\.x", kWinPathOk, 'C', "CFS/Air craft/.x"},  // trailing dots and spaces
        {"C:\\a.\\..\\b", kWinPathOk, 'C', "b"},
        {"\\\\?\\C:\\CFS\\..\\..\\Aircraft", kWinPathOk, 'C', "Aircraft"},
        {"\\??\\e:\\CFS", kWinPathOk, 'E', "CFS"},
        {"//?/C:/CFS", kWinPathOk, 'C', "CFS"},
        {"\\\\.\\C:\\CFS", kWinPathOk, 'C', "CFS"},
        {"\\\\server\\cfs", kWinPathNetwork, 0, ""},
        {"\\\\?\\UNC\\server\\cfs", kWinPathNetwork, 0, ""},
        {"\\??\\unc\\server\\cfs", kWinPathNetwork, 0, ""},
        {"C:CFS", kWinPathNoDrive, 0, ""},
        {"C:", kWinPathNoDrive, 0, ""},
        {"\\CFS", kWinPathNoDrive, 0, ""},
        {"\\\\?\\Volume{1}\\CFS", kWinPathNoDrive, 0, ""},
    };
    for (const Case& c : cases) {
        char drive = '?';
        std::string relative = "stale";
        EXPECT_EQ(c.result, ResolveWindowsPath(c.path, &drive, &relative)) << c.path;
        EXPECT_EQ(c.drive, drive) << c.path;
        EXPECT_EQ(c.relative, relative) << c.path;
    }
}

struct ScratchDir {
    std::string path = [] { char t[] = "/tmp/vantorel-locate-XXXXXX"; return std::string(mkdtemp(t)); }();
    ~ScratchDir() { std::error_code ignored; fs::remove_all(path, ignored); }
};

// Sets the variables (null: unsets) for one test and puts them back after it.
struct Environment {
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
    Environment(std::initializer_list<std::pair<const char*, const char*>> vars) {
        for (const auto& [name, value] : vars) {
            const char* old = std::getenv(name);
            saved.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
            value ? setenv(name, value, 1) : unsetenv(name);
        }
    }
    ~Environment() {
        for (const auto& [name, value] : saved) value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }
};

// A prefix as Wine makes it; with `installed`, its registry names C:\<install>
// and, with `aircraft`, the Aircraft folder is there.
void MakePrefix(const std::string& prefix, bool installed, bool aircraft, const std::string& install = "CFS") {
    fs::create_directories(prefix + "/drive_c");
    fs::create_directories(prefix + "/dosdevices");
    fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    std::ofstream(prefix + "/system.reg")
        << "WINE REGISTRY Version 2\n#arch=win32\n\n"
        << (installed ? "[Software\\\\Microsoft\\\\Microsoft Games\\\\Combat Flight Simulator\\\\1.00] 1\n"
                        "\"path\"=\"C:\\\\" + install + "\"\n"
                      : "[Software\\\\Other] 1\n");
    if (aircraft) fs::create_directories(prefix + "/drive_c/" + install + "/Aircraft");
}

TEST(Locate, RegistryPathsStayInsideThePrefix) {
    ScratchDir home;
    MakePrefix(home.path + "/pfx", true, true, "..\\\\..\\\\CFS. ");
    fs::create_directories(home.path + "/pfx/drive_c/CFS/Aircraft");
    char out[256], why[1024] = "";
    ASSERT_TRUE(FindAircraftFolderInWinePrefix((home.path + "/pfx").c_str(), out, sizeof out, why, sizeof why)) << why;
    EXPECT_EQ(home.path + "/pfx/dosdevices/c:/CFS/Aircraft", out);
}

TEST(Locate, AircraftDirOptionIsUsedAsGivenButForTrailingSeparators) {
    SimLocation where;
    std::string error;
    const Environment env({{"HOME", "/nonexistent-home"}, {"WINEPREFIX", nullptr}});
    ASSERT_TRUE(LocateSimulator("/games/cfs/Aircraft//", "/ignored", &where, &error)) << error;
    EXPECT_EQ("/games/cfs/Aircraft", where.aircraftDir);
    EXPECT_EQ("given with --aircraft-dir", where.how);
    ASSERT_TRUE(LocateSimulator("/", nullptr, &where, &error));
    EXPECT_EQ("/", where.aircraftDir);
    EXPECT_FALSE(LocateSimulator(std::string(300, 'a').c_str(), nullptr, &where, &error));
    EXPECT_NE(std::string::npos, error.find("too long: 300 bytes given with --aircraft-dir")) << error;
}

// A home with prefixes in several managers' layouts; each case adds the
// simulator to some of them.
TEST(Locate, SearchesThePrefixManagersHomesWhenWineHasNoSimulator) {
    struct Case {
        const char* name;
        std::vector<std::string> withSimulator;  // prefixes below the home holding it
        bool found;
        std::vector<std::string> said;  // in `how` when found, else in the error
    } const cases[] = {
        {"none", {}, false, {"CFS not installed! (no key", "HOME/.wine/system.reg); nor", "HOME/Games (Lutris)",
                             "HOME/.steam/steam/steamapps/compatdata/*/pfx (Steam)", "HOME/.cxoffice (CrossOver)",
                             "prefixes whose registry names an Aircraft folder that is not there: HOME/Games/noair",
                             "give --wine-prefix DIR or --aircraft-dir DIR"}},
        {"Bottles", {"/.local/share/bottles/bottles/cfs"}, true,
         {"Wine prefix HOME/.local/share/bottles/bottles/cfs (found in the Bottles home HOME/.local/share/bottles/bottles)"}},
        {"Steam, seen through its link once", {"/.local/share/Steam/steamapps/compatdata/123/pfx"}, true,
         {"compatdata/123/pfx (found in the Steam home"}},
        {"Steam library", {"/lib/steamapps/compatdata/7/pfx"}, true, {"Wine prefix HOME/lib/steamapps/compatdata/7/pfx (found in the Steam library home HOME/lib/steamapps/compatdata)"}},
        {"Flatpak Bottles and CrossOver on macOS",
         {"/.var/app/com.usebottles.bottles/data/bottles/bottles/b", "/Library/Application Support/CrossOver/Bottles/c"},
         false,
         {"the simulator is in several Wine prefixes: HOME/.var/app/com.usebottles.bottles/data/bottles/bottles/b "
          "(Bottles (Flatpak)), HOME/Library/Application Support/CrossOver/Bottles/c (CrossOver); choose one with "
          "--wine-prefix DIR"}},
        {"~/.wine first", {"/.wine", "/.PlayOnLinux/wineprefix/p"}, true, {"Wine prefix HOME/.wine (~/.wine)"}},
    };
    for (const Case& c : cases) {
        ScratchDir home;
        const std::string h = home.path;
        // Prefixes without the simulator, or whose Aircraft folder is missing, in every layout.
        MakePrefix(h + "/.wine", false, false);
        MakePrefix(h + "/Games/noair", true, false);
        MakePrefix(h + "/.PlayOnLinux/wineprefix/other", false, false);
        MakePrefix(h + "/.cxoffice/other", false, false);
        MakePrefix(h + "/.local/share/Steam/steamapps/compatdata/1/pfx", false, false);
        fs::create_directories(h + "/Games/not-a-prefix");
        fs::create_directories(h + "/.steam");
        fs::create_directory_symlink(h + "/.local/share/Steam", h + "/.steam/steam");
        std::ofstream(h + "/.local/share/Steam/steamapps/libraryfolders.vdf")
            << "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" << h << "/.local/share/Steam\"\n\t}\n"
            << "\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" << h << "/lib\"\n\t}\n}\n";
        for (const std::string& p : c.withSimulator) {
            fs::remove_all(h + p);
            MakePrefix(h + p, true, true);
        }

        const Environment env({{"HOME", h.c_str()}, {"WINEPREFIX", nullptr}, {"XDG_DATA_HOME", nullptr}});
        SimLocation where;
        std::string error;
        EXPECT_EQ(c.found, LocateSimulator(nullptr, nullptr, &where, &error)) << c.name << ": " << error;
        const std::string said = c.found ? where.how : error;
        for (std::string part : c.said) {
            for (std::size_t at; (at = part.find("HOME")) != std::string::npos;) part.replace(at, 4, h);
            EXPECT_NE(std::string::npos, said.find(part)) << c.name << ": " << part << "\nnot in: " << said;
        }
        if (c.found) {
            EXPECT_TRUE(fs::is_directory(where.aircraftDir)) << c.name << ": " << where.aircraftDir;
        }
    }
}

// A prefix the player names is used as named: no search beyond it.
TEST(Locate, NamedPrefixesAreNotSearchedBeyond) {
    ScratchDir home;
    MakePrefix(home.path + "/Games/cfs", true, true);
    MakePrefix(home.path + "/named", true, false);
    MakePrefix(home.path + "/empty", false, false);
    const Environment env({{"HOME", home.path.c_str()}, {"WINEPREFIX", (home.path + "/empty/").c_str()}});
    SimLocation where;
    std::string error;
    ASSERT_TRUE(LocateSimulator(nullptr, (home.path + "/named").c_str(), &where, &error)) << error;
    EXPECT_EQ(home.path + "/named/dosdevices/c:/CFS/Aircraft", where.aircraftDir);
    EXPECT_EQ("Wine prefix " + home.path + "/named (from --wine-prefix)", where.how);
    EXPECT_FALSE(LocateSimulator(nullptr, nullptr, &where, &error));
    EXPECT_NE(std::string::npos, error.find("CFS not installed!")) << error;
    EXPECT_EQ(std::string::npos, error.find("/Games")) << error;
}

} // namespace
#endif
