// The catalogue and whole-aircraft copies: what a copy makes, what it refuses.
#include "engine_support.h"  // also the engine, the demo simulator, GoogleTest and std::filesystem

#include <cerrno>
#include <cstring>
#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

// Every stock aircraft of a generated simulator, copied one after another:
// each entry reported in list order, each new folder holding exactly the
// expected names and bytes, nothing else anywhere changed. A missing stock
// file only leaves the copy without it.
TEST_F(DemoSim, EveryStockAircraftCopiesExactly) {
    fs::remove(Path(aircraft, "P51d/Model/P51d_c.mdl"));
    Tree expected = Snapshot(sim.path);
    for (int i = 0; i < GetAircraftCount(); ++i) {
        // Distinct two-letter starts keep the new folders apart; every third is shorter than the stem.
        const std::string prefix = std::string("Q") + static_cast<char>('a' + i) + (i % 3 ? "x7w" : "");
        SCOPED_TRACE(std::string(GetAircraftName(i)) + " with prefix " + prefix);
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
    EXPECT_TRUE(SameTree(expected, Snapshot(sim.path)))
        << "a copy is wrong, the stock tree changed, or something was written outside the new folders";
}

// A stock file that is there but cannot be read (a folder in its place), or a
// write cut short (a file-size limit, as a full disk): the copy says which
// file failed and why, and takes back all it made, so the simulator never
// lists a half aircraft and a retry with the same prefix is free.
TEST(CopyAircraft, AFailedCopyNamesTheFileAndTakesBackEverythingItMade) {
    struct Row { int index; const char* stockFile; int error; const char* failedPath; };
    std::vector<Row> rows = {{1, "P51d/Model/P51d_n.mdl", EISDIR, "P51d/Model/P51d_n.mdl"}};
#ifndef _WIN32
    rows.push_back({17, "Spitfire_MkI/Model/spitfire_mki_n.mdl", EFBIG, "XYitfire_MkI/Model/XYitfire_mki_n.mdl"});
#endif
    for (const Row& r : rows) {
        SCOPED_TRACE(r.stockFile);
        TempDir root;
        const std::string aircraft = Path(root.path, "Aircraft"), stock = Path(aircraft, r.stockFile);
        WriteBytes(Path(aircraft, std::string(GetAircraftName(r.index)) + "/Aircraft.cfg"), "title=x\r\n");
        if (r.error == EISDIR) fs::create_directories(stock);
        else WriteBytes(stock, std::string(100000, 'S'));
        const Tree before = Snapshot(root.path);
        CopyFailure why;
        CopyStatus got;
        {
#ifndef _WIN32
            FileSizeLimit limit(r.error == EFBIG ? 8192 : RLIM_INFINITY);
#endif
            got = CopyAircraftReport(aircraft.c_str(), "XY", r.index, false, nullptr, nullptr, &why);
        }
        EXPECT_EQ(got, CopyFileError);
        EXPECT_EQ(why.error, r.error);
        EXPECT_EQ(std::string(why.path), Path(aircraft, r.failedPath));
        EXPECT_TRUE(SameTree(before, Snapshot(root.path))) << "the failed copy left something behind";
        fs::remove_all(stock);
        EXPECT_EQ(CopyAircraft(aircraft.c_str(), "XY", r.index), CopyOk) << "the retry was refused";
    }
}

#ifndef _WIN32
// Windows finds "p51D/Model/P51D_N.MDL" for "P51d/Model/P51d_n.mdl"; so must
// the copy everywhere. Of several such names the first in byte order is
// taken, so the same folder always gives the same copy.
TEST(CopyAircraft, StockFilesAreFoundInAnyLetterCase) {
    TempDir root;
    const std::string aircraft = Path(root.path, "Aircraft");
    WriteBytes(Path(aircraft, "p51D/Model/P51D_N.MDL"), "P51d_n p51D \x80");
    WriteBytes(Path(aircraft, "p51D/Model/p51d_N.mdl"), "a later name");
    EXPECT_EQ(CopyAircraft(aircraft.c_str(), "Ab", 1), CopyOk);
    EXPECT_EQ(ReadBytes(Path(aircraft, "Ab1d/Model/Ab1d_n.mdl")), "Ab1d_n Ab1D \x80");
}
#endif

// A link at `link` to `target` (a folder when `folder`). Windows lets only
// some accounts make links, and Wine 8 none at all, but Wine shows a Unix
// link as a reparse point: there /bin/ln makes it. False when no way works.
bool PlantLink(const std::string& target, const std::string& link, bool folder) {
#ifdef _WIN32
    // Wine 8's CreateSymbolicLink makes nothing yet reports success.
    auto isLink = [&] { return GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES; };
    const DWORD flags = (folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | 2;  // 2: allow unprivileged (Windows 10)
    if (CreateSymbolicLinkA(link.c_str(), target.c_str(), flags) && isLink()) return true;
    typedef char*(CDECL * UnixName)(const wchar_t*);
    auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    if (!unixName) return false;
    auto wide = [](const std::string& s) { return fs::path(s).wstring(); };
    char* unixTarget = unixName(wide(target).c_str());
    char* unixLink = unixName(wide(link).c_str());
    std::wstring command = L"/bin/ln -s \"" + wide(unixTarget) + L"\" \"" + wide(unixLink) + L"\"";
    HeapFree(GetProcessHeap(), 0, unixTarget);
    HeapFree(GetProcessHeap(), 0, unixLink);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    // Wine's handle of a Unix process is signalled at once: wait for the link itself.
    for (int k = 0; k < 1000 && !isLink(); ++k) Sleep(10);
    return isLink();
#else
    std::error_code ec;
    folder ? fs::create_directory_symlink(target, link, ec) : fs::create_symlink(target, link, ec);
    return !ec;
#endif
}

// A link planted in the new folder while the copy runs, in place of the
// folder just made or at the name of the next file: the copy writes nothing
// through it, fails naming that file, and takes back all it made. The link
// is not the copy's and stays.
TEST(CopyAircraft, ALinkPlantedMidCopyIsRefusedAndTheCopyTakenBack) {
    struct Row { const char* link; bool folder; int error; };
    const Row rows[] = {
#ifdef _WIN32
        {"Model", true, ELOOP},
#else
        {"Model", true, ENOTDIR},  // O_NOFOLLOW | O_DIRECTORY on a link
#endif
        {"Model/Model.cfg", false, EEXIST},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.link);
        TempDir root;
        const std::string aircraft = Path(root.path, "Aircraft"), elsewhere = Path(root.path, "elsewhere");
        WriteBytes(Path(aircraft, "P51d/Aircraft.cfg"), "title=P-51D\r\n");
        WriteBytes(Path(aircraft, "P51d/Model/Model.cfg"), "P51d_n.mdl\r\n");
        WriteBytes(Path(elsewhere, "Model.cfg"), "the player's");
        const Tree outside = Snapshot(elsewhere);
        struct Plant { const Row* row; std::string aircraft, elsewhere; bool planted = false; bool ok = false; };
        Plant plant{&r, aircraft, elsewhere};
        auto report = [](const CopyStep& step, void* context) {
            Plant* p = static_cast<Plant*>(context);
            if (p->planted || step.entry->action != FileAction::MakeFolder) return;
            p->planted = true;
            const std::string link = Path(p->aircraft, std::string("XY1d/") + p->row->link);
            if (p->row->folder) fs::remove(link);
            p->ok = PlantLink(p->row->folder ? p->elsewhere : Path(p->elsewhere, "Model.cfg"), link, p->row->folder);
        };
        CopyFailure why;
        const CopyStatus got = CopyAircraftReport(aircraft.c_str(), "XY", 1, false, report, &plant, &why);
        ASSERT_TRUE(plant.planted) << "the copy failed before it made a folder: " << std::strerror(why.error);
        if (!plant.ok) GTEST_SKIP() << "no link can be made here";
        EXPECT_EQ(got, CopyFileError);
        EXPECT_EQ(why.error, r.error) << std::strerror(why.error);
        EXPECT_EQ(std::string(why.path), Path(aircraft, "XY1d/Model/Model.cfg"));
        EXPECT_TRUE(SameTree(outside, Snapshot(elsewhere))) << "a write went through the link";
        // Listed without descending: MinGW's std::filesystem cannot tell a link from a folder.
        auto names = [](const std::string& dir) {
            std::vector<std::string> out;
            for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
            return out;
        };
        const std::vector<std::string> model = {"Model"}, cfg = {"Model.cfg"};
        EXPECT_EQ(names(Path(aircraft, "XY1d")), model) << "the copy was not taken back, or the link was removed";
        if (!r.folder) {
            EXPECT_EQ(names(Path(aircraft, "XY1d/Model")), cfg);
        }
    }
}

// Every refusal comes before anything is created, checked in this order: the
// prefix, the path lengths, the stock folder, then the new folder itself.
// `existing` is a file (or, ending in '/', a folder) already there; a folder
// holding nothing but files the copy makes, without Aircraft.cfg, is named as
// an interrupted copy.
TEST(CopyAircraft, RefusedCopiesCreateNothing) {
    struct Row { int index; std::string prefix; bool stockFolder; const char* existing; int want;
                 bool unfinished = false; std::size_t pathLength = 0; };
    std::vector<Row> rows = {
        {0, "A*", false, nullptr, CopyInvalidName},
        {17, "XY", false, "XYitfire_MkI/keep.txt", CopyPathNotFound},
        {17, "", true, nullptr, CopyFolderExists},  // the empty prefix names the stock folder itself
        {17, "XY", true, "xyITFIRE_mki/keep.txt", CopyFolderExists},
        {1, "XY", true, "XY1d/Aircraft.cfg.tmp", CopyFolderExists, true},
        {1, "XY", true, "XY1d/Model/xy1D_N.mdl", CopyFolderExists, true},
        {1, "XY", true, "XY1d/Aircraft.cfg", CopyFolderExists, false},
        {1, "XY", true, "XY1d/", CopyFolderExists, false},  // an empty folder: no copy begun there
        // Accepted: characters past the stem are never used, and a device name must be whole.
        {0, "ZZ9*", true, nullptr, CopyOk},
        {8, "CONX.", true, nullptr, CopyOk},
        {14, "A.", true, nullptr, CopyOk},
        // A Spitfire copy's longest path is the Aircraft folder's plus 38 characters: 217 fit 256-character buffers.
        {17, "XY", true, nullptr, CopyOk, false, 217},
        {17, "XY", true, nullptr, CopyFileError, false, 218},
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
        SCOPED_TRACE("prefix \"" + r.prefix + "\" on " + GetAircraftName(r.index));
        TempDir root;
        std::string aircraft = Path(root.path, "Aircraft");
        if (r.pathLength) aircraft = root.path + kPathSep + std::string(r.pathLength - root.path.size() - 1, 'd');
        if (r.stockFolder) fs::create_directories(Path(aircraft, GetAircraftName(r.index)));
        if (r.existing && std::string(r.existing).back() == '/') fs::create_directories(Path(aircraft, r.existing));
        else if (r.existing) WriteBytes(Path(aircraft, r.existing), "an earlier copy");
        const Tree before = Snapshot(root.path);
        CopyFailure why;
        EXPECT_EQ(CopyAircraftReport(aircraft.c_str(), r.prefix.c_str(), r.index, false, nullptr, nullptr, &why), r.want);
        EXPECT_EQ(why.unfinishedCopy, r.unfinished);
        if (r.want != CopyOk) { EXPECT_TRUE(SameTree(before, Snapshot(root.path))); }
    }
}

} // namespace
