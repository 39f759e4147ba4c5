// vantorel-cli as a process, against a player's Wine prefix whose stock files
// drifted in letter case as they do after years of patches.
#ifndef _WIN32
#include "cli_support.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// The simulator installed by its 32-bit installer in a 64-bit prefix, P51d's
// names in the case a Windows tool happened to write, P38 lacking a file and
// B17g gone.
struct Player {
    TempDir dir;
    std::string prefix = MakePrefix(dir.path + "/.wine", kWin64 + Key(kKey32, R"("C:\\Microsoft Games\\CFS")"));
    std::string install = prefix + "/drive_c/Microsoft Games/CFS", aircraft = install + "/AIRCRAFT";
    Player() {
        EXPECT_EQ(0, WriteDemoSimulator(install.c_str()));
        fs::rename(install + "/Aircraft", aircraft);
        fs::rename(aircraft + "/P51d", aircraft + "/p51D");
        fs::rename(aircraft + "/p51D/Model/P51d_n.mdl", aircraft + "/p51D/Model/P51D_N.MDL");
        fs::remove(aircraft + "/P38/p38.air");
        fs::remove_all(aircraft + "/B17g");
    }
    std::string Env() const { return "WINEPREFIX='" + prefix + "'"; }
};

// Run in order on one simulator: what each command says (on either stream,
// the pattern searched for) and its exit status.
TEST(CliProcess, EachCommandSaysWhatItDidOrWhyNotWithItsStatus) {
    Player p;
    fs::create_directory(p.aircraft + "/qq1D");  // Windows sees it as QQ1d
    const std::string env = p.Env(), noSpace = "trap '' XFSZ; ulimit -f 0; " + env;  // every write fails
    struct Case { std::string args, setup; int status; std::string says; } const cases[] = {
        // --wine-prefix before $WINEPREFIX before ~/.wine.
        {"copy p51D XA", env, 0, "Made /.*/CFS/Aircraft/XA1d, in-game name"},
        {"copy 1 XZ --wine-prefix '" + p.prefix + "/'", "WINEPREFIX=/nowhere", 0, "Made /.*/XZ1d, in-game name"},
        {"copy P51d XW", "HOME='" + p.dir.path + "'", 0, "Made /.*/XW1d, in-game name"},
        // "--" ends the options, so a prefix may start with "-"; the report names
        // the full folder and the in-game name, here the player's own.
        {"copy P51d --title 'Red Tail' -- -R", env, 0, "\nMade /.*/CFS/Aircraft/-R1d, in-game name \"Red Tail\"\n"},
        {"copy P51d RT --title 'RED TAIL'", env, 0, "warning: another aircraft already has"},
        // Outer blanks are dropped, as the simulator's reader drops them, and said so.
        {"copy P51d BL --title '  Blue Nose  '", env, 0,
         "taken without its outer blanks: \"Blue Nose\"(.|\n)*in-game name \"Blue Nose\"\n"},
        {"where", env, 0, "^/.*/CFS/Aircraft\nsource: Wine prefix .* \\(from \\$WINEPREFIX\\)\n$"},
        // The registry names "Aircraft", the disk holds "AIRCRAFT": the copies are found all the same.
        {"copies", env, 0, "RT1d          P51d          RED TAIL"},
        {"--version", "", 0, "^vantorel-cli [0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+\n$"},
        {"list", env, 0, " P38 .* yes +7/8\n +missing: p38.air\n +1  P51d .* yes +12/12\n(.|\n)* B17g .* no +0/8\n"},
        // Without a simulator the catalogue is listed all the same.
        {"list", "", 3, "^([^\n]*\n){20}.*no Wine prefix at /nonexistent-home/.wine"},
        {"copy 18 XY --dry-run", env, 0, "Would copy Hurricane_I to XYrricane_I [^>]*(>[^>]*){12}"  // 12 stock files
                                         "/Aircraft/XYrricane_I/Panel/panel.cfg\n[^>]*Nothing was written \\(dry run\\)."},
        {"copy P51d ZZ", noSpace, 1, "File Error"},
        {"copy P51d QQ", env, 2, "folder QQ1d exists - use a different prefix"},
        // The dry run makes the copy's folder checks: a file already has the name.
        {"copy P51d DR --dry-run", "touch '" + p.aircraft + "/dr1D'; " + env, 2, "folder DR1d exists"},
        {"remove p51D", env, 2, "is a stock aircraft"},
        {"copy P51d XV", "", 3, "no Wine prefix at /nonexistent-home/.wine"},
        {"copy P51d XY --aircraft-dir '" + p.dir.path + "'", "", 3, "The CFS path is not correct"},
        // --aircraft-dir is used as given but for trailing separators; a root stays whole.
        {"where --aircraft-dir /nowhere//", "", 3, "no Aircraft folder at /nowhere\n"},
        {"where --aircraft-dir /", "", 0, ""},
        {"where --aircraft-dir " + std::string(300, 'a'), "", 3, "too long: 300 bytes given with --aircraft-dir"},
        {"copies --aircraft-dir /nowhere", "", 3, "no Aircraft folder at /nowhere"},
        {"remove XY1d --aircraft-dir /nowhere", "", 3, "no Aircraft folder at /nowhere"},
        {"copy P51d 'X:'", env, 4, "X:1d is not a valid folder name - use a different prefix"},
        {"", "", 64, "usage: vantorel-cli"},
        {"list --bogus", "", 64, "usage: vantorel-cli"},
        {"copy P51d XY --aircraft-dir", "", 64, "usage: vantorel-cli"},
        {"copy 19 XY --aircraft-dir /tmp", "", 64, "unknown aircraft"},
        {"copy P51d XY --aircraft-dir ''", "", 64, "an empty value"},
        {"copy P51d XY --title ''", env, 64, "--title: an empty value"},
        {"copy P51d XY --title '   '", env, 64, "empty"},
        {"copy P51d XY --title \"$(printf 'a\\tb')\"", env, 64, "control characters"},
        {"copy P51d XY --title 'Mustang \xC3\xA9'", env, 64, "characters that CFS cannot show"},
        {"copy P51d XY extra", "", 64, "usage: vantorel-cli"},
    };
    for (const Case& c : cases) {
        const CliRun run = RunCli(c.args, c.setup);
        EXPECT_EQ(c.status, run.status) << c.args << "\n" << run.out << run.err;
        EXPECT_TRUE(std::regex_search(run.out + run.err, std::regex(c.says))) << c.args << ": " << run.out << run.err;
    }
    EXPECT_EQ(2, Count(ReadBytes(p.aircraft + "/-R1d/Aircraft.cfg"), "title=Red Tail(\r| \\(alternate markings\\)\r)"));
    EXPECT_TRUE(fs::is_empty(p.aircraft + "/qq1D")) << "an existing folder was written into";
    EXPECT_FALSE(fs::exists(p.aircraft + "/XYrricane_I"));
    // The first failed write ends the copy and takes back what it made: no
    // half aircraft is left for the simulator to list, and a retry is free.
    EXPECT_EQ(1, Count(RunCli("copy P51d ZY", noSpace).out, "could not write"));
    EXPECT_FALSE(fs::exists(p.aircraft + "/ZY1d")) << "a failed copy left its folder behind";
}

// Access denied is said as such, whether the Aircraft folder may not be
// written or not even searched; the exit status stays 2. Run as "nobody":
// root passes every permission check.
TEST(CliProcess, AccessDeniedSaysSo) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to run the program as another user";
    Player p;
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

} // namespace
#endif
