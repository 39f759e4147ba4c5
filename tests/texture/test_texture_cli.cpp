// vantorel-cli's repaint commands as a player runs them: the exit statuses
// scripts rely on, and the lines that say what happened.
#include "cli/cli_support.h"
#include "texture_support.h"

#ifndef _WIN32
namespace {

using TextureCli = DemoSim;

TEST_F(TextureCli, ExitStatusesAndReports) {
    Copy(1, "XY");
    TempDir work;
    const std::string dir = " --aircraft-dir '" + aircraft + "'";
    const std::string kit = Path(work.path, "kit"), wing = "'" + Path(kit, "XY1_wing.png") + "'";
    struct Row { std::string args; int status; const char* says; };
    const Row rows[] = {
        {"textures XY1d" + dir, 0, "256 x 256   8-bit, no palette alpha, no mip levels"},
        {"textures XY9d" + dir, 3, "no aircraft folder XY9d"},
        {"export XY1d '" + Path(aircraft, "XY1d/paint") + "'" + dir, 2, "inside the Aircraft folder"},
        {"export XY1d '" + kit + "'" + dir, 0, "5 PNGs and README.txt written"},
        {"export XY1d '" + kit + "'" + dir, 2, "already there"},
        {"apply P51d " + wing + dir, 2, "not a copy"},
        {"apply XY1d " + wing + " --as ../XY1_wing" + dir, 64, "--as"},
        {"apply XY1d " + wing + " " + wing + " --as XY1_wing" + dir, 64, "--as"},
        {"apply XY1d '" + Path(kit, "XY1_nose.png") + "'" + dir, 1, "nothing was written"},
        {"apply XY1d " + wing + " --dry-run" + dir, 0, "Nothing was written (dry run)"},
        {"apply XY1d " + wing + dir, 0, "exact"},
    };
    for (const Row& r : rows) {
        const CliRun run = RunCli(r.args);
        EXPECT_EQ(run.status, r.status) << r.args << "\n" << run.out << run.err;
        EXPECT_NE((run.out + run.err).find(r.says), std::string::npos) << r.args << "\n" << run.out << run.err;
    }
}

} // namespace
#endif
