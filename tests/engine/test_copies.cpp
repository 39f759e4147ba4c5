// Copies made earlier: which folders are copies, and removing one without
// touching the player's own files, anything behind a link, or the real trash.
#include "copies.h"
#include "engine_support.h"
#include "trash.h"

#include <cctype>
#include <cstring>
#include <cstdlib>
#include <regex>
#include <thread>
#include <atomic>

namespace fs = std::filesystem;

namespace {

std::string Native(std::string path) {
    std::replace(path.begin(), path.end(), '/', kPathSep);
    return path;
}

using Copies = DemoSim;

// Each row makes a folder (usually a real copy, then changed) and says what
// FindCopies must make of it; stockIndex -1 means "not a copy".
TEST_F(Copies, FoldersAreRecognisedByNameAliasFilesAndTheirParts) {
    struct Row { std::string folder; int stockIndex; bool finished; std::vector<std::string> playerFiles; };
    std::vector<Row> rows;
    auto expect = [&](const std::string& path, int index, bool finished, std::vector<std::string> own = {}) {
        for (std::string& p : own) p = Native(p);
        rows.push_back({fs::path(path).filename().string(), index, finished, own});
    };
    expect(Copy(1, "XY"), 1, true);
    std::string c = Copy(1, "Ab");  // without a file its stock folder has: unfinished
    fs::remove(Path(c, "Model/Ab1d_c.mdl"));
    expect(c, 1, false);
    c = Copy(17, "Zz");  // without Aircraft.cfg, even were its stock file gone
    fs::remove(Path(c, "Aircraft.cfg"));
    expect(c, 17, false);
    fs::remove(Path(aircraft, "B17g/Texture/b17_1.bmp"));  // made while a stock file was missing: complete
    expect(Copy(3, "Mm"), 3, true);
    c = Copy(4, "Mo");  // its whole Model folder gone
    fs::remove_all(Path(c, "Model"));
    expect(c, 4, false);
    c = Copy(5, "Rp");  // a repainted texture, same size: the player's; a model cut short: unfinished
    std::string paint = ReadBytes(Path(c, "Texture/Rp5j_w1.bmp"));
    paint[paint.size() / 2] ^= 0x5a;
    fs::remove(Path(c, "Texture/Rp5j_w1.bmp"));
    WriteBytes(Path(c, "Texture/Rp5j_w1.bmp"), paint);
    const std::string model = ReadBytes(Path(c, "Model/Rp5j_n.mdl"));
    fs::resize_file(Path(c, "Model/Rp5j_n.mdl"), model.size() / 2);
    expect(c, 5, false, {"Texture/Rp5j_w1.bmp"});
    c = Copy(2, "Pq");  // the player's files, a made name taken by a folder, and a foreign folder
    WriteBytes(Path(c, "notes.txt"), "mine");
    WriteBytes(Path(c, "Texture/Pq7_1.bmp.bak"), "mine");
    WriteBytes(Path(c, "Paint/scheme.psd"), "mine");
    fs::remove(Path(c, "Pq7d.dp"));
    fs::create_directory(Path(c, "Pq7d.dp"));
    expect(c, 2, false, {"Paint", "Pq7d.dp", "notes.txt", "Texture/Pq7_1.bmp.bak"});
    // Letter case as Windows ignores it: folder, subfolders and files.
    c = Copy(9, "Lc");
    fs::rename(Path(c, "Sound"), Path(c, "SOUND"));
    fs::rename(Path(c, "Model/Lc190a_n.mdl"), Path(c, "Model/LC190A_N.MDL"));
    fs::rename(c, Path(aircraft, "lC190A"));
    expect(Path(aircraft, "lC190A"), 9, true);
    // Names several stock aircraft could have: the parts found decide.
    expect(Copy(6, "Kk"), 6, true);        // "Kk7": P38's shape too, both alias p47d
    expect(Copy(13, "Jkl"), 13, true);     // "Jkl8a": also Ju87a's and Bf110's shape, all alias bf109e
    expect(Copy(4, "Bq"), 4, true);        // "Bq4j": B25j's shape too
    expect(Copy(10, "Dd"), 10, true);      // "Dd110": Ju87a's shape too
    // Near misses: not copies.
    expect(Copy(11, "Nn"), 11, true);  // Nn17z2, whose alias files the near misses reuse
    auto nearMiss = [&](const std::string& name, const std::string& sound, const std::string& panel) {
        WriteBytes(Path(aircraft, name + "/Aircraft.cfg"), "title=x");
        WriteBytes(Path(aircraft, name + "/Sound/sound.cfg"), sound);
        if (!panel.empty()) WriteBytes(Path(aircraft, name + "/Panel/panel.cfg"), panel);
        expect(Path(aircraft, name), -1, false);
    };
    const std::string sound = "[fltsim]\nalias=bf109e\\sound\n", panel = "[fltsim]\nalias=bf109e\\panel\n";
    nearMiss("Nn117z2", sound, panel);                              // one character too long
    nearMiss("Nn17z3", sound, panel);                               // another character after the stem
    nearMiss("Nm17z2", "[fltsim]\r\nalias=bf109e\\sound\r\n", panel); // line ends
    nearMiss("No17z2", sound + " ", panel);                         // one byte more
    nearMiss("Np17z2", "[fltsim]\nalias=Bf109e\\sound\n", panel);   // the target's letter case
    nearMiss("Nq17z2", sound, "");                                  // no panel alias
    nearMiss("Nr17z2", panel, sound);                               // swapped
    nearMiss("do17Z2", sound, panel);                               // a stock name in another case
    nearMiss("Abc", "[fltsim]\nalias=P51d\\sound\n", "[fltsim]\nalias=P51d\\panel\n");  // P38's shape, P51d's aliases
    WriteBytes(Path(aircraft, "Aircraft.txt"), "a file, not a folder");

    // Keyed in lower case: a rename that changes only letter case may keep the old name on Windows.
    auto lower = [](std::string s) { for (char& ch : s) ch = static_cast<char>(std::tolower(ch)); return s; };
    std::map<std::string, CopyInfo> found;
    for (const CopyInfo& info : FindCopies(aircraft.c_str())) found[lower(info.folder)] = info;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.folder);
        CopyInfo one;
        const bool recognised = RecogniseCopy(aircraft.c_str(), r.folder.c_str(), &one);
        ASSERT_EQ(recognised, r.stockIndex >= 0);
        ASSERT_EQ(found.count(lower(r.folder)), recognised ? 1u : 0u);
        if (!recognised) continue;
        const CopyInfo& f = found[lower(r.folder)];
        EXPECT_EQ(f.stockIndex, r.stockIndex);
        EXPECT_EQ(f.finished, r.finished);
        EXPECT_EQ(f.playerFiles, r.playerFiles);
        EXPECT_EQ(one.entries.size(), f.entries.size());
    }
    EXPECT_EQ(found.size(), 13u) << "a stock folder or a near miss was taken for a copy";
    CopyInfo info;
    for (const char* stock : {"P51d", "Do17z2", "C47"}) EXPECT_FALSE(RecogniseCopy(aircraft.c_str(), stock, &info)) << stock;
    // Any letter case finds the folder; the in-game name is its Aircraft.cfg's first title.
    ASSERT_TRUE(RecogniseCopy(aircraft.c_str(), "xy1D", &info));
    EXPECT_EQ(info.folder, "XY1d");
    EXPECT_EQ(info.title, "XY11D Mustang");
}

// Refusals and dry runs change nothing anywhere, the trash included; a dry
// run lists exactly what removal for good then removes: the copy's own
// entries, files before their folders, and not the folders holding the
// player's files, which stay with everything outside the copies.
TEST_F(Copies, RemovalTakesOnlyTheCopysOwnEntriesAndRefusalsAndDryRunsChangeNothing) {
    const std::string plain = Copy(1, "XY"), owned = Copy(8, "Qwert");
    WriteBytes(Path(owned, "notes.txt"), "mine");
    WriteBytes(Path(owned, "Texture/extra.bmp"), "mine");
    fs::create_directories(Path(aircraft, "Foreign/Sound"));
    WriteBytes(Path(aircraft, "Aircraft.txt"), "a file, not a folder");
    const Tree before = Snapshot(sim.path);
    struct Row { const char* name; RemoveStatus want; };
    const Row rows[] = {
        {"../Aircraft/XY1d", RemoveOutside}, {"XY1d/Model", RemoveOutside}, {"XY1d\\Model", RemoveOutside},
        {"/tmp", RemoveOutside}, {"C:", RemoveOutside}, {"..", RemoveOutside}, {".", RemoveOutside}, {"", RemoveOutside},
        {"P51d", RemoveStockAircraft}, {"p51D", RemoveStockAircraft}, {"Spitfire_MkI", RemoveStockAircraft},
        {"Foreign", RemoveNotACopy}, {"XY1e", RemoveNoSuchFolder}, {"Aircraft.txt", RemoveNotACopy},
    };
    RemoveResult r, dryPlain, dryOwned;
    for (const Row& row : rows)
        for (bool permanent : {false, true})
            for (bool dryRun : {false, true})
                EXPECT_EQ(RemoveCopy(aircraft.c_str(), row.name, permanent, dryRun, &r), row.want)
                    << '"' << row.name << "\" permanent " << permanent << " dry run " << dryRun;
    ASSERT_EQ(RemoveCopy(aircraft.c_str(), "XY1d", true, true, &dryPlain), RemoveOk);
    ASSERT_EQ(RemoveCopy(aircraft.c_str(), "Qwertg", true, true, &dryOwned), RemoveOk);
    EXPECT_EQ(dryPlain.removed.size(), 19u) << "18 entries and the folder itself";
    EXPECT_EQ(dryPlain.removed.front(), "Aircraft.cfg");
    ASSERT_EQ(RemoveCopy(aircraft.c_str(), "XY1d", false, true, &r), RemoveOk);
#ifndef _WIN32
    EXPECT_EQ(r.trashPath, Path(home.path, "data/Trash/files/XY1d"));
#endif
    EXPECT_TRUE(SameTree(before, Snapshot(sim.path)));
    EXPECT_FALSE(fs::exists(Path(home.path, "data")));

    Tree want;
    for (const auto& [path, bytes] : before)
        if (bytes == "mine" || (path.rfind(plain, 0) != 0 && path.rfind(owned, 0) != 0)) want[path] = bytes;
    want[owned] = want[Path(owned, "Texture")] = "<dir>";
    ASSERT_EQ(RemoveCopy(aircraft.c_str(), "XY1d", true, false, &r), RemoveOk);
    EXPECT_EQ(r.removed, dryPlain.removed);
    ASSERT_EQ(RemoveCopy(aircraft.c_str(), "qwERTg", true, false, &r), RemoveOk);
    EXPECT_EQ(r.removed, dryOwned.removed);
    EXPECT_EQ(r.copy.playerFiles, (std::vector<std::string>{"notes.txt", Native("Texture/extra.bmp")}));
    EXPECT_TRUE(SameTree(want, Snapshot(sim.path)));
}

// A copy cut short after any entry of its list (by a power cut, a killed
// process), or in the middle of writing it, is an unfinished copy to every
// command alike: listed, named so by a copy to the same name, removable.
TEST_F(Copies, ACopyCutShortAfterAnyEntryIsListedNamedAndRemovable) {
    for (int index : {1, 7}) {  // P51d; Bf109e with its texture-word rewrite
        SCOPED_TRACE(GetAircraftName(index));
        const std::string whole = Copy(index, "Cu"), reference = Path(sim.path, "reference");
        fs::rename(whole, reference);
        // The entries in the order the copy makes them, Aircraft.cfg first under its temporary name.
        std::vector<std::string> made;
        PlanCopySteps("", "Cu", index, [](const CopyStep& step, void* out) {
            static_cast<std::vector<std::string>*>(out)->push_back(std::strchr(step.dest, kPathSep) + 1);
        }, &made);
        for (std::size_t cut = 1; cut <= made.size(); ++cut)
            for (bool midWrite : {false, true}) {
                SCOPED_TRACE(made[cut - 1] + (midWrite ? " (half written)" : ""));
                const std::string& folder = whole;
                fs::create_directory(folder);
                bool partial = false;
                for (std::size_t k = 0; k < cut; ++k) {
                    const std::string from = Path(reference, made[k]);
                    const std::string to = made[k] == "Aircraft.cfg" ? Path(folder, "Aircraft.cfg.tmp") : Path(folder, made[k]);
                    if (fs::is_directory(from)) {
                        fs::create_directory(to);
                        continue;
                    }
                    std::string bytes = ReadBytes(from);
                    if (midWrite && k + 1 == cut && bytes.size() > 1) {
                        bytes.resize(bytes.size() / 2);
                        partial = true;
                    }
                    WriteBytes(to, bytes);
                }
                if (midWrite && !partial) {
                    fs::remove_all(folder);
                    continue;  // a folder entry: nothing to cut
                }
                CopyInfo info;
                ASSERT_TRUE(RecogniseCopy(aircraft.c_str(), fs::path(folder).filename().string().c_str(), &info));
                EXPECT_EQ(info.stockIndex, index);
                EXPECT_FALSE(info.finished);
                EXPECT_TRUE(info.playerFiles.empty());
                EXPECT_EQ(FindCopies(aircraft.c_str()).size(), 1u);
                CopyFailure why;
                EXPECT_EQ(CopyAircraftReport(aircraft.c_str(), "Cu", index, false, nullptr, nullptr, &why), CopyFolderExists);
                EXPECT_TRUE(why.unfinishedCopy);
                RemoveResult r;
                ASSERT_EQ(RemoveCopy(aircraft.c_str(), fs::path(folder).filename().string().c_str(), true, false, &r), RemoveOk);
                EXPECT_FALSE(fs::exists(folder));
            }
        fs::remove_all(reference);
    }
}

// A removal never takes a copy's folder while the copy is being made: it
// waits for the copy's hold on the Aircraft folder. A folder moved away all
// the same (by another program) fails the copy instead of being reported as
// made; a second removal of a copy already gone says there is none.
TEST_F(Copies, RemovalWaitsForACopyAndACopyWhoseFolderWentAwayFails) {
    const std::string folder = Copy(1, "XY");
    std::atomic<bool> released{false};
    const int lock = PlatformLockFolder(aircraft.c_str());
    std::thread holder([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        released = true;
        PlatformUnlockFolder(lock);
    });
    RemoveResult r;
    const RemoveStatus first = RemoveCopy(aircraft.c_str(), "XY1d", false, false, &r);
#ifndef _WIN32
    EXPECT_TRUE(released) << "the removal did not wait for the copy's lock";
#endif
    holder.join();
    EXPECT_EQ(first, RemoveOk);
    EXPECT_EQ(RemoveCopy(aircraft.c_str(), "XY1d", false, false, &r), RemoveNoSuchFolder);
    EXPECT_EQ(RemoveCopy(aircraft.c_str(), "XY1d", true, false, &r), RemoveNoSuchFolder);

    struct Mover { std::string from, to; int calls = 0; } mover{folder, Path(sim.path, "moved")};
    CopyFailure why;
    const CopyStatus status = CopyAircraftReport(aircraft.c_str(), "XY", 1, false, [](const CopyStep&, void* c) {
        Mover* m = static_cast<Mover*>(c);
        if (++m->calls == 3) std::filesystem::rename(m->from, m->to);
    }, &mover, &why);
#ifndef _WIN32  // Windows does not let a folder with open files move
    EXPECT_EQ(status, CopyFileError);
    EXPECT_TRUE(why.folderGone);
    EXPECT_TRUE(fs::exists(Path(mover.to, "Aircraft.cfg"))) << "what was made elsewhere is left alone";
#else
    (void)status;
#endif
}

#ifndef _WIN32
// Links planted in a copy are the player's: never followed, never removed,
// and what they point at is untouched.
TEST_F(Copies, LinksInsideACopyAreNeitherFollowedNorRemoved) {
    const std::string c = Copy(1, "XY");
    const std::string outside = Path(sim.path, "outside");
    WriteBytes(Path(outside, "XY1d_n.mdl"), "not the copy's");
    WriteBytes(Path(outside, "XY1d.air"), "not the copy's");
    fs::remove_all(Path(c, "Model"));
    fs::create_directory_symlink(outside, Path(c, "Model"));
    fs::remove(Path(c, "XY1d.air"));
    fs::create_symlink(Path(outside, "XY1d.air"), Path(c, "XY1d.air"));
    fs::create_directory_symlink(Path(aircraft, "P51d"), Path(aircraft, "Ln1d"));  // a copy-like name
    const Tree outsideBefore = Snapshot(outside), stockBefore = Snapshot(Path(aircraft, "P51d"));

    CopyInfo info;
    ASSERT_TRUE(RecogniseCopy(aircraft.c_str(), "XY1d", &info));
    EXPECT_FALSE(info.finished);
    EXPECT_EQ(info.playerFiles, (std::vector<std::string>{"Model", "XY1d.air"}));
    RemoveResult r;
    EXPECT_EQ(RemoveCopy(aircraft.c_str(), "Ln1d", true, false, &r), RemoveOutside);
    ASSERT_EQ(RemoveCopy(aircraft.c_str(), "XY1d", true, false, &r), RemoveOk);
    EXPECT_TRUE(fs::is_symlink(Path(c, "Model")) && fs::is_symlink(Path(c, "XY1d.air")));
    EXPECT_TRUE(SameTree(outsideBefore, Snapshot(outside)));
    EXPECT_TRUE(SameTree(stockBefore, Snapshot(Path(aircraft, "P51d"))));
}

// ---- The freedesktop.org trash ----

// The home trash: the whole folder under files/, its info file with the
// percent-encoded absolute path and the time, then NAME.2 for the
// same name again.
TEST_F(Copies, HomeTrashTakesTheFolderWithItsInfoFile) {
    const std::string top = fs::canonical(sim.path).string(), spaced = Path(top, "Sim Dir%/Aircraft");
    fs::create_directories(fs::path(spaced).parent_path());
    fs::rename(aircraft, spaced);
    aircraft = spaced;
    const std::string trash = Path(home.path, "data/Trash");
    for (const char* entry : {"XY1d", "XY1d.2"}) {
        SCOPED_TRACE(entry);
        const Tree made = Snapshot(Copy(1, "XY"));
        RemoveResult r;
        ASSERT_EQ(RemoveCopy(aircraft.c_str(), "XY1d", false, false, &r), RemoveOk);
        EXPECT_EQ(r.trashPath, Path(trash, std::string("files/") + entry));
        EXPECT_FALSE(fs::exists(Path(aircraft, "XY1d")));
        Tree moved;
        for (const auto& [p, bytes] : made) moved[r.trashPath + p.substr(Path(aircraft, "XY1d").size())] = bytes;
        EXPECT_TRUE(SameTree(moved, Snapshot(r.trashPath)));
        const std::string info = ReadBytes(Path(trash, std::string("info/") + entry + ".trashinfo"));
        std::smatch m;
        ASSERT_TRUE(std::regex_match(info, m, std::regex("\\[Trash Info\\]\nPath=(.*)\n"
                                                          "DeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n"))) << info;
        EXPECT_EQ(m[1].str(), top + "/Sim%20Dir%25/Aircraft/XY1d");
    }
}

// A folder on another file system goes to that file system's top folder:
// .Trash/$uid when .Trash is a real sticky folder, else .Trash-$uid, with
// Path= relative to the top folder; when neither can be used, nowhere.
std::string gTop;  // paths below it are on a file system of their own
bool FakeDevice(const char* path, unsigned long long* device) {
    *device = std::string(path).rfind(gTop, 0) == 0 ? 2 : 1;
    return true;
}

TEST_F(Copies, OtherFileSystemsUseTheirTopFoldersTrash) {
    TempDir top;
    gTop = fs::canonical(top.path).string();
    const std::string uid = std::to_string(getuid()), folder = Path(top.path, "Aircraft/Zz8");
    struct Row { std::string setup, trash; };
    const Row rows[] = {
        {"", ".Trash-" + uid},
        {"mkdir -m 1777 .Trash", ".Trash/" + uid},
        {"mkdir -m 0777 .Trash", ".Trash-" + uid},                       // not sticky
        {"mkdir -m 1777 real && ln -s real .Trash", ".Trash-" + uid},    // a link
        {"touch .Trash-" + uid, ""},                                     // nothing usable
        {"mkdir -m 1777 .Trash && touch .Trash/" + uid + " .Trash-" + uid, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.setup);
        for (const std::string& junk : {std::string(".Trash"), std::string("real"), ".Trash-" + uid, std::string("Aircraft")})
            fs::remove_all(Path(top.path, junk));
        ASSERT_EQ(std::system(("cd '" + top.path + "' && true " + (r.setup.empty() ? "" : "&& ") + r.setup).c_str()), 0);
        WriteBytes(Path(folder, "Model/Zz8_n.mdl"), "made");
        const Tree before = Snapshot(top.path);
        TrashResult dry, t;
        const TrashStatus want = r.trash.empty() ? TrashUnavailable : TrashOk;
        EXPECT_EQ(MoveToTrash(folder.c_str(), true, &dry, FakeDevice), want);
        EXPECT_TRUE(SameTree(before, Snapshot(top.path))) << "the dry run changed something";
        ASSERT_EQ(MoveToTrash(folder.c_str(), false, &t, FakeDevice), want);
        EXPECT_FALSE(fs::exists(Path(home.path, "data"))) << "the home trash is on the other file system";
        if (want != TrashOk) {
            EXPECT_TRUE(SameTree(before, Snapshot(top.path)));
            continue;
        }
        EXPECT_EQ(t.entryPath, Path(top.path, r.trash + "/files/Zz8"));
        EXPECT_EQ(dry.entryPath, t.entryPath);
        EXPECT_EQ(ReadBytes(Path(t.entryPath, "Model/Zz8_n.mdl")), "made");
        EXPECT_EQ(ReadBytes(t.infoPath).substr(0, 40), "[Trash Info]\nPath=Aircraft/Zz8\nDeletionD");
        EXPECT_EQ(fs::status(Path(top.path, r.trash)).permissions() & fs::perms::all, fs::perms::owner_all);
    }
}
#endif

} // namespace
