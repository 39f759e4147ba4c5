// vantorel-cli run as a player runs it, against a Wine prefix whose stock
// files have drifted in letter case, as they do after years of patches.
#ifndef _WIN32
#include "cli/cli_support.h"
#include "demo_sim.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// A player's prefix: the simulator installed by its 32-bit installer in a
// 64-bit prefix, every P51d name in the case a Windows tool happened to write.
struct Player {
    ScratchDir dir;
    std::string prefix, aircraft;  // aircraft: the real folder on disk
    std::string P51d() const { return aircraft + "/p51D"; }

    Player() {
        prefix = MakeWinePrefix(dir.path, WineRegistry("win64",
            WineKeyLine("Software\\Wow6432Node\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\1.00") +
            "\"path\"=\"C:\\\\Program Files (x86)\\\\Microsoft Games\\\\Combat Flight Simulator\"\n"));
        const std::string install = prefix + "/drive_c/Program Files (x86)/Microsoft Games/Combat Flight Simulator";
        EXPECT_EQ(0, WriteDemoSimulator(install.c_str()));
        aircraft = install + "/AIRCRAFT";
        fs::rename(install + "/Aircraft", aircraft);
        fs::rename(aircraft + "/P51d", P51d());
        fs::rename(P51d() + "/Model", P51d() + "/MODEL");
        fs::rename(P51d() + "/MODEL/P51d_n.mdl", P51d() + "/MODEL/P51D_N.MDL");
        fs::rename(P51d() + "/Aircraft.cfg", P51d() + "/AIRCRAFT.CFG");
    }
    std::string Env() const { return "WINEPREFIX='" + prefix + "'"; }
};

std::string Tree(const std::string& root) {
    std::string all;
    for (const auto& e : fs::recursive_directory_iterator(root)) all += e.path().string() + "\n";
    return all;
}

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size()) ++n;
    return n;
}

// The line of `text` holding `what`, or "".
std::string LineWith(const std::string& text, const std::string& what) {
    std::size_t at = text.find(what);
    if (at == std::string::npos) return "";
    std::size_t begin = text.rfind('\n', at) + 1, end = text.find('\n', at);
    return text.substr(begin, end - begin);
}

#define SKIP_WITHOUT_CLI() \
    if (!std::getenv("VANTOREL_CLI")) GTEST_SKIP() << "VANTOREL_CLI names no vantorel-cli to run"

TEST(CliProcess, RefusesBadCommandLinesWithUsage) {
    SKIP_WITHOUT_CLI();
    for (const char* args : {"", "frobnicate", "list extra", "copy P51d", "copy P51d XY more", "list --bogus",
                             "list --dry-run", "copy P51d XY --aircraft-dir", "copy Zero XY --aircraft-dir /tmp",
                             "copy 19 XY --aircraft-dir /tmp", "copy -1 XY --aircraft-dir /tmp"}) {
        CliRun run = RunCli(args);
        EXPECT_EQ(64, run.status) << args;
        EXPECT_NE(std::string::npos, run.err.find("usage: vantorel-cli")) << args;
        EXPECT_EQ("", run.out) << args;
    }
    CliRun help = RunCli("--help");
    EXPECT_EQ(0, help.status);
    EXPECT_NE(std::string::npos, help.out.find("usage: vantorel-cli"));
}

TEST(CliProcess, NamesAnAircraftByIndexOrFolderNameInAnyCase) {
    SKIP_WITHOUT_CLI();
    Player p;
    for (auto [arg, line] : {std::pair{"1", "Would copy P51d to XY1d"}, {"p51D", "Would copy P51d to XY1d"},
                             {"SPITFIRE_mki", "Would copy Spitfire_MkI to XYitfire_MkI"},
                             {"18", "Would copy Hurricane_I to XYrricane_I"}}) {
        CliRun run = RunCli(std::string("copy ") + arg + " XY --dry-run", p.Env());
        EXPECT_EQ(0, run.status) << arg << run.err;
        EXPECT_NE(std::string::npos, run.out.find(line)) << arg << ":\n" << run.out;
    }
}

TEST(CliProcess, CopiesAMixedCaseStockAircraftFoundThroughThePrefix) {
    SKIP_WITHOUT_CLI();
    Player p;
    fs::create_directories(p.dir.path + "/home");
    fs::create_directory_symlink(p.prefix, p.dir.path + "/home/.wine");
    // $WINEPREFIX, --wine-prefix, then ~/.wine: each prefix makes its own copy.
    struct Way {
        std::string prefix, args, setup;
    } const ways[] = {{"XY", "", p.Env()},
                      {"XZ", " --wine-prefix '" + p.prefix + "/'", "WINEPREFIX=/nowhere"},
                      {"XW", "", "HOME='" + p.dir.path + "/home'"}};
    for (const auto& [prefix, args, setup] : ways) {
        CliRun run = RunCli(std::string("copy P51d ") + prefix + args, setup);
        EXPECT_EQ(0, run.status) << prefix << run.err;
        EXPECT_NE(std::string::npos, run.out.find("Copy Complete")) << run.out;
        EXPECT_EQ(std::string::npos, run.out.find("stock file missing")) << run.out;
        // 12 stock files, 4 folders (the new one aside) and 2 alias files.
        EXPECT_EQ(14, Count(run.out, "  written")) << run.out;
        const std::string stem = prefix + "1";
        EXPECT_EQ(fs::file_size(p.P51d() + "/MODEL/P51D_N.MDL"),
                  fs::file_size(p.aircraft + "/" + stem + "d/Model/" + stem + "d_n.mdl"));
        EXPECT_NE(std::string::npos, ReadTextFile(p.aircraft + "/" + stem + "d/Aircraft.cfg").find(stem));
    }
}

TEST(CliProcess, DryRunPrintsEverySourceAndDestinationAndMakesNothing) {
    SKIP_WITHOUT_CLI();
    Player p;
    const std::string before = Tree(p.dir.path);
    CliRun run = RunCli("copy P51d XY --dry-run", p.Env());
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_EQ(12, Count(run.out, " -> ")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("/Aircraft/P51d/Model/P51d_n.mdl -> ")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("/Aircraft/XY1d/Panel/panel.cfg\n")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("Nothing was written (dry run).")) << run.out;
    EXPECT_EQ(before, Tree(p.dir.path));
}

TEST(CliProcess, EachFailureHasItsStatusAndMessage) {
    SKIP_WITHOUT_CLI();
    Player p;
    fs::create_directory(p.aircraft + "/qq1D");  // Windows sees it as QQ1d
    std::string deep = p.aircraft;
    while (deep.size() < 240) deep += "/.";  // fits the folder, not the files below it
    ScratchDir empty;
    struct Case {
        std::string args, setup;
        int status;
        const char* message;  // on stderr
    } const cases[] = {
        {"copy P51d QQ", p.Env(), 2, "folder QQ1d exists - use a different prefix"},
        {"copy P51d 'X:'", p.Env(), 4, "X:1d is not a valid folder name - use a different prefix"},
        {"copy P51d XY", "", 3, "no Wine prefix at /nonexistent-home/.wine"},
        {"copy P51d XY --aircraft-dir '" + empty.path + "'", "", 3, "The CFS path is not correct"},
        {"copy P51d XY --aircraft-dir '" + deep + "'", "", 1, "File Error"},
        {"copy P51d ZZ", "trap '' XFSZ; ulimit -f 0; " + p.Env(), 1, "File Error"},  // every write fails
    };
    for (const Case& c : cases) {
        CliRun run = RunCli(c.args, c.setup);
        EXPECT_EQ(c.status, run.status) << c.args << "\n" << run.out << run.err;
        EXPECT_NE(std::string::npos, run.err.find(c.message)) << c.args << ": " << run.err;
    }
    EXPECT_TRUE(fs::is_empty(p.aircraft + "/qq1D")) << "an existing folder was written into";
    EXPECT_FALSE(fs::exists(p.aircraft + "/QQ1d"));
    const std::string failedWrites = RunCli("copy P51d ZY", "trap '' XFSZ; ulimit -f 0; " + p.Env()).out;
    EXPECT_EQ(14, Count(failedWrites, "could not write")) << failedWrites;  // every file, aliases too
    EXPECT_EQ(4, Count(failedWrites, "folder made")) << failedWrites;
}

TEST(CliProcess, ListShowsWhatACopyWouldLack) {
    SKIP_WITHOUT_CLI();
    Player p;
    fs::remove(p.aircraft + "/P38/p38.air");
    fs::remove_all(p.aircraft + "/B17g");
    CliRun run = RunCli("list", p.Env());
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_NE(std::string::npos, LineWith(run.out, " P51d ").find("yes     12/12")) << run.out;
    EXPECT_NE(std::string::npos, LineWith(run.out, " P38 ").find("yes     7/8")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("missing: p38.air\n")) << run.out;
    EXPECT_NE(std::string::npos, LineWith(run.out, " B17g ").find("no      0/8")) << run.out;

    CliRun lost = RunCli("list");  // no simulator: the catalogue all the same
    EXPECT_EQ(3, lost.status);
    EXPECT_EQ(20, Count(lost.out, "\n")) << lost.out;
    EXPECT_NE(std::string::npos, lost.err.find("no Wine prefix")) << lost.err;
}

} // namespace
#endif
