// vantorel-cli and its Wine prefix lookup, run against prefixes laid out as
// Wine lays them out, with stock files drifted in letter case as they do
// after years of patches.
#ifndef _WIN32
#include "demo_sim.h"
#include "wine_prefix.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

namespace fs = std::filesystem;

namespace {

const char kKey32[] = "Software\\Wow6432Node\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\1.00";
const char kKey[] = "Software\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\1.00";
const std::string kWin64 = "WINE REGISTRY Version 2\n#arch=win64\n", kWin32 = "WINE REGISTRY Version 2\n#arch=win32\n";

struct ScratchDir {
    std::string path = [] { char t[] = "/tmp/vantorel-cli-XXXXXX"; return std::string(mkdtemp(t)); }();
    ~ScratchDir() { std::error_code ignored; fs::remove_all(path, ignored); }
};

// Key `key` as system.reg writes its name, with "Path" set to `data` as written there, or no value.
std::string Key(const char* key, const std::string& data = "") {
    return "\n[" + std::regex_replace(key, std::regex(R"(\\)"), R"(\$&)") + "] 1712345678\n" +
           (data.empty() ? "" : "\"Path\"=" + data + "\n");
}

// `prefix` with `registry` as system.reg (none when empty) and dosdevices/c: linking to drive_c.
std::string MakeWinePrefix(const std::string& prefix, const std::string& registry) {
    fs::create_directories(prefix + "/drive_c");
    fs::create_directory(prefix + "/dosdevices");
    fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    if (!registry.empty()) std::ofstream(prefix + "/system.reg", std::ios::binary) << registry;
    return prefix;
}

struct CliRun { int status; std::string out, err; };

// Runs "$VANTOREL_CLI <args>" (shell text) with $WINEPREFIX unset and $HOME
// pointing nowhere. `setup` comes just before the program: variables for it
// or commands ending in ';'.
CliRun RunCli(const std::string& args, const std::string& setup = "") {
    ScratchDir capture;  // the program runs in it; its status and output are left there
    // Output goes through pipes, so a file size limit set in `setup` for the
    // program does not stop its messages.
    const std::string command = "cd '" + capture.path + "' && unset WINEPREFIX; export HOME=/nonexistent-home; { { (" +
                                setup + " \"$VANTOREL_CLI\" " + args +
                                "); echo $? >status; } 2>&1 1>&3 | cat >err; } 3>&1 | cat >out";
    if (std::system(command.c_str()) != 0) return {-1, "", ""};
    const auto read = [&](const char* name) {
        return std::string(std::istreambuf_iterator<char>(std::ifstream(capture.path + "/" + name).rdbuf()), {});
    };
    return {std::atoi(read("status").c_str()), read("out"), read("err")};
}

int Count(const std::string& text, const std::string& what) {
    const std::regex pattern(what);
    return static_cast<int>(std::distance(std::sregex_iterator(text.begin(), text.end(), pattern), {}));
}

// A player's prefix: the simulator installed by its 32-bit installer in a
// 64-bit prefix, P51d's names in the case a Windows tool happened to write.
struct Player {
    ScratchDir dir;
    std::string prefix = MakeWinePrefix(dir.path + "/.wine", kWin64 + Key(kKey32, R"("C:\\Microsoft Games\\CFS")"));
    std::string install = prefix + "/drive_c/Microsoft Games/CFS", aircraft = install + "/AIRCRAFT";

    Player() {
        EXPECT_EQ(0, WriteDemoSimulator(install.c_str()));
        fs::rename(install + "/Aircraft", aircraft);
        fs::rename(aircraft + "/P51d", aircraft + "/p51D");
        fs::rename(aircraft + "/p51D/Model/P51d_n.mdl", aircraft + "/p51D/Model/P51D_N.MDL");
    }
    std::string Env() const { return "WINEPREFIX='" + prefix + "'"; }
};

TEST(WinePrefix, FindsTheAircraftFolderOrSaysWhatWasLookedFor) {
    // A found folder is named below the prefix; a failure names what was looked for.
    struct Case { std::string registry; bool found; std::string said[3]; } const cases[] = {
        {kWin64 + Key(kKey, R"("C:\\64")") + Key(kKey32, R"("C:\\32")"), true, {"/dosdevices/c:/32/Aircraft"}},
        {kWin64 + Key(kKey32) + Key(kKey, R"("c:\\CFS")"), true, {"/dosdevices/c:/CFS/Aircraft"}},
        {kWin64 + Key(kKey32, R"(str(2):"%ProgramFiles%")"), true, {"/dosdevices/c:/Program Files (x86)/Aircraft"}},
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
        ScratchDir dir;
        const std::string prefix = MakeWinePrefix(dir.path + "/pfx", c.registry);
        char out[256] = "", why[1024] = "";
        EXPECT_EQ(c.found, FindAircraftFolderInWinePrefix(prefix.c_str(), out, sizeof out, why, sizeof why)) << why;
        for (const std::string& part : c.said)
            EXPECT_NE(std::string::npos, std::string(c.found ? out : why).find(part)) << part << ": " << why << out;
    }
}

TEST(CliProcess, CopiesAMixedCaseStockAircraftFoundThroughThePrefix) {
    Player p;
    // --wine-prefix before $WINEPREFIX before ~/.wine: each prefix makes its own copy.
    struct Way { std::string args, setup; } const ways[] = {
        {"copy p51D XY", p.Env()},
        {"copy 1 XZ --wine-prefix '" + p.prefix + "/'", "WINEPREFIX=/nowhere"},
        {"copy P51d XW", "HOME='" + p.dir.path + "'"},
    };
    for (const Way& way : ways) {
        CliRun run = RunCli(way.args, way.setup);
        EXPECT_EQ(0, run.status) << way.args << run.err;
        EXPECT_EQ(14, Count(run.out, "  written")) << run.out;  // 12 stock files and 2 alias files
    }
    // "--" ends the options, so a prefix may start with "-"; the report names
    // the full folder and the in-game name, here the player's own.
    CliRun run = RunCli("copy P51d --title 'Red Tail' -- -R", p.Env());
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_TRUE(std::regex_search(run.out, std::regex("\nMade /.*/CFS/Aircraft/-R1d, in-game name \"Red Tail\"\n")))
        << run.out;
    std::ifstream cfg(p.aircraft + "/-R1d/Aircraft.cfg", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(cfg)), {});
    EXPECT_NE(std::string::npos, text.find("title=Red Tail\r\n")) << text;
    EXPECT_NE(std::string::npos, text.find("title=Red Tail (alternate markings)\r\n")) << text;
    // Another aircraft with that name already: said, and copied all the same.
    run = RunCli("copy P51d RT --title 'RED TAIL'", p.Env());
    EXPECT_EQ(0, run.status);
    EXPECT_NE(std::string::npos, run.err.find("warning: another aircraft already has")) << run.err;
    run = RunCli("where", p.Env());
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_TRUE(std::regex_search(run.out, std::regex("/CFS/Aircraft\nsource: Wine prefix .*from \\$WINEPREFIX")))
        << run.out;
    run = RunCli("--version");
    EXPECT_EQ(0, run.status);
    EXPECT_TRUE(std::regex_match(run.out, std::regex("vantorel-cli [0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+\n"))) << run.out;
}

TEST(CliProcess, EachFailureHasItsStatusAndMessage) {
    Player p;
    fs::create_directory(p.aircraft + "/qq1D");  // Windows sees it as QQ1d
    const std::string noSpace = "trap '' XFSZ; ulimit -f 0; " + p.Env();  // every write fails
    struct Case { std::string args, setup; int status; const char* message; } const cases[] = {
        {"copy P51d ZZ", noSpace, 1, "File Error"},
        {"copy P51d QQ", p.Env(), 2, "folder QQ1d exists - use a different prefix"},
        {"copy P51d XY", "", 3, "no Wine prefix at /nonexistent-home/.wine"},
        {"list", "", 3, "no Wine prefix at /nonexistent-home/.wine"},
        {"copy P51d XY --aircraft-dir '" + p.dir.path + "'", "", 3, "The CFS path is not correct"},
        {"copy P51d 'X:'", p.Env(), 4, "X:1d is not a valid folder name - use a different prefix"},
        {"", "", 64, "usage: vantorel-cli"},
        {"list --bogus", "", 64, "usage: vantorel-cli"},
        {"copy P51d XY --aircraft-dir", "", 64, "usage: vantorel-cli"},
        {"copy 19 XY --aircraft-dir /tmp", "", 64, "usage: vantorel-cli"},
        {"copy P51d XY --aircraft-dir ''", "", 64, "usage: vantorel-cli"},
        {"copy P51d XY --title ''", p.Env(), 64, "--title: an empty value"},
        {"copy P51d XY --title \"$(printf 'a\\tb')\"", p.Env(), 64, "control characters"},
        {"copy P51d XY --title 'Mustang \xC3\xA9'", p.Env(), 64, "printable ASCII only"},
        {"copy P51d XY extra", "", 64, "usage: vantorel-cli"},
    };
    for (const Case& c : cases) {
        CliRun run = RunCli(c.args, c.setup);
        EXPECT_EQ(c.status, run.status) << c.args << "\n" << run.out << run.err;
        EXPECT_NE(std::string::npos, run.err.find(c.message)) << c.args << ": " << run.err;
    }
    EXPECT_TRUE(fs::is_empty(p.aircraft + "/qq1D")) << "an existing folder was written into";
    // The first failed write ends the copy and takes back what it made: no
    // half aircraft is left for the simulator to list, and a retry is free.
    const std::string failedWrites = RunCli("copy P51d ZY", noSpace).out;
    EXPECT_EQ(1, Count(failedWrites, "could not write")) << failedWrites;
    EXPECT_FALSE(fs::exists(p.aircraft + "/ZY1d")) << "a failed copy left its folder behind";
}

TEST(CliProcess, ListAndDryRunShowWhatACopyWouldLackAndMakeWritingNothing) {
    Player p;
    fs::remove(p.aircraft + "/P38/p38.air");
    fs::remove_all(p.aircraft + "/B17g");
    CliRun run = RunCli("list", p.Env());
    EXPECT_EQ(0, run.status) << run.err;
    for (const char* line : {" P51d .* yes +12/12\n", " P38 .* yes +7/8\n +missing: p38.air\n", " B17g .* no +0/8\n"})
        EXPECT_TRUE(std::regex_search(run.out, std::regex(line))) << line << " not in:\n" << run.out;
    // Without a simulator the catalogue is listed all the same.
    EXPECT_EQ(20, Count(RunCli("list").out, "\n"));

    run = RunCli("copy 18 XY --dry-run", p.Env());
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_EQ(12, Count(run.out, " -> ")) << run.out;
    for (const char* line : {"Would copy Hurricane_I to XYrricane_I", "/Aircraft/XYrricane_I/Panel/panel.cfg\n",
                             "Nothing was written (dry run)."})
        EXPECT_NE(std::string::npos, run.out.find(line)) << line << " not in:\n" << run.out;
    EXPECT_FALSE(fs::exists(p.aircraft + "/XYrricane_I"));
}

} // namespace
#endif
