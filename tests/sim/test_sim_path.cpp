// Where the dialog looks for the simulator when the player picks a folder,
// and which folder it shows for a copy: on real folders.
#include "platform.h"
#include "sim_path.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Makes `relative` below `root`; its path.
std::string Make(const TempDir& root, const std::string& relative) {
    std::filesystem::create_directories(Path(root.path, relative));
    return Path(root.path, relative);
}

TEST(PickedFolder, CountsWhenItsAircraftFolderOrItselfHoldsAStockAircraft) {
    TempDir root;
    const std::string cfs = Make(root, "cfs"), aircraft = Make(root, "cfs/Aircraft"), planes = Make(root, "renamed/Planes");
    Make(root, "cfs/Aircraft/P51D");          // letter case aside
    Make(root, "cfs/Bf109e");                 // unpacked beside the Aircraft folder: that folder still wins
    Make(root, "copies-only/Aircraft/XY1d");  // a copy is no stock aircraft
    Make(root, "renamed/Planes/Bf109g");      // an Aircraft folder by another name
    // found "": refused.
    struct Case { std::string picked, found; };
    for (const Case& c : {Case{cfs, aircraft}, Case{cfs + kPathSep, aircraft}, Case{aircraft, aircraft},
                          Case{planes, planes}, Case{Make(root, "renamed"), ""}, Case{Make(root, "copies-only"), ""},
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

TEST(OpenFolder, ShowsTheTexturesWhereTheCopyIsAtItsPathOrElseInTheVirtualStore) {
    TempDir root;
    const std::string copy = Make(root, "cfs/Aircraft/XY1d");
    EXPECT_EQ(FolderToOpen(copy, ""), copy) << "a copy without textures";
    const std::string textures = Make(root, "cfs/Aircraft/XY1d/Texture");
    EXPECT_EQ(FolderToOpen(copy, ""), textures);
    EXPECT_EQ(FolderToOpen(copy + "x", ""), "") << "a copy that is gone";
#ifdef _WIN32
    // Only Windows paths have a drive to drop; Wine shows this folder as Z:.
    const std::string local = Make(root, "local"), redirected = copy + "-elsewhere";
    const std::string inStore = Make(root, "local/VirtualStore" + redirected.substr(2) + "/Texture");
    EXPECT_EQ(FolderToOpen(redirected, local), inStore);
    EXPECT_EQ(FolderToOpen(copy, local), textures) << "a copy at its own path is shown there";
#endif
}

}  // namespace
