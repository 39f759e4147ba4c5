// vantorel-cli's copies and remove commands: their lines, exit statuses, and
// that every refusal says what to do.
#include "copies_cmd.h"
#include "copy_aircraft.h"
#include "demo_sim.h"
#include "platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

namespace fs = std::filesystem;

namespace {

struct Sim {
    Sim() {
        EXPECT_EQ(WriteDemoSimulator(root.c_str()), 0);
#ifndef _WIN32
        setenv("HOME", root.c_str(), 1);  // no command here may reach the real trash
        setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
#endif
    }
    ~Sim() { std::error_code ignored; fs::remove_all(root, ignored); }
    std::string root = (fs::temp_directory_path() / ("vantorel-copies-" + std::to_string(
                        std::chrono::steady_clock::now().time_since_epoch().count()))).string();
    std::string aircraft = (fs::path(root) / "Aircraft").string();
    std::string In(const char* rel) { return (fs::path(aircraft) / fs::path(rel).make_preferred()).string(); }
};

struct Output { int status; std::string out, err; };

template <typename F> Output Capture(F command) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int status = command();
    std::string out = ::testing::internal::GetCapturedStdout();
    return {status, out, ::testing::internal::GetCapturedStderr()};
}

TEST(CopiesCommand, OneLinePerCopyWithItsState) {
    Sim sim;
    Output r = Capture([&] { return RunCopiesCommand(sim.aircraft.c_str()); });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "No copies in " + sim.aircraft + ".\n");
    ASSERT_EQ(CopyAircraft(sim.aircraft.c_str(), "XY", 1), CopyOk);
    ASSERT_EQ(CopyAircraft(sim.aircraft.c_str(), "Ab", 1), CopyOk);
    ASSERT_EQ(CopyAircraft(sim.aircraft.c_str(), "Cd", 1), CopyOk);
    std::ofstream(sim.In("XY1d/Aircraft.cfg"), std::ios::binary) << "[fltsim.0]\ntitle=Red Tail\n";
    fs::remove(sim.In("Ab1d/Model/Ab1d_n.mdl"));
    std::ofstream(sim.In("Ab1d/notes.txt")) << "mine";
    std::ofstream(sim.In("Cd1d/notes.txt")) << "mine";
    std::ofstream(sim.In("Cd1d/Texture/mine.bmp")) << "mine";
    r = Capture([&] { return RunCopiesCommand(sim.aircraft.c_str()); });
    EXPECT_EQ(r.status, 0);
    const std::regex lines("folder +copy of +in-game name +state\n"
                           "Ab1d +P51d +\\S.* +unfinished, with 1 files of the player's own\n"
                           "Cd1d +P51d +\\S.* +with 2 files of the player's own\n"
                           "XY1d +P51d +Red Tail +complete\n");
    EXPECT_TRUE(std::regex_match(r.out, lines)) << r.out;
    r = Capture([&] { return RunCopiesCommand((sim.aircraft + "-missing").c_str()); });
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("no Aircraft folder"), std::string::npos) << r.err;
}

// Exit statuses and the words a player needs: refusals are 2 and name the
// reason, dry runs are 0 and say nothing changed, --permanent names what it keeps.
TEST(RemoveCommand, StatusesAndMessages) {
    Sim sim;
    ASSERT_EQ(CopyAircraft(sim.aircraft.c_str(), "XY", 1), CopyOk);
    std::ofstream(sim.In("XY1d/notes.txt")) << "mine";
    struct Row { const char* folder; bool dryRun, permanent; int status; const char* says; };
    const Row rows[] = {
        {"../Aircraft/XY1d", false, true, 2, "is not the name of a folder inside"},
        {"p51d", false, true, 2, "is a stock aircraft"},
        {"XY1e", false, true, 2, "is not a copy"},
        {"xy1d", true, true, 0, "Would delete from .*Aircraft.XY1d:\n  Aircraft.cfg\n(.|\n)*  Panel\n"
                                "Would keep the player's own files(.|\n)*\n  notes.txt\nNothing was changed"},
        {"XY1d", true, false, 0, "Would move .*XY1d \\(copy of P51d\\) to "},
        {"XY1d", false, true, 0, "Deleted .*XY1d \\(copy of P51d\\):\n(.|\n)*Kept the player's own files"},
        {"XY1d", false, true, 2, "is not a copy"},  // what is left is the player's
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.folder);
        const Output r = Capture([&] { return RunRemoveCommand(sim.aircraft.c_str(), row.folder, row.dryRun, row.permanent); });
        EXPECT_EQ(r.status, row.status);
        EXPECT_TRUE(std::regex_search(row.status ? r.err : r.out, std::regex(row.says))) << r.out << r.err;
    }
    EXPECT_TRUE(fs::exists(sim.In("XY1d/notes.txt")));
}

#ifndef _WIN32
TEST(RemoveCommand, FailurePartWayExitsOneAndSaysWhatRemains) {
    Sim sim;
    ASSERT_EQ(CopyAircraft(sim.aircraft.c_str(), "XY", 1), CopyOk);
    const std::string stuck = sim.In("XY1d/Texture/XY1Tex2.bmp");
    if (std::system(("chattr +i '" + stuck + "' 2>/dev/null").c_str()) != 0) GTEST_SKIP() << "needs chattr as root";
    const Output r = Capture([&] { return RunRemoveCommand(sim.aircraft.c_str(), "XY1d", false, true); });
    std::system(("chattr -i '" + stuck + "'").c_str());
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(std::regex_search(r.err, std::regex("could not delete Texture/XY1Tex2.bmp: .*\nRemoved:\n  Aircraft.cfg\n"
                                                    "(.|\n)*Still there, from the copy:\n  Texture/XY1Tex2.bmp\n")))
        << r.err;
}
#endif

} // namespace
