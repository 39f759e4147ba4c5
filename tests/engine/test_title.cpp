// The copy's name in the simulator's aircraft menu.
#include "engine_support.h"
#include "title.h"

namespace {

const char kStockCfg[] =
    "[fltsim]\r\ntitle=P-51D Mustang\r\nsim=p51d\r\n\r\n"
    "[fltsim.1]\r\n  TITLE = P-51D Mustang (alternate markings)\r\nsim=p51d\r\n\r\n"
    "[fltsim.2]\r\ntitle=Cadillac of the Sky\r\n\r\n"
    "[General]\r\nsubtitle=kept\r\ntitle=not a menu entry\r\n";

// The in-game name is the first title= value, with blanks around key and
// value and the key in any case; a player's name replaces it and every
// further menu entry follows it.
TEST(InGameTitle, APlayersNameReplacesTheFirstTitleAndEveryFurtherMenuEntryFollowsIt) {
    struct First { const char* cfg; const char* want; };
    for (const First& f : {First{kStockCfg, "P-51D Mustang"},
                           First{"[fltsim.0]\r\n  Title =  My Mustang \r\ntitle=Second\r\n", "My Mustang"},
                           First{"[general]\natc_type=title=no\n[fltsim.0]\nTITLE=Last line", "Last line"},
                           First{"[fltsim.0]\nsubtitle=x\n", ""}})
        EXPECT_EQ(FirstTitle(f.cfg), f.want) << f.cfg;
    struct Row { const char* cfg; const char* newTitle; const char* want; };
    const Row rows[] = {
        {kStockCfg, "Red Tail",
         "[fltsim]\r\ntitle=Red Tail\r\nsim=p51d\r\n\r\n"
         "[fltsim.1]\r\n  TITLE = Red Tail (alternate markings)\r\nsim=p51d\r\n\r\n"
         "[fltsim.2]\r\ntitle=Red Tail (2)\r\n\r\n"
         "[General]\r\nsubtitle=kept\r\ntitle=not a menu entry\r\n"},
        // The last line without its line end, and a file with no title at all.
        {"[fltsim]\ntitle=P-51D Mustang", "X", "[fltsim]\ntitle=X"},
        // No title at all: the first menu entry gets one, with its section line's line end.
        {"[general]\r\n[fltsim.0]\r\nsim=p51d\r\n[fltsim.1]\r\n", "X", "[general]\r\n[fltsim.0]\r\ntitle=X\r\nsim=p51d\r\n[fltsim.1]\r\n"},
        {"[fltsim.0]", "X", "[fltsim.0]\r\ntitle=X\r\n"},
        // Line ends of a single CR, as some editors write them.
        {"[fltsim]\rtitle=P-51D Mustang\r[fltsim.1]\rtitle=P-51D Mustang 2\r", "X", "[fltsim]\rtitle=X\r[fltsim.1]\rtitle=X 2\r"},
    };
    for (const Row& r : rows) EXPECT_EQ(RetitleConfig(r.cfg, "P-51D Mustang", r.newTitle), r.want) << r.cfg;
    EXPECT_EQ(FirstTitle("[fltsim]\rtitle=Only CR\rsim=x\r"), "Only CR");
}

TEST(InGameTitle, OnlyNamesTheSimulatorCanShowAreAccepted) {
    struct Row { const char* title; TitleCheck want; };
    for (const Row& r : {Row{"Red Tail Mustang (1944)", TitleOk}, Row{"", TitleEmpty}, Row{"   ", TitleEmpty},
                         Row{"  Red Tail  ", TitleOk}, Row{"a\tb", TitleHasControlChars},
                         Row{"two\r\nlines", TitleHasControlChars}, Row{"del\x7f", TitleHasControlChars},
#ifndef _WIN32
                         Row{"caf\xC3\xA9", TitleNotRepresentable}
#endif
         })
        EXPECT_EQ(CheckInGameTitle(r.title), r.want) << r.title;
}

// Unedited, the predicted name is the one the copy gets and the copy is what
// it always was; edited, only the title lines differ from that copy.
TEST_F(DemoSim, PredictedNameIsTheCopysAndAnEditedNameChangesOnlyTheTitles) {
    EXPECT_TRUE(TitleInUse(aircraft.c_str(), "p-51d MUSTANG")) << "letter case aside";
    EXPECT_FALSE(TitleInUse(aircraft.c_str(), "Red Tail"));
    const std::string predicted = PredictCopyTitle(aircraft.c_str(), "XY", 1);
    EXPECT_EQ(predicted, "XY11D Mustang");
    const std::string plain = ReadBytes(Path(Copy(1, "XY"), "Aircraft.cfg"));
    EXPECT_EQ(FirstTitle(plain), predicted);
    std::filesystem::remove_all(Path(aircraft, "XY1d"));
    ASSERT_EQ(CopyAircraftTitled(aircraft.c_str(), "XY", 1, "Red Tail"), CopyOk);
    std::string want = plain;
    for (auto [from, to] : {std::pair<std::string, std::string>{"title=XY11D Mustang\r", "title=Red Tail\r"},
                            {"title=P-51D Mustang (alternate", "title=Red Tail (alternate"}})
        want.replace(want.find(from), from.size(), to);
    EXPECT_EQ(ReadBytes(Path(aircraft, "XY1d/Aircraft.cfg")), want);
    EXPECT_EQ(PredictCopyTitle(Path(sim.path, "nowhere").c_str(), "XY", 1), "") << "no stock Aircraft.cfg";
}

// Further menu entries follow the player's name also where the stock titles
// hold the stem the copy rewrites (Tempest, Mosquito, Spitfire, Hurricane);
// the name is carried without its outer blanks; a stock configuration with
// nowhere to put a name refuses before anything is made.
TEST_F(DemoSim, EveryFurtherMenuEntryFollowsThePlayersNameForEveryStockAircraft) {
    for (int index = 0; index < GetAircraftCount(); ++index) {
        SCOPED_TRACE(GetAircraftName(index));
        ASSERT_EQ(CopyAircraftTitled(aircraft.c_str(), "QQ", index, "  Red One  "), CopyOk);
        CopyNames names;
        DeriveCopyNames(index, "QQ", &names);
        const std::string cfg = ReadBytes(Path(aircraft, std::string(names.newFolder) + "/Aircraft.cfg"));
        EXPECT_EQ(FirstTitle(cfg), "Red One");
        EXPECT_NE(cfg.find("title=Red One (alternate markings)"), std::string::npos) << cfg;
    }
    WriteBytes(Path(aircraft, "P38/Aircraft.cfg"), "[general]\r\nsim=p38\r\n");
    const Tree before = Snapshot(aircraft);
    CopyFailure why;
    EXPECT_EQ(CopyAircraftReport(aircraft.c_str(), "ZZ", 0, false, nullptr, nullptr, &why, "Red"), CopyFileError);
    EXPECT_TRUE(why.noTitleSection);
    EXPECT_TRUE(SameTree(before, Snapshot(aircraft)));
}

} // namespace
