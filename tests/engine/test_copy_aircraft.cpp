#include "copy_aircraft.h"
#include "demo_sim.h"
#include "engine_support.h"
#include "platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace fs = std::filesystem;

namespace {

class CopyAircraftTest : public ::testing::Test {
protected:
    TempDir root;
    std::string aircraft = JoinPath({root.str(), "Aircraft"});
    void SetUp() override { fs::create_directories(aircraft); }
};

struct Step {
    std::string source, dest;
    FileOutcome outcome;
};
void Collect(const CopyStep& s, void* steps) {
    static_cast<std::vector<Step>*>(steps)->push_back({s.source, s.dest, s.outcome});
}

TEST_F(CopyAircraftTest, SpitfireWithPrefixXYReadsAndWritesTheExpectedPathsInOrder) {
    WriteStockAircraft(aircraft, 17);
    std::vector<Step> steps;
    ASSERT_EQ(CopyAircraftReport(aircraft.c_str(), "XY", 17, false, Collect, &steps), 0);
    const char* const want[][2] = {
        {"Spitfire_MkI/Aircraft.cfg", "XYitfire_MkI/Aircraft.cfg"},
        {"Spitfire_MkI/spitfire_mki.dp", "XYitfire_MkI/XYitfire_mki.dp"},
        {"Spitfire_MkI/spitfire_mki.air", "XYitfire_MkI/XYitfire_mki.air"},
        {"Spitfire_MkI/spitfire_mki_check.cfg", "XYitfire_MkI/XYitfire_mki_check.cfg"},
        {"", "XYitfire_MkI/Model"},
        {"Spitfire_MkI/Model/Model.cfg", "XYitfire_MkI/Model/Model.cfg"},
        {"Spitfire_MkI/Model/spitfire_mki_n.mdl", "XYitfire_MkI/Model/XYitfire_mki_n.mdl"},
        {"Spitfire_MkI/Model/spitfire_mki_c.mdl", "XYitfire_MkI/Model/XYitfire_mki_c.mdl"},
        {"", "XYitfire_MkI/Texture"},
        {"Spitfire_MkI/Texture/spit_l_side.bmp", "XYitfire_MkI/Texture/XYit_l_side.bmp"},
        {"Spitfire_MkI/Texture/spit_r_side.bmp", "XYitfire_MkI/Texture/XYit_r_side.bmp"},
        {"Spitfire_MkI/Texture/spit_wings.bmp", "XYitfire_MkI/Texture/XYit_wings.bmp"},
        {"Spitfire_MkI/Texture/spit_wings_r.bmp", "XYitfire_MkI/Texture/XYit_wings_r.bmp"},
        {"Spitfire_MkI/Texture/spitTex1.bmp", "XYitfire_MkI/Texture/XYitTex1.bmp"},
        {"Spitfire_MkI/Texture/spitTex2.bmp", "XYitfire_MkI/Texture/XYitTex2.bmp"},
        {"", "XYitfire_MkI/Sound"},
        {"", "XYitfire_MkI/Sound/sound.cfg"},
        {"", "XYitfire_MkI/Panel"},
        {"", "XYitfire_MkI/Panel/panel.cfg"},
    };
    auto native = [&](std::string rel) {
        for (char& c : rel)
            if (c == '/') c = kPathSep;
        return rel.empty() ? rel : aircraft + kPathSep + rel;
    };
    ASSERT_EQ(steps.size(), std::size(want));
    for (std::size_t k = 0; k < steps.size(); ++k) {
        EXPECT_EQ(steps[k].source, native(want[k][0])) << "entry " << k;
        EXPECT_EQ(steps[k].dest, native(want[k][1])) << "entry " << k;
        EXPECT_EQ(steps[k].outcome, FileWritten) << steps[k].dest;
    }
    EXPECT_TRUE(SameTree(ExpectedCopy(aircraft, 17, "XY"), Snapshot(JoinPath({aircraft, "XYitfire_MkI"}))));
}

// Longer prefixes are cut at the stem; shorter ones keep the rest of the stem
// in the stock folder's letter case; alternate names take the new stem too.
TEST_F(CopyAircraftTest, PrefixMakesTheNewFolderAndFileNames) {
    struct Row {
        int index;
        const char* prefix;
        const char* folder;
        std::vector<const char*> files;
    };
    const Row rows[] = {
        {0, "ABCD", "ABC", {"ABC.dp", "Model/ABC_n.mdl", "Texture/ABCwing2.bmp"}},
        {1, "ABCD", "ABCd", {"ABCd.dp", "ABCd.air", "Texture/ABC_l_side.bmp"}},
        {1, "X", "X51d", {"X51d.dp", "X51d.air", "Model/X51d_c.mdl", "Texture/X51Tex2.bmp"}},
        {7, "XY", "XY109e", {"Texture/XY109l.bmp", "Texture/XY109r.bmp", "Texture/XY1w.bmp", "Model/XY109e_n.mdl"}},
        {10, "q", "qf110", {"Texture/qf110_side1.bmp", "Texture/qf110_side.bmp"}},
        {18, "XY", "XYrricane_I", {"Texture/XYrrTex1.bmp", "Texture/XYrr_w.bmp", "Model/XYrricane_i_n.mdl"}},
        {0, "ZZ9*", "ZZ9", {"ZZ9.air"}},      // an unsafe character past the stem is never used
        {12, "CONSx", "CONSx", {"CONSx.dp"}},  // only whole device names are reserved
        {14, "A.", "A.squito", {"Texture/A.sq_1.bmp"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(kStockAircraft[r.index].folder) + " with prefix " + r.prefix);
        if (!Exists(JoinPath({aircraft, kStockAircraft[r.index].folder}))) WriteStockAircraft(aircraft, r.index);
        ASSERT_EQ(CopyAircraft(aircraft.c_str(), r.prefix, r.index), 0);
        const auto made = Snapshot(JoinPath({aircraft, r.folder}));
        for (const char* f : r.files) EXPECT_TRUE(made.count(f)) << f << " not written under " << r.folder;
        EXPECT_TRUE(SameTree(ExpectedCopy(aircraft, r.index, r.prefix), made));
    }
    // Folder names are created exactly as derived, letter case included.
    const auto top = Snapshot(aircraft);
    for (const Row& r : rows) EXPECT_TRUE(top.count(r.folder)) << r.folder;
}

// Every refusal comes before anything is created, checked in this order: the
// prefix, the stock folder, then the new folder itself.
TEST(CopyAircraftRefusal, RefusedCopiesCreateNothing) {
    struct Row {
        const char* what;
        int index;
        std::string prefix;
        int want;
        std::function<void(const std::string& aircraft)> prepare;
    };
    auto stock = [](int index) { return [index](const std::string& a) { WriteStockAircraft(a, index); }; };
    auto none = [](const std::string&) {};
    std::vector<Row> rows;
    for (char c : std::string("\\/:*?\"<>|\x01\t\x1f"))
        rows.push_back({"unsafe character", 0, std::string("A") + c, CopyInvalidName, stock(0)});
    for (const char* p : {"AB.", "AB ", "CON", "con", "Prn", "aUx", "NUL"})
        rows.push_back({"trailing dot/space or device name", 0, p, CopyInvalidName, stock(0)});
    for (const char* p : {"CON.x", "nul.A", "COM1.", "LPT9 "})
        rows.push_back({"device name followed by a dot", 12, p, CopyInvalidName, stock(12)});
    rows.push_back({"unsafe prefix outranks a missing stock folder", 0, "A*", CopyInvalidName, none});
    rows.push_back({"missing stock folder", 17, "XY", CopyPathNotFound, none});
    rows.push_back({"missing stock folder outranks an existing new folder", 17, "XY", CopyPathNotFound,
                    [](const std::string& a) { fs::create_directories(JoinPath({a, "XYitfire_MkI"})); }});
    rows.push_back({"empty prefix names the stock folder", 17, "", CopyFolderExists, stock(17)});
    rows.push_back({"prefix repeating the stem", 0, "P3", CopyFolderExists, stock(0)});
    auto existing = [](const char* name) {
        return [name](const std::string& a) {
            WriteStockAircraft(a, 17);
            WriteBytes(JoinPath({a, name, "keep.txt"}), "an earlier copy");
        };
    };
    rows.push_back({"new folder exists", 17, "XY", CopyFolderExists, existing("XYitfire_MkI")});
    rows.push_back({"new folder exists in other letter case", 17, "XY", CopyFolderExists, existing("xyITFIRE_mki")});

    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.what) + ", prefix \"" + r.prefix + "\"");
        TempDir root;
        const std::string aircraft = JoinPath({root.str(), "Aircraft"});
        fs::create_directories(aircraft);
        r.prepare(aircraft);
        const auto before = Snapshot(root.str());
        EXPECT_EQ(CopyAircraft(aircraft.c_str(), r.prefix.c_str(), r.index), r.want);
        EXPECT_TRUE(SameTree(before, Snapshot(root.str())));
    }

    TempDir root;
    const std::string missing = JoinPath({root.str(), "Aircraft"});
    EXPECT_EQ(CopyAircraft(missing.c_str(), "XY", 17), CopyPathNotFound) << "with no Aircraft folder";
    EXPECT_FALSE(Exists(missing));
}

TEST(CopyAircraftRefusal, OnlyWholeDeviceNamesAreRefused) {
    const std::pair<const char*, bool> rows[] = {
        {"COM1", false}, {"com9", false}, {"LPT1", false}, {"Lpt9", false}, {"COM1.abc", false},
        {"aux.x", false}, {"COM0", true}, {"LPT0", true}, {"COM10", true}, {"CONX", true},
        {"XCON", true},  {"CO.N", true},  {"AUXX.b", true}, {"Spitfire_MkI", true},
    };
    for (const auto& [folder, valid] : rows) {
        CopyNames names{};
        std::strcpy(names.newFolder, folder);
        EXPECT_EQ(IsValidNewFolderName("", names), valid) << folder;
    }
}

// The longest path a Spitfire copy builds is the Aircraft folder plus 38
// characters; with 217 it fits the 256-character buffers, with 218 it does not.
TEST(CopyAircraftPaths, AircraftFolderPathUpToTheBufferLimit) {
    for (std::size_t length : {217u, 218u}) {
        TempDir root;
        std::string aircraft = root.str();
        while (aircraft.size() < length) {
            std::size_t rest = length - aircraft.size() - 1;
            std::size_t k = rest > 40 ? (rest == 41 ? 39 : 40) : rest;
            aircraft += kPathSep + std::string(k, 'd');
        }
        ASSERT_EQ(aircraft.size(), length);
        WriteStockAircraft(aircraft, 17);
        const auto before = Snapshot(aircraft);
        const int got = CopyAircraft(aircraft.c_str(), "XY", 17);
        if (length == 217) {
            EXPECT_EQ(got, CopyOk);
            EXPECT_TRUE(SameTree(ExpectedCopy(aircraft, 17, "XY"), Snapshot(JoinPath({aircraft, "XYitfire_MkI"}))));
        } else {
            EXPECT_EQ(got, CopyFileError) << "a path too long for its buffer must refuse the copy";
            EXPECT_TRUE(SameTree(before, Snapshot(aircraft))) << "a refused copy created something";
        }
    }
}

TEST_F(CopyAircraftTest, MissingStockFileIsSkippedSilentlyAndOthersFoundInAnyCase) {
    WriteStockAircraft(aircraft, 1);
    fs::remove(JoinPath({aircraft, "P51d", "Model", "P51d_c.mdl"}));
    fs::remove(JoinPath({aircraft, "P51d", "Texture", "P51Tex2.bmp"}));
#ifndef _WIN32
    // Windows finds "p51D\Model\P51D_N.MDL" for "P51d\Model\P51d_n.mdl"; so must the copy everywhere.
    fs::rename(JoinPath({aircraft, "P51d", "Model", "P51d_n.mdl"}), JoinPath({aircraft, "P51d", "Model", "P51D_N.MDL"}));
    fs::rename(JoinPath({aircraft, "P51d"}), JoinPath({aircraft, "p51D"}));
#endif
    EXPECT_EQ(CopyAircraft(aircraft.c_str(), "Ab", 1), CopyOk);
    const auto want = ExpectedCopy(aircraft, 1, "Ab");
    EXPECT_FALSE(want.count("Model/Ab1d_c.mdl") || want.count("Texture/Ab1Tex2.bmp"));
    EXPECT_TRUE(want.count("Model/Ab1d_n.mdl"));
    EXPECT_TRUE(SameTree(want, Snapshot(JoinPath({aircraft, "Ab1d"}))));
}

#ifndef _WIN32
// A file-size limit makes the large model's write fail after the new folder
// exists: the copy goes on to the end of the list and then reports it.
TEST_F(CopyAircraftTest, DestinationThatCannotBeWrittenGivesFileErrorAfterTheWholeWalk) {
    WriteStockAircraft(aircraft, 17);
    WriteBytes(JoinPath({aircraft, "Spitfire_MkI", "Model", "spitfire_mki_n.mdl"}), std::string(100000, 'S'));
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 8192;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int got = CopyAircraft(aircraft.c_str(), "XY", 17);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(got, CopyFileError);
    EXPECT_EQ(ReadBytes(JoinPath({aircraft, "XYitfire_MkI", "Panel", "panel.cfg"})), RefAlias("Spitfire_MkI", "panel"))
        << "the walk stopped at the failed file";
}
#endif

// Every stock aircraft of a generated simulator, copied one after another:
// each new folder holds exactly the expected names and bytes, and nothing
// else anywhere changes.
TEST(CopyAircraftDemo, EveryStockAircraftCopiesExactly) {
    TempDir root;
    ASSERT_EQ(WriteDemoSimulator(root.str().c_str()), 0);
    const std::string aircraft = JoinPath({root.str(), "Aircraft"});
    const auto before = Snapshot(root.str());
    std::vector<std::string> made;
    for (int i = 0; i < 19; ++i) {
        const StockAircraft& a = kStockAircraft[i];
        // Distinct two-letter starts keep the new folders apart; every third is shorter than the stem.
        const std::string prefix = std::string("Q") + static_cast<char>('a' + i) + (i % 3 ? "x7w" : "");
        SCOPED_TRACE(std::string(a.folder) + " with prefix " + prefix);
        const auto want = ExpectedCopy(aircraft, i, prefix);
        ASSERT_EQ(static_cast<int>(want.size()), a.entries) << "the demo simulator lacks a stock file";
        // A demo model without the words the copy rewrites would make this test prove little.
        for (const StockFile& f : StockFileList(a))
            if (f.action >= 3 && f.action <= 5) {
                EXPECT_NE(want.at("Model/" + RefWithStem(f.name, RefNewStem(a, prefix))),
                          ReadBytes(FindIgnoringCase(aircraft, std::string(a.folder) + "/Model/" + f.name)))
                    << f.name << " holds nothing to rewrite";
            }
        EXPECT_EQ(CopyAircraft(aircraft.c_str(), prefix.c_str(), i), CopyOk);
        made.push_back(RefNewFolder(a, prefix));
        EXPECT_TRUE(SameTree(want, Snapshot(JoinPath({aircraft, made.back()}))));
    }
    auto after = Snapshot(root.str());
    for (const std::string& folder : made)
        for (auto it = after.begin(); it != after.end();)
            it = it->first == "Aircraft/" + folder || it->first.rfind("Aircraft/" + folder + "/", 0) == 0
                     ? after.erase(it)
                     : std::next(it);
    EXPECT_TRUE(SameTree(before, after)) << "the stock tree changed or something was written outside the new folders";
}

} // namespace
