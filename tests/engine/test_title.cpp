// The copy's name in the simulator's aircraft menu.
#include "copy_aircraft.h"
#include "demo_sim.h"
#include "engine_support.h"
#include "title.h"

namespace {

const char kStockCfg[] =
    "[fltsim]\r\ntitle=P-51D Mustang\r\nsim=p51d\r\n\r\n"
    "[fltsim.1]\r\n  TITLE = P-51D Mustang (alternate markings)\r\nsim=p51d\r\n\r\n"
    "[fltsim.2]\r\ntitle=Cadillac of the Sky\r\n\r\n"
    "[General]\r\nsubtitle=kept\r\ntitle=not a menu entry\r\n";

TEST(InGameTitle, APlayersNameReplacesTheFirstTitleAndEveryFurtherMenuEntryFollowsIt) {
    struct Row { const char* cfg; const char* newTitle; const char* want; };
    const Row rows[] = {
        {kStockCfg, "Red Tail",
         "[fltsim]\r\ntitle=Red Tail\r\nsim=p51d\r\n\r\n"
         "[fltsim.1]\r\n  TITLE = Red Tail (alternate markings)\r\nsim=p51d\r\n\r\n"
         "[fltsim.2]\r\ntitle=Red Tail (2)\r\n\r\n"
         "[General]\r\nsubtitle=kept\r\ntitle=not a menu entry\r\n"},
        // The last line without its line end, and a file with no title at all.
        {"[fltsim]\ntitle=P-51D Mustang", "X", "[fltsim]\ntitle=X"},
        {"[fltsim]\nsim=p51d\n", "X", "[fltsim]\nsim=p51d\n"},
    };
    for (const Row& r : rows) EXPECT_EQ(RetitleConfig(r.cfg, "P-51D Mustang", r.newTitle), r.want) << r.cfg;
    EXPECT_EQ(FirstTitle(kStockCfg), "P-51D Mustang");
    EXPECT_EQ(FirstTitle("[fltsim]\nsubtitle=x\n title =  Spaced \r\n"), "Spaced");
}

TEST(InGameTitle, OnlyNamesTheSimulatorCanShowAreAccepted) {
    struct Row { const char* title; TitleCheck want; };
    for (const Row& r : {Row{"Red Tail Mustang (1944)", TitleOk}, Row{"", TitleEmpty}, Row{"a\tb", TitleHasControlChars},
                         Row{"two\r\nlines", TitleHasControlChars}, Row{"del\x7f", TitleHasControlChars},
#ifndef _WIN32
                         Row{"caf\xC3\xA9", TitleNotRepresentable}
#endif
         })
        EXPECT_EQ(CheckInGameTitle(r.title), r.want) << r.title;
}

// Unedited, the predicted name is the one the copy gets and the copy is what
// it always was; edited, only the title lines differ from that copy.
TEST(InGameTitle, PredictionMatchesTheCopyAndAnEditedNameChangesOnlyTheTitles) {
    TempDir a, b;
    ASSERT_EQ(WriteDemoSimulator(a.path.c_str()), 0);
    ASSERT_EQ(WriteDemoSimulator(b.path.c_str()), 0);
    const std::string plain = Path(a.path, "Aircraft"), edited = Path(b.path, "Aircraft");
    EXPECT_TRUE(TitleInUse(plain.c_str(), "p-51d MUSTANG")) << "letter case aside";
    EXPECT_FALSE(TitleInUse(plain.c_str(), "Red Tail"));
    const std::string predicted = PredictCopyTitle(plain.c_str(), "XY", 1);
    EXPECT_EQ(predicted, "XY11D Mustang");
    ASSERT_EQ(CopyAircraft(plain.c_str(), "XY", 1), CopyOk);
    ASSERT_EQ(CopyAircraftTitled(edited.c_str(), "XY", 1, "Red Tail"), CopyOk);
    const std::string before = ReadBytes(Path(plain, "XY1d/Aircraft.cfg"));
    const std::string after = ReadBytes(Path(edited, "XY1d/Aircraft.cfg"));
    EXPECT_EQ(FirstTitle(before), predicted);
    std::string want = before;
    for (auto [from, to] : {std::pair<std::string, std::string>{"title=XY11D Mustang\r", "title=Red Tail\r"},
                            {"title=P-51D Mustang (alternate", "title=Red Tail (alternate"}})
        want.replace(want.find(from), from.size(), to);
    EXPECT_EQ(after, want);
    EXPECT_EQ(PredictCopyTitle(Path(a.path, "nowhere").c_str(), "XY", 1), "") << "no stock Aircraft.cfg";
}

} // namespace
