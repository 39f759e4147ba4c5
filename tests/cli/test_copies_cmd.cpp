// vantorel-cli's copies and remove commands in-process: their lines, exit
// statuses, and that every refusal says what to do.
#include "copies_cmd.h"
#include "escape.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

namespace fs = std::filesystem;

namespace {

// A demo simulator with one copy, XY1d, holding a file of the player's own.
struct OneCopy : DemoSim {
    void SetUp() override {
        DemoSim::SetUp();
        WriteBytes(Copy(1, "XY") + "/notes.txt", "mine");
    }
};

struct Output { int status; std::string out, err; };

template <typename F> Output Capture(F command) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int status = command();
    std::string out = ::testing::internal::GetCapturedStdout();
    return {status, out, ::testing::internal::GetCapturedStderr()};
}

using CopiesCommand = DemoSim;

TEST_F(CopiesCommand, OneLinePerCopyWithItsState) {
    const auto copies = [&] { return Capture([&] { return RunCopiesCommand(aircraft.c_str()); }); };
    EXPECT_EQ(copies().out, "No copies in " + aircraft + ".\n");
    for (const char* prefix : {"XY", "Ab", "Cd"}) Copy(1, prefix);
    WriteBytes(Path(aircraft, "XY1d/Aircraft.cfg"), "[fltsim.0]\ntitle=Red\x1b[2JTail\a\n");  // escaped, not acted on
    fs::remove(Path(aircraft, "Ab1d/Model/Ab1d_n.mdl"));
    for (const char* own : {"Ab1d/notes.txt", "Cd1d/notes.txt", "Cd1d/Texture/mine.bmp"}) WriteBytes(Path(aircraft, own), "mine");
    const Output r = copies();
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(std::regex_match(r.out, std::regex("folder +copy of +in-game name +state\n"
                                                   "Ab1d +P51d +\\S.* +unfinished, with 1 file of yours\n"
                                                   "Cd1d +P51d +\\S.* +complete, with 2 files of yours\n"
                                                   "XY1d +P51d +Red\\\\x1b\\[2JTail\\\\x07 +complete\n")))
        << r.out;
}

TEST(Escape, ControlCharactersBecomeEscapesAndNothingElseChanges) {
    struct Case { std::string text, shown; } const cases[] = {
        {"a\nb\r\tc", "a\\nb\\r\\tc"},
        {"\x1b[2J\a", "\\x1b[2J\\x07"},
        {std::string("\0\x01\x1f\x7f", 4), "\\x00\\x01\\x1f\\x7f"},
        {"C:\\CFS\\Aircraft \x80\xff caf\xc3\xa9", "C:\\CFS\\Aircraft \x80\xff caf\xc3\xa9"},  // paths and code pages
    };
    for (const Case& c : cases) EXPECT_EQ(EscapeControls(c.text), c.shown) << c.shown;
}

// Refusals are 2 and name the reason, dry runs are 0 and say nothing
// changed, --permanent names what it keeps. The stock refusal is run
// through the program in test_cli_process.
TEST_F(OneCopy, RemoveCommandStatusesAndMessages) {
    struct Row { const char* folder; bool dryRun, permanent; int status; const char* says; } const rows[] = {
        {"../Aircraft/XY1d", false, true, 2, "is not the name of a folder inside"},
        {"XY1e", false, true, 2, "there is no folder XY1e in .*Aircraft \\(no longer, or never\\)"},
        {"\n\t1d", false, true, 2, "there is no folder \\\\n\\\\t1d in "},
        {"xy1d", true, true, 0, "Would delete from .*Aircraft.XY1d:\n  Aircraft.cfg\n(.|\n)*  Panel\n"
                                "Would keep the player's own files(.|\n)*\n  notes.txt\nNothing was changed"},
        {"XY1d", true, false, 0, "Would move .*XY1d \\(copy of P51d\\) to "},
        {"XY1d", false, true, 0, "Deleted .*XY1d \\(copy of P51d\\):\n(.|\n)*Kept the player's own files"},
        {"XY1d", false, true, 2, "is not a copy"},  // what is left is the player's
    };
    for (const Row& row : rows) {
        const Output r = Capture([&] { return RunRemoveCommand(aircraft.c_str(), row.folder, row.dryRun, row.permanent); });
        EXPECT_EQ(r.status, row.status) << row.folder;
        EXPECT_TRUE(std::regex_search(row.status ? r.err : r.out, std::regex(row.says))) << row.folder << r.out << r.err;
    }
    EXPECT_EQ(ReadBytes(Path(aircraft, "XY1d/notes.txt")), "mine");
}

#ifndef _WIN32
TEST_F(OneCopy, RemoveFailingPartWayExitsOneAndSaysWhatRemains) {
    const std::string stuck = aircraft + "/XY1d/Texture/XY1Tex2.bmp";
    if (std::system(("chattr +i '" + stuck + "' 2>/dev/null").c_str()) != 0) GTEST_SKIP() << "needs chattr as root";
    const Output r = Capture([&] { return RunRemoveCommand(aircraft.c_str(), "XY1d", false, true); });
    std::system(("chattr -i '" + stuck + "'").c_str());
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(std::regex_search(r.err, std::regex("could not delete Texture/XY1Tex2.bmp: .*\nRemoved:\n  Aircraft.cfg\n"
                                                    "(.|\n)*Still there, from the copy:\n  Texture/XY1Tex2.bmp\n(.|\n)*"
                                                    "Still there, the player's own:\n  notes.txt\n")))
        << r.err;
}
#endif

} // namespace
