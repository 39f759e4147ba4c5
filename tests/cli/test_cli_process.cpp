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

struct ScratchDir {
    std::string path = [] { char t[] = "/tmp/vantorel-cli-XXXXXX"; return std::string(mkdtemp(t)); }();
    ~ScratchDir() { std::error_code ignored; fs::remove_all(path, ignored); }
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A system.reg for an `arch` "win64" or "win32" prefix holding `keys`.
std::string Reg(const char* arch, const std::string& keys) {
    return std::string("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=") + arch + "\n\n" + keys;
}

// Key `key` (single backslashes) with "Path" set to `data` as the file writes it, or no value.
std::string Key(const char* key, const std::string& data = "") {
    std::string text = "[";
    for (const char* c = key; *c; ++c) text += *c == '\\' ? "\\\\" : std::string(1, *c);
    return text + "] 1712345678\n#time=1da8f3c2b4e6a10\n" + (data.empty() ? "" : "\"Path\"=" + data + "\n");
}

// <root>/pfx with `registry` as system.reg (none when empty) and dosdevices/c: linking to drive_c.
std::string MakeWinePrefix(const std::string& root, const std::string& registry) {
    const std::string prefix = root + "/pfx";
    fs::create_directories(prefix + "/drive_c");
    fs::create_directories(prefix + "/dosdevices");
    fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    if (!registry.empty()) std::ofstream(prefix + "/system.reg", std::ios::binary) << registry;
    return prefix;
}

struct CliRun { int status; std::string out, err; };

// Runs "$VANTOREL_CLI <args>" (shell text) with $WINEPREFIX unset and $HOME
// pointing nowhere. `setup` comes just before the program: variables for it
// or commands ending in ';'.
CliRun RunCli(const std::string& args, const std::string& setup = "") {
    const char* cli = std::getenv("VANTOREL_CLI");
    ScratchDir capture;
    const std::string at = capture.path + "/";
    // Output goes through pipes, so a file size limit set in `setup` for the
    // program does not stop its messages.
    const std::string command = "unset WINEPREFIX; export HOME=/nonexistent-home; { { (" + setup + " '" +
                                (cli ? cli : "vantorel-cli") + "' " + args + "); echo $? >'" + at +
                                "status'; } 2>&1 1>&3 | cat >'" + at + "err'; } 3>&1 | cat >'" + at + "out'";
    if (std::system(command.c_str()) != 0) return {-1, "", ""};
    return {std::atoi(ReadFile(at + "status").c_str()), ReadFile(at + "out"), ReadFile(at + "err")};
}

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size()) ++n;
    return n;
}

// A player's prefix: the simulator installed by its 32-bit installer in a
// 64-bit prefix, every P51d name in the case a Windows tool happened to write.
struct Player {
    ScratchDir dir;
    std::string prefix = MakeWinePrefix(dir.path, Reg("win64",
        Key(kKey32, R"("C:\\Program Files (x86)\\Microsoft Games\\Combat Flight Simulator")")));
    std::string install = prefix + "/drive_c/Program Files (x86)/Microsoft Games/Combat Flight Simulator";
    std::string aircraft = install + "/AIRCRAFT", p51d = aircraft + "/p51D";

    Player() {
        EXPECT_EQ(0, WriteDemoSimulator(install.c_str()));
        fs::rename(install + "/Aircraft", aircraft);
        fs::rename(aircraft + "/P51d", p51d);
        fs::rename(p51d + "/Model", p51d + "/MODEL");
        fs::rename(p51d + "/MODEL/P51d_n.mdl", p51d + "/MODEL/P51D_N.MDL");
        fs::rename(p51d + "/Aircraft.cfg", p51d + "/AIRCRAFT.CFG");
    }
    std::string Env() const { return "WINEPREFIX='" + prefix + "'"; }
};

TEST(WinePrefix, FindsTheAircraftFolderOrSaysWhatWasLookedFor) {
    // A found folder is named below the prefix; a failure names what was looked for.
    struct Case { std::string registry; bool found; std::string said[3]; } const cases[] = {
        {Reg("win64", Key(kKey, R"("C:\\64")") + Key(kKey32, R"("C:\\32")")), true, {"/dosdevices/c:/32/Aircraft"}},
        {Reg("win64", Key(kKey32) + Key(kKey, R"("C:\\CFS")")), true, {"/dosdevices/c:/CFS/Aircraft"}},
        {Reg("win32", Key(kKey, R"("c:\\\"1\" caf\xe9\\")")), true, {"/dosdevices/c:/\"1\" caf\xc3\xa9/Aircraft"}},
        {Reg("win64", Key(kKey32, R"(str(2):"%ProgramFiles%")")), true,
         {"/dosdevices/c:/Program Files (x86)/Aircraft"}},
        {"", false, {"CFS not installed!", "/pfx/system.reg"}},
        {"REGEDIT4\n", false, {"not a Wine registry file", "/pfx/system.reg"}},
        {Reg("win64", Key("Software\\Other")), false, {"CFS not installed!", kKey32, kKey}},
        {Reg("win64", Key(kKey32)), false, {"CFS path not found!", kKey32, "no value \"path\""}},
        {Reg("win32", Key(kKey, "dword:1")), false, {"CFS path not found!", kKey, "not a string"}},
        {Reg("win32", Key(kKey, R"("E:\\CFS")")), false, {"drive E: ", "E:\\CFS\\Aircraft", "/pfx/dosdevices/e:"}},
        {Reg("win32", Key(kKey, R"("\\\\server\\cfs")")), false, {"network path", "\\\\server\\cfs", "--aircraft-dir"}},
        {Reg("win32", Key(kKey, R"("CFS")")), false, {"drive letter", "CFS\\Aircraft"}},
        {Reg("win32", Key(kKey, R"("C:CFS")")), false, {"drive letter", "C:CFS"}},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        const std::string prefix = MakeWinePrefix(dir.path, c.registry);
        char out[256] = "", why[1024] = "";
        EXPECT_EQ(c.found, FindAircraftFolderInWinePrefix(prefix.c_str(), out, sizeof out, why, sizeof why)) << why;
        const std::string text = c.found ? out : why;
        for (const std::string& part : c.said)
            EXPECT_NE(std::string::npos, text.find(part)) << "\"" << part << "\" not in " << text;
    }
}

TEST(CliProcess, CopiesAMixedCaseStockAircraftFoundThroughThePrefix) {
    Player p;
    fs::create_directory_symlink(p.prefix, p.dir.path + "/.wine");
    // --wine-prefix before $WINEPREFIX before ~/.wine: each prefix makes its own copy.
    struct Way { std::string prefix, args, setup; } const ways[] = {
        {"XY", "", p.Env()},
        {"XZ", " --wine-prefix '" + p.prefix + "/'", "WINEPREFIX=/nowhere"},
        {"XW", "", "HOME='" + p.dir.path + "'"},
    };
    for (const auto& [prefix, args, setup] : ways) {
        CliRun run = RunCli("copy P51d " + prefix + args, setup);
        EXPECT_EQ(0, run.status) << prefix << run.err;
        EXPECT_NE(std::string::npos, run.out.find("Copy Complete\n")) << run.out;
        // 12 stock files and 2 alias files.
        EXPECT_EQ(14, Count(run.out, "  written")) << run.out;
        EXPECT_EQ(fs::file_size(p.p51d + "/MODEL/P51D_N.MDL"),
                  fs::file_size(p.aircraft + "/" + prefix + "1d/Model/" + prefix + "1d_n.mdl"));
    }
}

TEST(CliProcess, DryRunNamesTheAircraftInAnyCaseOrByIndexAndMakesNothing) {
    Player p;
    const auto entries = [&] { return std::distance(fs::recursive_directory_iterator(p.dir.path), {}); };
    const auto before = entries();
    CliRun run = RunCli("copy p51D XY --dry-run", p.Env());
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_EQ(12, Count(run.out, " -> ")) << run.out;
    for (const char* line : {"Would copy P51d to XY1d", "/Aircraft/P51d/Model/P51d_n.mdl -> ",
                             "/Aircraft/XY1d/Panel/panel.cfg\n", "Nothing was written (dry run)."})
        EXPECT_NE(std::string::npos, run.out.find(line)) << line << " not in:\n" << run.out;
    run = RunCli("copy 18 XY --dry-run", p.Env());
    EXPECT_NE(std::string::npos, run.out.find("Would copy Hurricane_I to XYrricane_I")) << run.out;
    EXPECT_EQ(before, entries());
}

TEST(CliProcess, EachFailureHasItsStatusAndMessage) {
    Player p;
    fs::create_directory(p.aircraft + "/qq1D");  // Windows sees it as QQ1d
    const std::string noSpace = "trap '' XFSZ; ulimit -f 0; " + p.Env();  // every write fails
    struct Case { std::string args, setup; int status; const char* message; } const cases[] = {
        {"copy P51d ZZ", noSpace, 1, "File Error"},
        {"copy P51d QQ", p.Env(), 2, "folder QQ1d exists - use a different prefix"},
        {"copy P51d XY", "", 3, "no Wine prefix at /nonexistent-home/.wine"},
        {"copy P51d XY --wine-prefix '" + p.dir.path + "'", "", 3, "CFS not installed! (no registry file"},
        {"copy P51d XY --aircraft-dir '" + p.dir.path + "'", "", 3, "The CFS path is not correct"},
        {"copy P51d 'X:'", p.Env(), 4, "X:1d is not a valid folder name - use a different prefix"},
        {"", "", 64, "usage: vantorel-cli"},
        {"list --bogus", "", 64, "usage: vantorel-cli"},
        {"copy P51d XY --aircraft-dir", "", 64, "usage: vantorel-cli"},
        {"copy 19 XY --aircraft-dir /tmp", "", 64, "usage: vantorel-cli"},
    };
    for (const Case& c : cases) {
        CliRun run = RunCli(c.args, c.setup);
        EXPECT_EQ(c.status, run.status) << c.args << "\n" << run.out << run.err;
        EXPECT_NE(std::string::npos, run.err.find(c.message)) << c.args << ": " << run.err;
    }
    EXPECT_TRUE(fs::is_empty(p.aircraft + "/qq1D")) << "an existing folder was written into";
    // An outcome line per entry: every file fails, aliases too, while its folders are made.
    const std::string failedWrites = RunCli("copy P51d ZY", noSpace).out;
    EXPECT_EQ(14, Count(failedWrites, "could not write")) << failedWrites;
    EXPECT_EQ(4, Count(failedWrites, "folder made")) << failedWrites;
}

TEST(CliProcess, ListShowsWhatACopyWouldLack) {
    Player p;
    fs::remove(p.aircraft + "/P38/p38.air");
    fs::remove_all(p.aircraft + "/B17g");
    CliRun run = RunCli("list", p.Env());
    EXPECT_EQ(0, run.status) << run.err;
    for (const char* line : {" P51d .* yes +12/12\n", " P38 .* yes +7/8\n +missing: p38.air\n", " B17g .* no +0/8\n"})
        EXPECT_TRUE(std::regex_search(run.out, std::regex(line))) << line << " not in:\n" << run.out;
    CliRun lost = RunCli("list");  // no simulator: the catalogue all the same
    EXPECT_EQ(3, lost.status);
    EXPECT_EQ(20, Count(lost.out, "\n")) << lost.out;
    EXPECT_NE(std::string::npos, lost.err.find("no Wine prefix")) << lost.err;
}

} // namespace
#endif
