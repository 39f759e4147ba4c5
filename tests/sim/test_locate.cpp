// Finding the simulator: registry paths resolved as Windows resolves them,
// a prefix's registry read as Wine writes it, --aircraft-dir as given, and
// the search of the homes Wine prefix managers keep their prefixes in.
#ifndef _WIN32
#include "sim_support.h"
#include "locate.h"
#include "wine_prefix.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

TEST(WindowsPath, ResolvesAsWindowsDoesAndNeverLeavesTheDrive) {
    struct Case { const char* path; int result; char drive; const char* relative; } const cases[] = {
        {"d:\\CFS\\Aircraft", kWinPathOk, 'D', "CFS/Aircraft"},
        {"C:\\..\\..\\CFS", kWinPathOk, 'C', "CFS"},  // ".." stops at the drive root
        {"C:\\Games\\..\\x\\..\\CFS\\.\\Aircraft", kWinPathOk, 'C', "CFS/Aircraft"},
        {"C:/Games//CFS\\\\/Aircraft/", kWinPathOk, 'C', "Games/CFS/Aircraft"},
        {"C:\\CFS. .\\Air craft  \\...\\.x", kWinPathOk, 'C', "CFS/Air craft/.x"},  // trailing dots and spaces
        {"C:\\a.\\..\\b", kWinPathOk, 'C', "b"},
        {"\\\\?\\C:\\CFS\\..\\..\\Aircraft", kWinPathOk, 'C', "Aircraft"},
        {"\\??\\e:\\CFS", kWinPathOk, 'E', "CFS"},
        {"\\\\.\\C:\\CFS", kWinPathOk, 'C', "CFS"},
        {"\\\\server\\cfs", kWinPathNetwork, 0, ""},
        {"\\??\\unc\\server\\cfs", kWinPathNetwork, 0, ""},
        {"C:CFS", kWinPathNoDrive, 0, ""},
        {"\\CFS", kWinPathNoDrive, 0, ""},
        {"\\\\?\\Volume{1}\\CFS", kWinPathNoDrive, 0, ""},
    };
    for (const Case& c : cases) {
        char drive = '?';
        std::string relative = "stale";
        EXPECT_EQ(c.result, ResolveWindowsPath(c.path, &drive, &relative)) << c.path;
        EXPECT_EQ(std::make_pair(c.drive, std::string(c.relative)), std::make_pair(drive, relative)) << c.path;
    }
}

// A home with prefixes in several managers' layouts, none with the
// simulator; each case adds it to some of them, and may name a prefix with
// $WINEPREFIX.
TEST(Locate, SearchesThePrefixManagersHomesWhenWineHasNoSimulator) {
    struct Case {
        const char* name; std::vector<std::string> withSimulator; bool found; std::vector<std::string> said;
        std::string winePrefix = "";
    };
    const Case cases[] = {
        {"none", {}, false, {"CFS not installed! (no key", "HOME/.wine/system.reg); nor", "HOME/Games (Lutris)",
                             "HOME/.steam/steam/steamapps/compatdata/*/pfx (Steam)", "HOME/.cxoffice (CrossOver)",
                             "prefixes whose registry names an Aircraft folder that is not there: HOME/Games/noair",
                             "give --wine-prefix DIR or --aircraft-dir DIR"}},
        {"Bottles", {"/.local/share/bottles/bottles/cfs"}, true,
         {"Wine prefix HOME/.local/share/bottles/bottles/cfs (found in the Bottles home HOME/.local/share/bottles/bottles)"}},
        {"Steam, seen through its link once", {"/.local/share/Steam/steamapps/compatdata/123/pfx"}, true,
         {"compatdata/123/pfx (found in the Steam home"}},
        {"Steam library", {"/lib/steamapps/compatdata/7/pfx"}, true,
         {"Wine prefix HOME/lib/steamapps/compatdata/7/pfx (found in the Steam library home HOME/lib/steamapps/compatdata)"}},
        {"two: Flatpak Bottles and CrossOver on macOS",
         {"/.var/app/com.usebottles.bottles/data/bottles/bottles/b", "/Library/Application Support/CrossOver/Bottles/c"},
         false,
         {"the simulator is in several Wine prefixes: HOME/.var/app/com.usebottles.bottles/data/bottles/bottles/b "
          "(Bottles (Flatpak)), HOME/Library/Application Support/CrossOver/Bottles/c (CrossOver); choose one with "
          "--wine-prefix DIR"}},
        {"~/.wine first", {"/.wine", "/.PlayOnLinux/wineprefix/p"}, true, {"Wine prefix HOME/.wine (~/.wine)"}},
        {"$WINEPREFIX is not searched beyond", {"/Games/cfs"}, false, {"CFS not installed!"}, "/.cxoffice/other/"},
    };
    for (const Case& c : cases) {
        TempDir home;
        const std::string h = home.path, none = kWin32 + Key("Software\\Other");
        for (const char* p : {"/.wine", "/.PlayOnLinux/wineprefix/other", "/.cxoffice/other",
                              "/.local/share/Steam/steamapps/compatdata/1/pfx"})
            MakePrefix(h + p, none);
        MakeSimPrefix(h + "/Games/noair", false);
        fs::create_directories(h + "/Games/not-a-prefix");
        // Registry files that are FIFOs are passed over, never waited on.
        MakePrefix(h + "/.local/share/bottles/bottles/fifo", "");
        for (const char* fifo : {"/.wine/user.reg", "/Games/noair/user.reg", "/.local/share/bottles/bottles/fifo/system.reg"})
            ASSERT_EQ(0, mkfifo((h + fifo).c_str(), 0600)) << fifo;
        fs::create_directories(h + "/.steam");
        fs::create_directory_symlink(h + "/.local/share/Steam", h + "/.steam/steam");
        WriteBytes(h + "/.local/share/Steam/steamapps/libraryfolders.vdf",
                   "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + h + "/.local/share/Steam\"\n\t}\n"
                   "\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + h + "/lib\"\n\t}\n}\n");
        for (const std::string& p : c.withSimulator) {
            fs::remove_all(h + p);
            MakeSimPrefix(h + p);
        }
        setenv("HOME", h.c_str(), 1);
        unsetenv("XDG_DATA_HOME");
        c.winePrefix.empty() ? unsetenv("WINEPREFIX") : setenv("WINEPREFIX", (h + c.winePrefix).c_str(), 1);
        SimLocation where;
        std::string error;
        EXPECT_EQ(c.found, LocateSimulator(nullptr, nullptr, &where, &error)) << c.name << ": " << error;
        const std::string said = c.found ? where.how : error;
        for (const std::string& part : c.said)
            EXPECT_NE(std::string::npos, said.find(std::regex_replace(part, std::regex("HOME"), h))) << c.name << ": " << said;
        EXPECT_TRUE(!c.found || fs::is_directory(where.aircraftDir)) << c.name << ": " << where.aircraftDir;
    }
}

// One prefix named with --wine-prefix: its installer's entry (system.reg) and
// the folder picked in the dialog run in it (user.reg) count in the dialog's
// order: the installer's folder when it holds the aircraft, else the picked
// one. A found folder is named below the prefix, with how it was found; a
// failure names what was looked for.
TEST(Locate, ANamedPrefixGivesItsAircraftFolderOrSaysWhatWasLookedFor) {
    const std::string picked = ", the folder picked with Find CFS... (HKCU\\Software\\Vantorel, value \"path\")";
    const std::string remembered = Key("Software\\Vantorel", R"("C:\\Other")");
    // found "": not found, and `said` is in the error.
    struct Case { std::string system, user, found; std::vector<std::string> said; } const cases[] = {
        {kWin64 + Key(kKey, R"("C:\\64")") + Key(kKey32, R"("C:\\32")"), "", "/c:/32/Aircraft", {""}},
        {kWin64 + Key(kKey32) + Key(kKey, R"("c:\\CFS")"), "", "/c:/CFS/Aircraft", {""}},
        {kWin64 + Key(kKey32, R"(str(2):"%ProgramFiles%")"), "", "/c:/Program Files (x86)/Aircraft", {""}},
        {kWin32 + Key(kKey, R"("C:\\..\\..\\CFS. ")"), "", "/c:/CFS/Aircraft", {""}},  // stays inside
        // Used as named, even without its Aircraft folder.
        {kWin32 + Key(kKey, R"("C:\\Gone")"), "", "/c:/Gone/Aircraft", {""}},
        {"", "", "", {"CFS not installed!", "/pfx/system.reg"}},
        {"REGEDIT4\n", "", "", {"not a Wine registry file", "/pfx/system.reg"}},
        {kWin64 + Key("Software\\Other"), "", "", {"CFS not installed!", kKey32, kKey}},
        {kWin64 + Key(kKey32), "", "", {"CFS path not found!", kKey32, "no value \"path\""}},
        {kWin32 + Key(kKey, R"(str(7):"C:\\CFS\0")"), "", "", {"CFS path not found!", kKey, "not a string"}},
        {kWin32 + Key(kKey, R"("E:\\CFS")"), "", "", {"drive E: ", "E:\\CFS\\Aircraft", "/pfx/dosdevices/e:"}},
        {kWin32 + Key(kKey, R"("\\\\server\\cfs")"), "", "", {"network path", "\\\\server\\cfs", "--aircraft-dir"}},
        {kWin32 + Key(kKey, R"("C:CFS")"), "", "", {"drive letter", "C:CFS"}},
        {kWin32 + Key(kKey, R"("C:\\CFS")"), remembered, "/c:/CFS/Aircraft", {""}},
        {kWin32 + Key(kKey, R"("C:\\Empty")"), remembered, "/c:/Other/Aircraft", {picked}},
        {kWin32 + Key("Software\\Other"), remembered, "/c:/Other/Aircraft", {picked}},
        {kWin32, Key("Software\\Vantorel", R"("c:\\Other\\Aircraft\\")"), "/c:/Other/Aircraft", {picked}},
        {kWin32, Key("Software\\Vantorel", R"(str(2):"C:\\Other")"), "", {"CFS not installed!"}},  // a plain string only
        {kWin32, Key("Software\\Vantorel", R"("C:\\Empty")"), "", {"CFS not installed!"}},
        {kWin32, Key("Software\\Vantorel", R"("Q:\\Other")"), "", {"CFS not installed!"}},  // a drive Wine does not map
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string prefix = MakePrefix(dir.path + "/pfx", c.system, "CFS/Aircraft/P51d");
        for (const char* folder : {"Empty/Aircraft", "Other/Aircraft/TEMPEST"}) fs::create_directories(prefix + "/drive_c/" + folder);
        WriteBytes(prefix + "/user.reg", kWin32 + c.user);
        SimLocation where;
        std::string error;
        EXPECT_EQ(!c.found.empty(), LocateSimulator(nullptr, prefix.c_str(), &where, &error)) << c.system << c.user << error;
        if (!c.found.empty()) {
            EXPECT_EQ(prefix + "/dosdevices" + c.found, where.aircraftDir) << c.system << c.user;
            EXPECT_EQ("Wine prefix " + prefix + " (from --wine-prefix)" + c.said[0], where.how) << c.system << c.user;
        }
        for (const std::string& part : c.said)
            EXPECT_TRUE(!c.found.empty() || error.find(part) != std::string::npos) << part << " vs " << error;
    }
}

} // namespace
#endif
