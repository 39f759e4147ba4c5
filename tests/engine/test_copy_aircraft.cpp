// The catalogue and whole-aircraft copies: what a copy makes, what it refuses.
#include "copy_aircraft.h"
#include "demo_sim.h"
#include "engine_support.h"  // also the catalogue, the path separator, GoogleTest and std::filesystem

#ifndef _WIN32
#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#endif

#include <cerrno>

namespace fs = std::filesystem;

namespace {

// Every stock aircraft of a generated simulator, copied one after another:
// listed in the dialog's order, each entry reported in list order, each new
// folder holding exactly the expected names and bytes, nothing else anywhere
// changed. A missing stock file only leaves the copy without it.
TEST(CopyAircraftDemo, EveryStockAircraftIsListedAndCopiesExactly) {
    ASSERT_EQ(GetAircraftCount(), 19);
    TempDir root;
    ASSERT_EQ(WriteDemoSimulator(root.path.c_str()), 0);
    const std::string aircraft = Path(root.path, "Aircraft");
    fs::remove(Path(aircraft, "P51d/Model/P51d_c.mdl"));
    Tree expected = Snapshot(root.path);
    for (int i = 0; i < 19; ++i) {
        EXPECT_STREQ(GetAircraftName(i), kStockAircraft[i].folder) << "aircraft " << i << " has the wrong name";
        EXPECT_EQ(GetStemLength(i), kStockAircraft[i].stemLength) << kStockAircraft[i].folder;
        // Distinct two-letter starts keep the new folders apart; every third is shorter than the stem.
        const std::string prefix = std::string("Q") + static_cast<char>('a' + i) + (i % 3 ? "x7w" : "");
        SCOPED_TRACE(std::string(kStockAircraft[i].folder) + " with prefix " + prefix);
        std::vector<std::string> reported, want;
        auto collect = [](const CopyStep& s, void* v) { static_cast<std::vector<std::string>*>(v)->push_back(s.dest); };
        EXPECT_EQ(CopyAircraftReport(aircraft.c_str(), prefix.c_str(), i, false, collect, &reported), CopyOk);
        for (const auto& [dest, bytes] : ExpectedCopy(aircraft, i, prefix)) {
            want.push_back(dest);
            if (bytes != "<missing>") expected[dest] = bytes;
        }
        expected[fs::path(want.front()).parent_path().string()] = "<dir>";  // the new folder, Aircraft.cfg's
        // Aircraft.cfg is renamed into place once everything else is there.
        std::rotate(want.begin(), want.begin() + 1, want.end());
        EXPECT_EQ(reported, want) << "entries missing or reported out of list order";
    }
    EXPECT_TRUE(SameTree(expected, Snapshot(root.path)))
        << "a copy is wrong, the stock tree changed, or something was written outside the new folders";
}

#ifndef _WIN32
// Windows finds "p51D/Model/P51D_N.MDL" for "P51d/Model/P51d_n.mdl"; so must the copy everywhere.
TEST(CopyAircraft, StockFilesAreFoundInAnyLetterCase) {
    TempDir root;
    const std::string aircraft = Path(root.path, "Aircraft");
    WriteBytes(Path(aircraft, "p51D/Model/P51D_N.MDL"), "P51d_n p51D \x80");
    EXPECT_EQ(CopyAircraft(aircraft.c_str(), "Ab", 1), CopyOk);
    EXPECT_EQ(ReadBytes(Path(aircraft, "Ab1d/Model/Ab1d_n.mdl")), "Ab1d_n Ab1D \x80");
}

// A full disk part way through (a file-size limit here): the copy says which
// file failed and why, and takes back all it made, so the simulator never
// lists a half aircraft and a retry with the same prefix is free.
TEST(CopyAircraft, AFailedWriteTakesBackEverythingTheCopyMade) {
    TempDir root;
    const std::string aircraft = Path(root.path, "Aircraft");
    WriteBytes(Path(aircraft, "Spitfire_MkI/Model/spitfire_mki_n.mdl"), std::string(100000, 'S'));
    WriteBytes(Path(aircraft, "Spitfire_MkI/Aircraft.cfg"), "[fltsim]\r\ntitle=Spitfire\r\n");
    const Tree before = Snapshot(root.path);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const rlimit small{8192, saved.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);  // a short write, not the end of the test program
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    CopyFailure why;
    const CopyStatus got = CopyAircraftReport(aircraft.c_str(), "XY", 17, false, nullptr, nullptr, &why);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(got, CopyFileError);
    EXPECT_EQ(why.error, EFBIG);
    EXPECT_NE(std::string(why.path).find("XYitfire_mki_n.mdl"), std::string::npos) << why.path;
    EXPECT_TRUE(SameTree(before, Snapshot(root.path))) << "the failed copy left something behind";
    EXPECT_EQ(CopyAircraft(aircraft.c_str(), "XY", 17), CopyOk) << "the retry was refused";
}

// Writes go through the handle of the folder the copy made: swapping that
// folder for a link to somewhere else mid-copy cannot steer them there, and
// no file is written over one that is already there.
TEST(CopyAircraft, WritesStayInTheFolderTheCopyMade) {
    TempDir root;
    const std::string made = Path(root.path, "XY1d"), moved = Path(root.path, "moved"),
                      elsewhere = Path(root.path, "home");
    fs::create_directories(made + "/Texture");
    fs::create_directory(elsewhere);
    ASSERT_EQ(PlatformBeginWrites(made.c_str()), 0);
    fs::rename(made, moved);
    fs::create_directory_symlink(elsewhere, made);
    std::FILE* f = PlatformOpenWrite(Path(made, "Texture/XY1.bmp").c_str());
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_EQ(PlatformMakeFolder(Path(made, "Panel").c_str()), 0);
    EXPECT_EQ(PlatformOpenWrite(Path(made, "Texture/XY1.bmp").c_str()), nullptr) << "a file was written over";
    PlatformEndWrites();
    EXPECT_TRUE(fs::is_empty(elsewhere)) << "a write followed the swapped-in link";
    EXPECT_TRUE(fs::exists(moved + "/Texture/XY1.bmp") && fs::is_directory(moved + "/Panel"));
}

// A copy interrupted before its Aircraft.cfg was renamed into place is named
// as such, so the player knows what the folder is; anything else is a folder
// that exists.
TEST(CopyAircraft, AnInterruptedCopyIsRecognisedWhenItsNameIsUsedAgain) {
    TempDir root;
    const std::string aircraft = Path(root.path, "Aircraft");
    fs::create_directories(Path(aircraft, "P51d"));
    struct Row { const char* file; bool unfinished; };
    for (const Row& r : {Row{"Aircraft.cfg.tmp", true}, Row{"Model/xy1D_N.mdl", true},
                         Row{"Aircraft.cfg", false}, Row{"notes.txt", false}}) {
        fs::remove_all(Path(aircraft, "XY1d"));
        WriteBytes(Path(aircraft, std::string("XY1d/") + r.file), "x");
        CopyFailure why;
        EXPECT_EQ(CopyAircraftReport(aircraft.c_str(), "XY", 1, false, nullptr, nullptr, &why), CopyFolderExists);
        EXPECT_EQ(why.unfinishedCopy, r.unfinished) << r.file;
    }
}
#endif

// A stock file that is there but cannot be read (a folder in its place) is a
// file error naming the stock file and its reason, not a missing file; the
// copy ends there and takes back what it made.
TEST(CopyAircraft, StockFileThatCannotBeReadGivesFileErrorWithItsReason) {
    TempDir root;
    const std::string aircraft = Path(root.path, "Aircraft");
    fs::create_directories(Path(aircraft, "P51d/Model/P51d_n.mdl"));
    std::vector<CopyStep> steps;
    auto collect = [](const CopyStep& s, void* v) { static_cast<std::vector<CopyStep>*>(v)->push_back(s); };
    CopyFailure why;
    EXPECT_EQ(CopyAircraftReport(aircraft.c_str(), "Ab", 1, false, collect, &steps, &why), CopyFileError);
    EXPECT_EQ(why.error, EISDIR);
    EXPECT_EQ(std::string(why.path), Path(aircraft, "P51d/Model/P51d_n.mdl"));
    const std::string model = Path(aircraft, "Ab1d/Model/Ab1d_n.mdl");
    const auto it = std::find_if(steps.begin(), steps.end(), [&](const CopyStep& s) { return s.dest == model; });
    ASSERT_NE(it, steps.end());
    EXPECT_EQ(it->outcome, FileSourceUnreadable);
    EXPECT_EQ(it->error, EISDIR);
    EXPECT_FALSE(fs::exists(Path(aircraft, "Ab1d")));
}

// Every refusal comes before anything is created, checked in this order: the
// prefix, the path lengths, the stock folder, then the new folder itself.
// `existing` is a folder already there, holding an earlier copy's file;
// `pathLength` the length of the Aircraft folder's path when it matters.
TEST(CopyAircraftRefusal, RefusedCopiesCreateNothing) {
    struct Row { int index; std::string prefix; bool stockFolder; const char* existing; int want;
                 std::size_t pathLength = 0; };
    std::vector<Row> rows = {
        {0, "A*", false, nullptr, CopyInvalidName},
        {17, "XY", false, "XYitfire_MkI", CopyPathNotFound},
        {17, "", true, nullptr, CopyFolderExists},  // the empty prefix names the stock folder itself
        {17, "XY", true, "xyITFIRE_mki", CopyFolderExists},
        // Accepted: characters past the stem are never used, and a device name must be whole.
        {0, "ZZ9*", true, nullptr, CopyOk},
        {8, "CONX.", true, nullptr, CopyOk},
        {14, "A.", true, nullptr, CopyOk},
        // A Spitfire copy's longest path is the Aircraft folder's plus 38 characters: 217 fit 256-character buffers.
        {17, "XY", true, nullptr, CopyOk, 217},
        {17, "XY", true, nullptr, CopyFileError, 218},
    };
    for (char c : std::string("\\/:*?\"<>|\x01\t\x1f\x7f"))
        rows.push_back({0, std::string("A") + c, true, nullptr, CopyInvalidName});
    for (const char* p : {"AB.", "AB ", "con", "Prn", "aUx", "NUL"}) rows.push_back({0, p, true, nullptr, CopyInvalidName});
    // Bf109g: a five-letter stem, then "g", so the prefix makes e.g. "COM1.g".
    // Windows drops the blanks before a dot: "CON .g" opens the console.
    for (const char* p : {"CON.x", "nul.A", "aux.x", "COM1.", "com9.", "LPT1.", "Lpt9.", "CON .", "AUX ."})
        rows.push_back({8, p, true, nullptr, CopyInvalidName});
    // A leading blank is trimmed by the simulator's reader ("sim= XY1d").
    rows.push_back({1, " X", true, nullptr, CopyInvalidName});
#ifndef _WIN32
    // UTF-8 bytes are not the names Wine shows the game, and a cut may split them.
    for (const char* p : {"\xC3\xA9", "A\xC3\xA9\xC3\xA9"}) rows.push_back({1, p, true, nullptr, CopyInvalidName});
#endif
    for (const Row& r : rows) {
        SCOPED_TRACE("prefix \"" + r.prefix + "\" on " + kStockAircraft[r.index].folder);
        TempDir root;
        std::string aircraft = Path(root.path, "Aircraft");
        if (r.pathLength) aircraft = root.path + kPathSep + std::string(r.pathLength - root.path.size() - 1, 'd');
        if (r.stockFolder) fs::create_directories(Path(aircraft, kStockAircraft[r.index].folder));
        if (r.existing) WriteBytes(Path(aircraft, std::string(r.existing) + "/keep.txt"), "an earlier copy");
        const Tree before = Snapshot(root.path);
        EXPECT_EQ(CopyAircraft(aircraft.c_str(), r.prefix.c_str(), r.index), r.want);
        if (r.want != CopyOk) { EXPECT_TRUE(SameTree(before, Snapshot(root.path))); }
    }
}

} // namespace
