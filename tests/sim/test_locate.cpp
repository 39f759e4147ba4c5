// Finding the simulator: registry paths resolved as Windows resolves them,
// a prefix's registry read as Wine writes it, --aircraft-dir as given, and
// the search of the homes Wine prefix managers keep their prefixes in.
#ifndef _WIN32
#include "sim_support.h"
#include "locate.h"
#include "wine_prefix.h"

#include <gtest/gtest.h>

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

// A found folder is named below the prefix; a failure names what was looked for.
TEST(WinePrefix, FindsTheAircraftFolderOrSaysWhatWasLookedFor) {
    struct Case { std::string registry; bool found; std::vector<std::string> said; } const cases[] = {
        {kWin64 + Key(kKey, R"("C:\\64")") + Key(kKey32, R"("C:\\32")"), true, {"/pfx/dosdevices/c:/32/Aircraft"}},
        {kWin64 + Key(kKey32) + Key(kKey, R"("c:\\CFS")"), true, {"/pfx/dosdevices/c:/CFS/Aircraft"}},
        {kWin64 + Key(kKey32, R"(str(2):"%ProgramFiles%")"), true, {"/pfx/dosdevices/c:/Program Files (x86)/Aircraft"}},
        {kWin32 + Key(kKey, R"("C:\\..\\..\\CFS. ")"), true, {"/pfx/dosdevices/c:/CFS/Aircraft"}},  // stays inside
        {"", false, {"CFS not installed!", "/pfx/system.reg"}},
        {"REGEDIT4\n", false, {"not a Wine registry file", "/pfx/system.reg"}},
        {kWin64 + Key("Software\\Other"), false, {"CFS not installed!", kKey32, kKey}},
        {kWin64 + Key(kKey32), false, {"CFS path not found!", kKey32, "no value \"path\""}},
        {kWin32 + Key(kKey, R"(str(7):"C:\\CFS\0")"), false, {"CFS path not found!", kKey, "not a string"}},
        {kWin32 + Key(kKey, R"("E:\\CFS")"), false, {"drive E: ", "E:\\CFS\\Aircraft", "/pfx/dosdevices/e:"}},
        {kWin32 + Key(kKey, R"("\\\\server\\cfs")"), false, {"network path", "\\\\server\\cfs", "--aircraft-dir"}},
        {kWin32 + Key(kKey, R"("C:CFS")"), false, {"drive letter", "C:CFS"}},
    };
    for (const Case& c : cases) {
        Scratch dir;
        const std::string prefix = MakePrefix(dir.path + "/pfx", c.registry);
        char out[256] = "", why[1024] = "";
        EXPECT_EQ(c.found, FindAircraftFolderInWinePrefix(prefix.c_str(), out, sizeof out, why, sizeof why)) << why;
        const std::string said = c.found ? out : why;
        for (const std::string& part : c.said)
            EXPECT_TRUE(c.found ? said == dir.path + part : said.find(part) != std::string::npos) << part << " vs " << said;
    }
}

// A home with prefixes in several managers' layouts, none with the
// simulator; each case adds it to some of them.
TEST(Locate, SearchesThePrefixManagersHomesWhenWineHasNoSimulator) {
    struct Case { const char* name; std::vector<std::string> withSimulator; bool found; std::vector<std::string> said; };
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
    };
    for (const Case& c : cases) {
        Scratch home;
        const std::string h = home.path, none = kWin32 + Key("Software\\Other");
        for (const char* p : {"/.wine", "/.PlayOnLinux/wineprefix/other", "/.cxoffice/other",
                              "/.local/share/Steam/steamapps/compatdata/1/pfx"})
            MakePrefix(h + p, none);
        MakeSimPrefix(h + "/Games/noair", false);
        fs::create_directories(h + "/Games/not-a-prefix");
        fs::create_directories(h + "/.steam");
        fs::create_directory_symlink(h + "/.local/share/Steam", h + "/.steam/steam");
        std::ofstream(h + "/.local/share/Steam/steamapps/libraryfolders.vdf")
            << "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" << h << "/.local/share/Steam\"\n\t}\n"
            << "\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" << h << "/lib\"\n\t}\n}\n";
        for (const std::string& p : c.withSimulator) {
            fs::remove_all(h + p);
            MakeSimPrefix(h + p);
        }
        const Environment env({{"HOME", h.c_str()}, {"WINEPREFIX", nullptr}, {"XDG_DATA_HOME", nullptr}});
        SimLocation where;
        std::string error;
        EXPECT_EQ(c.found, LocateSimulator(nullptr, nullptr, &where, &error)) << c.name << ": " << error;
        const std::string said = c.found ? where.how : error;
        for (std::string part : c.said) {
            part = std::regex_replace(part, std::regex("HOME"), h);
            EXPECT_NE(std::string::npos, said.find(part)) << c.name << ": " << part << "\nnot in: " << said;
        }
        if (c.found) {
            EXPECT_TRUE(fs::is_directory(where.aircraftDir)) << c.name << ": " << where.aircraftDir;
        }
    }
}

// A prefix the player names is used as named, even without its Aircraft
// folder, and nothing beyond it is searched.
TEST(Locate, NamedPrefixesAreNotSearchedBeyond) {
    Scratch home;
    MakeSimPrefix(home.path + "/Games/cfs");
    MakeSimPrefix(home.path + "/named", false);
    MakePrefix(home.path + "/empty", kWin32 + Key("Software\\Other"));
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

// The folder the player picked in the dialog run in the prefix (user.reg)
// counts in the dialog's order: after an installer's entry whose folder
// holds the aircraft, before one that does not.
TEST(Locate, TheFolderPickedInTheDialogCountsWhereTheInstallersEntryDoesNot) {
    const std::string picked = ", the folder picked with Find CFS... (HKCU\\Software\\Vantorel, value \"path\")";
    const std::string remembered = Key("Software\\Vantorel", R"("C:\\Other")");
    // found "": not found.
    struct Case { const char* name; std::string system, user, found, how; } const cases[] = {
        {"installer wins", Key(kKey, R"("C:\\CFS")"), remembered, "/c:/CFS/Aircraft", ""},
        {"installer's folder without aircraft", Key(kKey, R"("C:\\Empty")"), remembered, "/c:/Other/Aircraft", picked},
        {"no installer entry", Key("Software\\Other"), remembered, "/c:/Other/Aircraft", picked},
        {"the Aircraft folder picked", "", Key("Software\\Vantorel", R"("c:\\Other\\Aircraft\\")"),
         "/c:/Other/Aircraft", picked},
        {"only a plain string counts", "", Key("Software\\Vantorel", R"(str(2):"C:\\Other")"), "", ""},
        {"a picked folder without aircraft", "", Key("Software\\Vantorel", R"("C:\\Empty")"), "", ""},
        {"a drive Wine does not map", "", Key("Software\\Vantorel", R"("Q:\\Other")"), "", ""},
    };
    for (const Case& c : cases) {
        Scratch dir;
        const std::string prefix = MakePrefix(dir.path + "/pfx", kWin32 + c.system, "CFS/Aircraft/P51d");
        for (const char* folder : {"Empty/Aircraft", "Other/Aircraft/TEMPEST"}) fs::create_directories(prefix + "/drive_c/" + folder);
        std::ofstream(prefix + "/user.reg") << kWin32 << c.user;
        SimLocation where;
        std::string error;
        EXPECT_EQ(!c.found.empty(), LocateSimulator(nullptr, prefix.c_str(), &where, &error)) << c.name << ": " << error;
        if (c.found.empty()) continue;
        EXPECT_EQ(prefix + "/dosdevices" + c.found, where.aircraftDir) << c.name;
        EXPECT_EQ("Wine prefix " + prefix + " (from --wine-prefix)" + c.how, where.how) << c.name;
    }
}

} // namespace
#endif
