// The catalogue and whole-aircraft copies: what a copy makes, what it refuses.
#include "copy_aircraft.h"
#include "demo_sim.h"
#include "engine_support.h"  // also the catalogue and the path separator

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace fs = std::filesystem;

namespace {

// Names and stem lengths in the order of the dialog's list. The file lists
// are proven entry by entry by the copies of the demo simulator below.
TEST(Catalogue, ListsTheNineteenStockAircraftInOrder) {
    ASSERT_EQ(GetAircraftCount(), 19);
    for (int i = 0; i < 19; ++i) {
        EXPECT_STREQ(GetAircraftName(i), kStockAircraft[i].folder) << "aircraft " << i << " has the wrong name";
        EXPECT_EQ(GetStemLength(i), kStockAircraft[i].stemLength) << kStockAircraft[i].folder;
    }
}

// Every stock aircraft of a generated simulator, copied one after another:
// each entry is reported in list order with its paths, each new folder holds
// exactly the expected names and bytes, and nothing else anywhere changes.
TEST(CopyAircraftDemo, EveryStockAircraftCopiesExactly) {
    TempDir root;
    ASSERT_EQ(WriteDemoSimulator(root.path.c_str()), 0);
    const std::string aircraft = Path(root.path, "Aircraft");
    Tree expected = Snapshot(root.path);
    for (int i = 0; i < 19; ++i) {
        // Distinct two-letter starts keep the new folders apart; every third is shorter than the stem.
        const std::string prefix = std::string("Q") + static_cast<char>('a' + i) + (i % 3 ? "x7w" : "");
        SCOPED_TRACE(std::string(kStockAircraft[i].folder) + " with prefix " + prefix);
        const std::vector<ExpectedStep> want = ExpectedCopy(aircraft, i, prefix);
        std::vector<CopyStep> steps;
        auto collect = [](const CopyStep& s, void* v) { static_cast<std::vector<CopyStep>*>(v)->push_back(s); };
        EXPECT_EQ(CopyAircraftReport(aircraft.c_str(), prefix.c_str(), i, false, collect, &steps), CopyOk);
        ASSERT_EQ(steps.size(), want.size()) << "wrong number of entries, or the demo simulator lacks a stock file";
        for (std::size_t k = 0; k < steps.size(); ++k) {
            EXPECT_EQ(static_cast<int>(steps[k].entry->action), static_cast<int>(want[k].action))
                << "file-list action of entry " << k << ", " << steps[k].entry->name;
            EXPECT_EQ(std::string(steps[k].source), want[k].source) << "entry " << k;
            EXPECT_EQ(std::string(steps[k].dest), want[k].dest) << "entry " << k;
            EXPECT_EQ(steps[k].outcome, FileWritten) << steps[k].dest;
            expected[want[k].dest] = want[k].bytes;
        }
        expected[Path(aircraft, RefNewFolder(kStockAircraft[i], prefix))] = "<dir>";
    }
    EXPECT_TRUE(SameTree(expected, Snapshot(root.path)))
        << "a copy is wrong, the stock tree changed, or something was written outside the new folders";
}

TEST(CopyAircraft, MissingStockFilesAreSkippedSilentlyAndOthersFoundInAnyCase) {
    TempDir root;
    const std::string aircraft = Path(root.path, "Aircraft");
    WriteBytes(Path(aircraft, "P51d/Model/P51d_n.mdl"), "P51d_n p51D \x80");
    Tree want;
    for (const ExpectedStep& s : ExpectedCopy(aircraft, 1, "Ab"))
        if (s.bytes != "<missing>") want[s.dest] = s.bytes;
#ifndef _WIN32
    // Windows finds "p51D\Model\P51D_N.MDL" for "P51d\Model\P51d_n.mdl"; so must the copy everywhere.
    fs::rename(Path(aircraft, "P51d/Model/P51d_n.mdl"), Path(aircraft, "P51d/Model/P51D_N.MDL"));
    fs::rename(Path(aircraft, "P51d"), Path(aircraft, "p51D"));
#endif
    EXPECT_EQ(CopyAircraft(aircraft.c_str(), "Ab", 1), CopyOk);
    EXPECT_TRUE(SameTree(want, Snapshot(Path(aircraft, "Ab1d"))));
}

#ifndef _WIN32
// A file-size limit makes the model's write fail once the new folder exists:
// the copy still walks the rest of the list, then reports the failure.
TEST(CopyAircraft, DestinationThatCannotBeWrittenGivesFileErrorAfterTheWholeWalk) {
    TempDir root;
    const std::string aircraft = Path(root.path, "Aircraft");
    WriteBytes(Path(aircraft, "Spitfire_MkI/Model/spitfire_mki_n.mdl"), std::string(100000, 'S'));
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const rlimit small{8192, saved.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);  // a short write, not the end of the test program
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int got = CopyAircraft(aircraft.c_str(), "XY", 17);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(got, CopyFileError);
    EXPECT_EQ(ReadBytes(Path(aircraft, "XYitfire_MkI/Panel/panel.cfg")), "[fltsim]\nalias=Spitfire_MkI\\panel\n")
        << "the walk stopped at the failed file";
}
#endif

// Every refusal comes before anything is created, checked in this order: the
// prefix, the stock folder, then the new folder itself. `existing` is a folder
// already there, holding an earlier copy's file.
TEST(CopyAircraftRefusal, RefusedCopiesCreateNothing) {
    struct Row { int index; std::string prefix; bool stockFolder; const char* existing; int want; };
    std::vector<Row> rows;
    for (char c : std::string("\\/:*?\"<>|\x01\t\x1f\x7f"))
        rows.push_back({0, std::string("A") + c, true, nullptr, CopyInvalidName});
    for (const char* p : {"AB.", "AB ", "CON", "con", "Prn", "aUx", "NUL"})
        rows.push_back({0, p, true, nullptr, CopyInvalidName});
    // Bf109g: a five-letter stem, then "g", so the prefix makes e.g. "COM1.g".
    for (const char* p : {"CON.x", "nul.A", "aux.x", "COM1.", "com9.", "LPT1.", "Lpt9."})
        rows.push_back({8, p, true, nullptr, CopyInvalidName});
    rows.insert(rows.end(), {
        {0, "A*", false, nullptr, CopyInvalidName},
        {17, "XY", false, nullptr, CopyPathNotFound},
        {17, "XY", false, "XYitfire_MkI", CopyPathNotFound},
        {17, "", true, nullptr, CopyFolderExists},  // the empty prefix names the stock folder itself
        {0, "P3", true, nullptr, CopyFolderExists},
        {17, "XY", true, "XYitfire_MkI", CopyFolderExists},
        {17, "XY", true, "xyITFIRE_mki", CopyFolderExists},
        // Accepted: characters past the stem are never used, and a device name must be whole.
        {0, "ZZ9*", true, nullptr, CopyOk},
        {8, "CONX.", true, nullptr, CopyOk},
        {14, "A.", true, nullptr, CopyOk},
    });
    for (const Row& r : rows) {
        SCOPED_TRACE("prefix \"" + r.prefix + "\" on " + kStockAircraft[r.index].folder +
                     (r.stockFolder ? "" : " without its folder") + (r.existing ? " over an earlier copy" : ""));
        TempDir root;
        const std::string aircraft = Path(root.path, "Aircraft");
        fs::create_directories(aircraft);
        if (r.stockFolder) fs::create_directories(Path(aircraft, kStockAircraft[r.index].folder));
        if (r.existing) WriteBytes(Path(aircraft, std::string(r.existing) + "/keep.txt"), "an earlier copy");
        const Tree before = Snapshot(root.path);
        EXPECT_EQ(CopyAircraft(aircraft.c_str(), r.prefix.c_str(), r.index), r.want);
        if (r.want != CopyOk) {
            EXPECT_TRUE(SameTree(before, Snapshot(root.path)));
        }
    }
}

// The longest path a Spitfire copy builds is the Aircraft folder plus 38
// characters; with 217 it fits the 256-character buffers, with 218 it does not.
TEST(CopyAircraftPaths, AircraftFolderPathUpToTheBufferLimit) {
    for (std::size_t length : {217u, 218u}) {
        TempDir root;
        const std::string aircraft = root.path + kPathSep + std::string(length - root.path.size() - 1, 'd');
        WriteBytes(Path(aircraft, "Spitfire_MkI/Texture/spit_wings_r.bmp"), "BM texture");
        const Tree before = Snapshot(aircraft);
        const int got = CopyAircraft(aircraft.c_str(), "XY", 17);
        if (length == 217) {
            EXPECT_EQ(got, CopyOk);
            EXPECT_EQ(ReadBytes(Path(aircraft, "XYitfire_MkI/Texture/XYit_wings_r.bmp")), "BM texture");
        } else {
            EXPECT_EQ(got, CopyFileError) << "a path too long for its buffer must refuse the copy";
            EXPECT_TRUE(SameTree(before, Snapshot(aircraft))) << "a refused copy created something";
        }
    }
}

} // namespace
