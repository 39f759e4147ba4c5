// vantorel-cli as a process, against a player's Wine prefix whose stock files
// drifted in letter case as they do after years of patches.
#ifndef _WIN32
#include "cli_support.h"
#include "demo_sim.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The simulator installed by its 32-bit installer in a 64-bit prefix, P51d's
// names in the case a Windows tool happened to write.
struct Player {
    Scratch dir;
    std::string prefix = MakePrefix(dir.path + "/.wine", kWin64 + Key(kKey32, R"("C:\\Microsoft Games\\CFS")"));
    std::string install = prefix + "/drive_c/Microsoft Games/CFS", aircraft = install + "/AIRCRAFT";
    Player() {
        EXPECT_EQ(0, WriteDemoSimulator(install.c_str()));
        fs::rename(install + "/Aircraft", aircraft);
        fs::rename(aircraft + "/P51d", aircraft + "/p51D");
        fs::rename(aircraft + "/p51D/Model/P51d_n.mdl", aircraft + "/p51D/Model/P51D_N.MDL");
    }
    std::string Env() const { return "WINEPREFIX='" + prefix + "'"; }
};

TEST(CliProcess, CopiesAMixedCaseStockAircraftFoundThroughThePrefix) {
    Player p;
    // --wine-prefix before $WINEPREFIX before ~/.wine: each prefix makes its own copy.
    for (const auto& [args, setup] : {std::pair<std::string, std::string>{"copy p51D XY", p.Env()},
                                      {"copy 1 XZ --wine-prefix '" + p.prefix + "/'", "WINEPREFIX=/nowhere"},
                                      {"copy P51d XW", "HOME='" + p.dir.path + "'"}}) {
        const CliRun run = RunCli(args, setup);
        EXPECT_EQ(0, run.status) << args << run.err;
        EXPECT_EQ(14, Count(run.out, "  written")) << run.out;  // 12 stock files and 2 alias files
    }
    // "--" ends the options, so a prefix may start with "-"; the report names
    // the full folder and the in-game name, here the player's own.
    CliRun run = RunCli("copy P51d --title 'Red Tail' -- -R", p.Env());
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_TRUE(std::regex_search(run.out, std::regex("\nMade /.*/CFS/Aircraft/-R1d, in-game name \"Red Tail\"\n")))
        << run.out;
    const std::string cfg = ReadText(p.aircraft + "/-R1d/Aircraft.cfg");
    EXPECT_NE(std::string::npos, cfg.find("title=Red Tail\r\n")) << cfg;
    EXPECT_NE(std::string::npos, cfg.find("title=Red Tail (alternate markings)\r\n")) << cfg;
    // Another aircraft with that name already: said, and copied all the same.
    run = RunCli("copy P51d RT --title 'RED TAIL'", p.Env());
    EXPECT_EQ(0, run.status);
    EXPECT_NE(std::string::npos, run.err.find("warning: another aircraft already has")) << run.err;
    // Outer blanks are dropped, as the simulator's reader drops them, and said so.
    run = RunCli("copy P51d BL --title '  Blue Nose  '", p.Env());
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("taken without its outer blanks: \"Blue Nose\"")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("in-game name \"Blue Nose\"\n")) << run.out;
    EXPECT_NE(std::string::npos, ReadText(p.aircraft + "/BL1d/Aircraft.cfg").find("title=Blue Nose (alternate markings)\r"));
    run = RunCli("where", p.Env());
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_TRUE(std::regex_match(run.out, std::regex(".*/CFS/Aircraft\nsource: Wine prefix .* \\(from \\$WINEPREFIX\\)\n")))
        << run.out;
    // The registry names "Aircraft", the disk holds "AIRCRAFT": the copies are found all the same.
    run = RunCli("copies", p.Env());
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("RT1d          P51d          RED TAIL")) << run.out;
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
        // The dry run makes the copy's folder checks: a file already has the name.
        {"copy P51d DR --dry-run", "touch '" + p.aircraft + "/dr1D'; " + p.Env(), 2, "folder DR1d exists"},
        {"remove p51D", p.Env(), 2, "is a stock aircraft"},
        {"copy P51d XY", "", 3, "no Wine prefix at /nonexistent-home/.wine"},
        {"list", "", 3, "no Wine prefix at /nonexistent-home/.wine"},
        {"copy P51d XY --aircraft-dir '" + p.dir.path + "'", "", 3, "The CFS path is not correct"},
        // --aircraft-dir is used as given but for trailing separators; a root stays whole.
        {"where --aircraft-dir /nowhere//", "", 3, "no Aircraft folder at /nowhere\n"},
        {"where --aircraft-dir /", "", 0, ""},
        {"where --aircraft-dir " + std::string(300, 'a'), "", 3, "too long: 300 bytes given with --aircraft-dir"},
        {"copies --aircraft-dir /nowhere", "", 3, "no Aircraft folder at /nowhere"},
        {"remove XY1d --aircraft-dir /nowhere", "", 3, "no Aircraft folder at /nowhere"},
        {"copy P51d 'X:'", p.Env(), 4, "X:1d is not a valid folder name - use a different prefix"},
        {"", "", 64, "usage: vantorel-cli"},
        {"list --bogus", "", 64, "usage: vantorel-cli"},
        {"copy P51d XY --aircraft-dir", "", 64, "usage: vantorel-cli"},
        {"copy 19 XY --aircraft-dir /tmp", "", 64, "unknown aircraft"},
        {"copy P51d XY --aircraft-dir ''", "", 64, "an empty value"},
        {"list --wine-prefix ''", "", 64, "an empty value"},
        {"copy P51d XY --title ''", p.Env(), 64, "--title: an empty value"},
        {"copy P51d XY --title '   '", p.Env(), 64, "empty"},
        {"copy P51d XY --title \"$(printf 'a\\tb')\"", p.Env(), 64, "control characters"},
        {"copy P51d XY --title 'Mustang \xC3\xA9'", p.Env(), 64, "characters that CFS cannot show"},
        {"copy P51d XY extra", "", 64, "usage: vantorel-cli"},
    };
    for (const Case& c : cases) {
        const CliRun run = RunCli(c.args, c.setup);
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

// Registry files and Steam's list of libraries that are FIFOs are passed
// over, never waited on; the prefix that has the simulator is still found.
TEST(CliProcess, WhereNeverWaitsOnAFifoNamedLikeAFileItReads) {
    Scratch home;
    const std::string h = home.path, bottle = h + "/.local/share/bottles/bottles/fifo";
    MakePrefix(h + "/.wine", "");
    MakePrefix(bottle, "");
    MakeSimPrefix(h + "/Games/cfs");
    fs::create_directories(h + "/.local/share/Steam/steamapps");
    for (const std::string& fifo : {h + "/.wine/system.reg", h + "/.wine/user.reg", bottle + "/system.reg",
                                    h + "/Games/cfs/user.reg", h + "/.local/share/Steam/steamapps/libraryfolders.vdf"})
        ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600)) << fifo;
    // timeout's 124 is a wait.
    CliRun run = RunCli("where", "HOME='" + h + "' timeout 20");
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("source: Wine prefix " + h + "/Games/cfs (found in the Lutris home"))
        << run.out;
    run = RunCli("where --wine-prefix '" + h + "/.wine'", "timeout 20");
    EXPECT_EQ(3, run.status) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("the registry file " + h + "/.wine/system.reg is not a file")) << run.err;
}

// Access denied is said as such, whether the Aircraft folder may not be
// written or not even searched; the exit status stays 2. Run as "nobody":
// root passes every permission check.
TEST(CliProcess, AccessDeniedSaysSo) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to run the program as another user";
    Player p;
    fs::permissions(p.dir.path, fs::perms::all);  // mkdtemp's 0700 would stop "nobody" at the door
    using fs::perms;
    for (perms mode : {perms::owner_all | perms::group_read | perms::others_read | perms::group_exec | perms::others_exec,
                       perms::owner_all | perms::group_read | perms::others_read}) {  // not writable; not searchable
        fs::permissions(p.aircraft, mode);
        const CliRun run = RunCli("copy P51d XY --aircraft-dir '" + p.aircraft + "'",
                                  "setpriv --reuid=65534 --regid=65534 --clear-groups ");
        EXPECT_EQ(2, run.status) << run.out << run.err;
        EXPECT_NE(std::string::npos, run.err.find("access denied to")) << run.err;
    }
    fs::permissions(p.aircraft, perms::all);
    EXPECT_FALSE(fs::exists(p.aircraft + "/XY1d"));
}

TEST(CliProcess, ListAndDryRunShowWhatACopyWouldLackAndMakeWritingNothing) {
    Player p;
    fs::remove(p.aircraft + "/P38/p38.air");
    fs::remove_all(p.aircraft + "/B17g");
    CliRun run = RunCli("list", p.Env());
    EXPECT_EQ(0, run.status) << run.err;
    for (const char* line : {" P51d .* yes +12/12\n", " P38 .* yes +7/8\n +missing: p38.air\n", " B17g .* no +0/8\n"})
        EXPECT_TRUE(std::regex_search(run.out, std::regex(line))) << line << " not in:\n" << run.out;
    EXPECT_EQ(20, Count(RunCli("list").out, "\n"));  // without a simulator the catalogue is listed all the same

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
