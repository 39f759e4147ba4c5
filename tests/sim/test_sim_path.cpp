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
        fs::create_directories((root / relative).make_preferred());
        return (root / relative).make_preferred().string();
    }
};

TEST_F(Folders, APickedFolderCountsWhenItsAircraftFolderOrItselfHoldsAStockAircraft) {
    const std::string cfs = Make("cfs"), aircraft = Make("cfs/Aircraft"), planes = Make("renamed/Planes");
    Make("cfs/Aircraft/P51D");          // letter case aside
    Make("copies-only/Aircraft/XY1d");  // a copy is no stock aircraft
    Make("renamed/Planes/Bf109g");      // an Aircraft folder by another name
    // found "": refused.
    struct Case { std::string picked, found; };
    for (const Case& c : {Case{cfs, aircraft}, Case{cfs + kPathSep, aircraft}, Case{aircraft, aircraft},
                          Case{planes, planes}, Case{Make("renamed"), ""}, Case{Make("copies-only"), ""},
                          Case{"", ""}, Case{std::string(300, 'a'), ""}}) {
        char out[kAircraftPathCapacity] = "stale";
        EXPECT_EQ(FindAircraftFolder(c.picked.c_str(), out), !c.found.empty()) << c.picked;
        EXPECT_EQ(std::string(out), c.found) << c.picked;
    }
}

TEST(VirtualStore, APathBelowADriveMapsToTheSameRelativePathInThePlayersVirtualStore) {
    const std::string local = "C:\\Users\\ann\\AppData\\Local";
    // mapped "": not redirected.
    struct Case { const char* path; std::string localAppData, mapped; };
    for (const Case& c : {Case{"C:\\Program Files\\CFS\\Aircraft\\XY1d", local, local + "\\VirtualStore\\Program Files\\CFS\\Aircraft\\XY1d"},
                          Case{"d:\\Games\\CFS", local + "\\", local + "\\VirtualStore\\Games\\CFS"},
                          Case{"\\\\server\\share\\CFS", local, ""}, Case{"C:relative", local, ""},
                          Case{"/home/ann/cfs", local, ""}, Case{"C:\\Program Files\\CFS", "", ""} /* XP: none */}) {
        std::string out;
        EXPECT_EQ(VirtualStorePath(c.path, c.localAppData.c_str(), &out), !c.mapped.empty()) << c.path;
        EXPECT_EQ(out, c.mapped) << c.path;
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
    const std::string inStore = Make("local/VirtualStore" + redirected.substr(2) + "/Texture");
    EXPECT_EQ(FolderToOpen(redirected, local), inStore);
    EXPECT_EQ(FolderToOpen(copy, local), textures) << "a copy at its own path is shown there";
#endif
}

}  // namespace
