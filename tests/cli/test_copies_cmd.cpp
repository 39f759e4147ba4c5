// vantorel-cli's copies and remove commands in-process: their lines, exit
// statuses, and that every refusal says what to do.
#include "copies_cmd.h"
#include "copy_aircraft.h"
#include "demo_sim.h"
#include "escape.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

namespace fs = std::filesystem;

namespace {

// A demo simulator with one copy, XY1d, holding a file of the player's own.
struct Sim {
    std::string root = (fs::temp_directory_path() / ("vantorel-copies-" + std::to_string(
                        std::chrono::steady_clock::now().time_since_epoch().count()))).string();
    std::string aircraft = root + "/Aircraft";
    Sim() {
        EXPECT_EQ(WriteDemoSimulator(root.c_str()), 0);
#ifndef _WIN32
        setenv("HOME", root.c_str(), 1);  // no command here may reach the real trash
        setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
#endif
        EXPECT_EQ(CopyAircraft(aircraft.c_str(), "XY", 1), CopyOk);
        std::ofstream(aircraft + "/XY1d/notes.txt") << "mine";
    }
    ~Sim() { std::error_code ignored; fs::remove_all(root, ignored); }
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
    const char* dir = sim.aircraft.c_str();
    fs::remove_all(sim.aircraft + "/XY1d");
    EXPECT_EQ(Capture([&] { return RunCopiesCommand(dir); }).out, "No copies in " + sim.aircraft + ".\n");
    for (const char* prefix : {"XY", "Ab", "Cd"}) ASSERT_EQ(CopyAircraft(dir, prefix, 1), CopyOk);
    std::ofstream(sim.aircraft + "/XY1d/Aircraft.cfg", std::ios::binary) << "[fltsim.0]\ntitle=Red Tail\n";
    fs::remove(sim.aircraft + "/Ab1d/Model/Ab1d_n.mdl");
    for (const char* own : {"Ab1d/notes.txt", "Cd1d/notes.txt", "Cd1d/Texture/mine.bmp"})
        std::ofstream(sim.aircraft + "/" + own) << "mine";
    const Output r = Capture([&] { return RunCopiesCommand(dir); });
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(std::regex_match(r.out, std::regex("folder +copy of +in-game name +state\n"
                                                   "Ab1d +P51d +\\S.* +unfinished, with 1 file of yours\n"
                                                   "Cd1d +P51d +\\S.* +complete, with 2 files of yours\n"
                                                   "XY1d +P51d +Red Tail +complete\n")))
        << r.out;
}

TEST(Escape, ControlCharactersBecomeEscapesAndNothingElseChanges) {
    struct Case { std::string text, shown; } const cases[] = {
        {"P-51D Mustang", "P-51D Mustang"},
        {"a\nb\r\tc", "a\\nb\\r\\tc"},
        {"\x1b[2J\a", "\\x1b[2J\\x07"},
        {std::string("\0\x01\x1f\x7f", 4), "\\x00\\x01\\x1f\\x7f"},
        {"C:\\CFS\\Aircraft \x80\xff caf\xc3\xa9", "C:\\CFS\\Aircraft \x80\xff caf\xc3\xa9"},  // paths and code pages
    };
    for (const Case& c : cases) EXPECT_EQ(EscapeControls(c.text), c.shown) << c.shown;
}

#ifndef _WIN32
// A folder name or a repaint's title holding control characters is shown
// escaped: one line per copy, and nothing the terminal would act on.
TEST(CopiesCommand, NamesAndTitlesFromDiskReachTheTerminalEscaped) {
    Sim sim;
    const std::string odd = sim.aircraft + "/\n\t1d";
    fs::create_directory(odd);
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(sim.aircraft + "/XY1d")) {
        std::string name = e.path().lexically_relative(sim.aircraft + "/XY1d").string();
        for (std::size_t at; (at = name.find("XY1")) != std::string::npos;) name.replace(at, 2, "\n\t");
        if (e.is_directory()) fs::create_directory(odd + "/" + name);
        else fs::copy_file(e.path(), odd + "/" + name);
    }
    std::ofstream(odd + "/Aircraft.cfg", std::ios::binary) << "[fltsim.0]\ntitle=Red\x1b[2JTail\a\n";
    const Output r = Capture([&] { return RunCopiesCommand(sim.aircraft.c_str()); });
    EXPECT_TRUE(std::regex_match(r.out, std::regex("folder .*\n"
                                                   "\\\\n\\\\t1d +P51d +Red\\\\x1b\\[2JTail\\\\x07 +\\S.*\n"
                                                   "XY1d .*\n")))
        << r.out;
    const Output removed = Capture([&] { return RunRemoveCommand(sim.aircraft.c_str(), "\n\t1d", true, true); });
    EXPECT_EQ(removed.status, 0) << removed.err;
    EXPECT_NE(removed.out.find("Aircraft/\\n\\t1d:\n"), std::string::npos) << removed.out;
    EXPECT_NE(removed.out.find("\n  \\n\\t1d.air\n"), std::string::npos) << removed.out;
    EXPECT_EQ(removed.out.find_first_of("\t\x1b"), std::string::npos) << removed.out;
}
#endif

// Refusals are 2 and name the reason, dry runs are 0 and say nothing
// changed, --permanent names what it keeps. The stock refusal and the
// missing folder are run through the program in test_cli_process.
TEST(RemoveCommand, StatusesAndMessages) {
    Sim sim;
    struct Row { const char* folder; bool dryRun, permanent; int status; const char* says; } const rows[] = {
        {"../Aircraft/XY1d", false, true, 2, "is not the name of a folder inside"},
        {"XY1e", false, true, 2, "there is no folder XY1e in "},
        {"xy1d", true, true, 0, "Would delete from .*Aircraft.XY1d:\n  Aircraft.cfg\n(.|\n)*  Panel\n"
                                "Would keep the player's own files(.|\n)*\n  notes.txt\nNothing was changed"},
        {"XY1d", true, false, 0, "Would move .*XY1d \\(copy of P51d\\) to "},
        {"XY1d", false, true, 0, "Deleted .*XY1d \\(copy of P51d\\):\n(.|\n)*Kept the player's own files"},
        {"XY1d", false, true, 2, "is not a copy"},  // what is left is the player's
    };
    for (const Row& row : rows) {
        const Output r = Capture([&] { return RunRemoveCommand(sim.aircraft.c_str(), row.folder, row.dryRun, row.permanent); });
        EXPECT_EQ(r.status, row.status) << row.folder;
        EXPECT_TRUE(std::regex_search(row.status ? r.err : r.out, std::regex(row.says))) << row.folder << r.out << r.err;
    }
    EXPECT_TRUE(fs::exists(sim.aircraft + "/XY1d/notes.txt"));
}

#ifndef _WIN32
TEST(RemoveCommand, FailurePartWayExitsOneAndSaysWhatRemains) {
    Sim sim;
    const std::string stuck = sim.aircraft + "/XY1d/Texture/XY1Tex2.bmp";
    if (std::system(("chattr +i '" + stuck + "' 2>/dev/null").c_str()) != 0) GTEST_SKIP() << "needs chattr as root";
    const Output r = Capture([&] { return RunRemoveCommand(sim.aircraft.c_str(), "XY1d", false, true); });
    std::system(("chattr -i '" + stuck + "'").c_str());
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(std::regex_search(r.err, std::regex("could not delete Texture/XY1Tex2.bmp: .*\nRemoved:\n  Aircraft.cfg\n"
                                                    "(.|\n)*Still there, from the copy:\n  Texture/XY1Tex2.bmp\n(.|\n)*"
                                                    "Still there, the player's own:\n  notes.txt\n")))
        << r.err;
}
#endif

} // namespace
