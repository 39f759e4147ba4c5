// Where the dialog looks for the simulator when the player picks a folder,
// and which folder it shows for a copy: on real folders.
#include "platform.h"
#include "sim_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Folders : ::testing::Test {
    // Short, as the VirtualStore case nests the whole path inside itself, and
    // one per test, as ctest runs them side by side.
    const fs::path root = fs::temp_directory_path() /
        ("vantorel-path-" + std::to_string(std::hash<std::string>{}(
                                ::testing::UnitTest::GetInstance()->current_test_info()->name()) % 100000));
    void SetUp() override { fs::remove_all(root); }
    void TearDown() override { fs::remove_all(root); }
    std::string Make(const std::string& relative) {
        const fs::path path = (root / relative).make_preferred();
        fs::create_directories(path);
        return path.string();
    }
};

TEST_F(Folders, APickedFolderCountsWhenItsAircraftFolderOrItselfHoldsAStockAircraft) {
    Make("cfs/Aircraft/P51D");        // letter case aside
    Make("cfs/Aircraft/XY1d");
    Make("copies-only/Aircraft/XY1d");  // a copy is no stock aircraft
    Make("renamed/Planes/Bf109g");      // an Aircraft folder by another name
    const std::string cfsAircraft = Make("cfs/Aircraft");
    // found "": refused.
    struct Case { std::string picked, found; };
    for (const Case& c : {
             Case{(root / "cfs").string(), cfsAircraft},
             Case{(root / "cfs").string() + kPathSep, cfsAircraft},
             Case{cfsAircraft, cfsAircraft},
             Case{(root / "renamed" / "Planes").string(), (root / "renamed" / "Planes").string()},
             Case{(root / "renamed").string(), ""},
             Case{(root / "copies-only").string(), ""},
             Case{"", ""},
             Case{std::string(300, 'a'), ""},
         }) {
        char out[kAircraftPathCapacity] = "stale";
        EXPECT_EQ(FindAircraftFolder(c.picked.c_str(), out), !c.found.empty()) << c.picked;
        EXPECT_EQ(std::string(out), c.found) << c.picked;
    }
}

TEST(VirtualStore, APathBelowADriveMapsToTheSameRelativePathInThePlayersVirtualStore) {
    const std::string store = "C:\\Users\\ann\\AppData\\Local\\VirtualStore\\";
    // mapped "": not redirected.
    struct Case { const char *path, *localAppData; std::string mapped; };
    for (const Case& c : {
             Case{"C:\\Program Files\\CFS\\Aircraft\\XY1d", "C:\\Users\\ann\\AppData\\Local",
                  store + "Program Files\\CFS\\Aircraft\\XY1d"},
             Case{"d:\\Games\\CFS", "C:\\Users\\ann\\AppData\\Local\\", "C:\\Users\\ann\\AppData\\Local\\VirtualStore\\Games\\CFS"},
             Case{"\\\\server\\share\\CFS", "C:\\Users\\ann\\AppData\\Local", ""},
             Case{"C:relative", "C:\\Users\\ann\\AppData\\Local", ""},
             Case{"/home/ann/cfs", "C:\\Users\\ann\\AppData\\Local", ""},
             Case{"C:\\Program Files\\CFS", "", ""},  // Windows XP: no VirtualStore
         }) {
        std::string out = "stale";
        EXPECT_EQ(VirtualStorePath(c.path, c.localAppData, &out), !c.mapped.empty()) << c.path;
        if (!c.mapped.empty()) {
            EXPECT_EQ(out, c.mapped) << c.path;
        }
    }
}

TEST_F(Folders, OpenFolderShowsTheTexturesWhereTheCopyIsAtItsPathOrElseInTheVirtualStore) {
    const std::string copy = Make("cfs/Aircraft/XY1d");
    EXPECT_EQ(FolderToOpen(copy, ""), copy) << "a copy without textures";
    const std::string textures = Make("cfs/Aircraft/XY1d/Texture");
    EXPECT_EQ(FolderToOpen(copy, ""), textures);
    EXPECT_EQ(FolderToOpen(copy + "x", ""), "") << "a copy that is gone";
#ifdef _WIN32
    // Only Windows paths have a drive to drop; Wine shows this folder as Z:.
    const std::string local = Make("local"), redirected = copy + "-elsewhere";
    const std::string inStore = local + "\\VirtualStore" + redirected.substr(2);
    fs::create_directories(fs::path(inStore) / "Texture");
    EXPECT_EQ(FolderToOpen(redirected, local), inStore + "\\Texture");
    EXPECT_EQ(FolderToOpen(copy, local), textures) << "a copy at its own path is shown there";
#endif
}

}  // namespace
