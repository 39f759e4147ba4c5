// The main dialog driven as a user would (start-up, choosing an aircraft,
// typing a prefix and an in-game name, Enter, Copy, finding the simulator,
// the Copies dialog) through a fake toolkit, with the copy procedure and
// the simulator lookup recorded.
#include "copy_dlg.h"
#include "messages.h"
#include "platform.h"
#include "resource.h"
#include "support/support.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <set>
#include <vector>

namespace {

namespace fs = std::filesystem;

using Texts = std::vector<std::string>;
using Edits = std::map<int, std::string>;
constexpr int kP38 = 0, kP51d = 1, kBf109g = 8, kSpitfire = 17, kNo = 7;

// What the user saw and what happened, in order: message boxes as
// "[Stop] caption: text", copies as "Copy folder|prefix|index[|title]",
// dialogs run as "RunModal template".
Texts events;

// The recorded copy procedure returns `copyStatus`, and `copyFailure` as why.
CopyStatus copyStatus = CopyOk;
CopyFailure copyFailure;
CopyStatus RecordCopy(const char* aircraftDir, const char* prefix, int index, const char* title, CopyFailure* why) {
    events.push_back("Copy " + std::string(aircraftDir) + "|" + prefix + "|" + std::to_string(index) +
                     (title ? std::string("|") + title : ""));
    *why = copyFailure;
    return copyStatus;
}

// The simulator lookup: the installer's entry gives `registryResult`, with
// kRegistryOk the folder `registryPath`.
int registryResult = kRegistryOk;
std::string registryPath, remembered;
int InstallerFolder(char* out) {
    std::strcpy(out, registryResult == kRegistryOk ? registryPath.c_str() : "");
    return registryResult;
}
std::string Remembered() { return remembered; }
bool Remember(const char* path) { return remembered = path, true; }
std::string NoLocalAppData() { return ""; }
const SimLookup kSim = {InstallerFolder, Remembered, Remember, NoLocalAppData};

// Copies listed by the recorded source; all but AB09g go when asked.
std::vector<CopyRow> listed;
std::vector<CopyRow> FindListed(const char*) { return listed; }
bool RemoveListed(const char* dir, const char* folder) {
    events.push_back(std::string("Remove ") + dir + "|" + folder);
    if (std::string(folder) == "AB09g") return false;
    listed.erase(std::remove_if(listed.begin(), listed.end(), [&](const CopyRow& r) { return r.folder == folder; }),
                 listed.end());
    return true;
}
// The repaint engine recorded: each call as "Export dir|folder|out" or
// "Apply dir|folder|png,png|dry run or not", answered with the reports below.
// The trial run answers `applyStatus`; the write `writeStatus`, whose failure
// is the last PNG's.
RepaintStatus exportStatus = RepaintOk, applyStatus = RepaintOk, writeStatus = RepaintOk;
ExportReport exportReport;
std::vector<AppliedTexture> applied;  // what each PNG gives, by file name; others are refused
RepaintStatus RecordExport(const char* dir, const char* folder, const char* outDir, ExportReport* out) {
    events.push_back(std::string("Export ") + dir + "|" + folder + "|" + outDir);
    *out = exportReport;
    return exportStatus;
}
RepaintStatus RecordApply(const char* dir, const char* folder, const std::vector<std::string>& pngs,
                          const ApplyOptions& options, ApplyReport* out) {
    std::string names;
    for (const std::string& p : pngs) names += (names.empty() ? "" : ",") + p;
    events.push_back(std::string("Apply ") + dir + "|" + folder + "|" + names + (options.dryRun ? "|dry run" : ""));
    for (const std::string& p : pngs) {
        auto it = std::find_if(applied.begin(), applied.end(), [&](const AppliedTexture& t) { return t.png == p; });
        AppliedTexture t = it != applied.end() ? *it : AppliedTexture{};
        t.png = p;
        if (it == applied.end()) t.problem = "not a PNG";
        t.written = !options.dryRun && t.problem.empty();
        out->textures.push_back(t);
    }
    if (options.dryRun || writeStatus == RepaintOk) return options.dryRun ? applyStatus : writeStatus;
    out->textures.back().written = false;
    out->textures.back().problem = "cannot write: no room";
    return writeStatus;
}
const CopiesSource kListed = {FindListed, RemoveListed, RecordExport, RecordApply};

// Controls that behave like the real ones where the dialog logic relies on
// it; message boxes are answered by the test. A main one resets the records.
class FakeUi : public DialogUi {
public:
    explicit FakeUi(bool main = true) {
        if (!main) return;
        events.clear(), copyStatus = CopyOk, copyFailure = {};
        exportStatus = applyStatus = writeStatus = RepaintOk, exportReport = {}, applied.clear();
        registryResult = kRegistryOk, registryPath = "C:\\CFS\\Aircraft", remembered.clear();
    }
    std::string picked;
    FolderChoice pick = kFolderCancelled;  // the folder picker's answer, with `picked`
    Texts pickedFiles;
    FolderChoice pickFiles = kFolderCancelled;  // the file picker's answer, with `pickedFiles`
    std::set<int> notAnsi;  // fields holding a character the code page lacks
    bool agree = true;  // answers OK or Yes to every box, else Cancel or No
    Texts list, systemMenu, columns, rows;  // menu items as "16 text"; a row's cells joined by "|"
    int listSelection = -1, rowSelection = -1, focus = 0;
    Edits edits;
    std::map<int, int> limits;
    std::map<int, bool> enabled;
    CDialog* dialog = nullptr;  // edit fields notify it of changes
    std::function<void(FakeUi&, CDialog&)> whileOpen;  // a child dialog's player

    // A mouse click on entry `index`: the selection moves, then the list notifies.
    void Click(CDialog& dlg, int index) {
        listSelection = index;
        dlg.OnCommand(kLbnSelChange, IDC_AIRCRAFT_LIST);
    }
    void Press(CDialog& dlg, int id) { dlg.OnCommand(kBnClicked, id); }

    // Start-up only; the test drives the dialog afterwards.
    int RunModal(CDialog& dlg) override {
        events.push_back("RunModal " + std::to_string(dlg.TemplateId()));
        dialog = &dlg;
        dlg.OnInit();
        if (whileOpen) whileOpen(*this, dlg);
        return kIdCancel;
    }
    std::unique_ptr<DialogUi> MakeChildUi() override {
        auto child = std::make_unique<FakeUi>(false);
        child->whileOpen = whileOpen;
        return child;
    }
    void AddListEntry(int, const char* text) override { list.push_back(text); }
    void SetListSelection(int, int index) override { listSelection = index; }
    int GetListSelection(int) override { return listSelection; }
    void SetTableColumns(int, const std::vector<TableColumn>& cs) override {
        for (const TableColumn& c : cs) columns.push_back(c.heading);
    }
    void AddTableRow(int, const std::vector<std::string>& cells) override {
        std::string row;
        for (const std::string& c : cells) row += (row.empty() ? "" : "|") + c;
        rows.push_back(row);
    }
    void ClearTable(int) override { rows.clear(), rowSelection = -1; }
    int GetTableSelection(int) override { return rowSelection; }
    std::string GetEditText(int id) override { return edits[id]; }
    // Every change of the prefix notifies, typed or set by the dialog; the
    // other fields' notifications would only get default processing.
    void SetEditText(int id, const std::string& text) override {
        edits[id] = text;
        if (dialog && id == IDC_PREFIX) dialog->OnCommand(kEnChange, id);
    }
    bool EditTextIsAnsi(int id) override { return notAnsi.count(id) == 0; }
    bool IsLeadByte(unsigned char b) override { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }  // Shift-JIS
    void LimitText(int id, int maxChars) override { limits[id] = maxChars; }
    void FocusControl(int id) override { focus = id; }
    int FocusedControl() override { return focus; }
    void EnableControl(int id, bool enable) override { enabled[id] = enable; }
    int MessageBox(const char* text, const char* caption, unsigned type) override {
        const std::map<unsigned, std::string> look = {{kBoxStop, "[Stop] "}, {kBoxExclamation, "[Exclamation] "},
                                                      {kBoxInformation, "[Information] "},
                                                      {kBoxOkCancel, "[OkCancel] "}, {kBoxYesNo, "[YesNo] "}};
        events.push_back(look.at(type) + caption + ": " + text);
        return !agree ? (type == kBoxYesNo ? kNo : kIdCancel) : type == kBoxYesNo ? kIdYes : kIdOk;
    }
    std::string LoadString(int id) override { return id == IDS_ABOUTBOX ? "&About Vantorel..." : ""; }
    void AppendSystemMenu(unsigned command, const char* text) override {
        systemMenu.push_back(std::to_string(command) + " " + text);
    }
    FolderChoice BrowseForFolder(const char*, const char* start, std::string* out) override {
        events.push_back(std::string("Browse ") + start);
        *out = picked;
        return pick;
    }
    FolderChoice OpenFiles(const char* title, const char* kind, const char* pattern, Texts* out) override {
        events.push_back(std::string("OpenFiles ") + title + "|" + kind + "|" + pattern);
        *out = pickedFiles;
        return pickFiles;
    }
    bool OpenInFileManager(const char* folder) override {
        events.push_back(std::string("Open ") + folder);
        return true;
    }
};

// A simulator folder: root/Aircraft with folders, each with an Aircraft.cfg
// when given a title, and an empty folder beside it.
struct Sim {
    TempDir root;
    const std::string aircraft = Path(root.path, "Aircraft"), empty = Path(root.path, "Empty");
    Sim() { fs::create_directories(empty); }
    void Add(const std::string& folder, const std::string& title = "") {
        fs::create_directories(Path(aircraft, folder));
        if (!title.empty()) WriteBytes(Path(aircraft, folder + "/Aircraft.cfg"), "[fltsim.0]\ntitle=" + title + "\n");
    }
};

struct CopyDialogTest : ::testing::Test {
    FakeUi ui;
    CCopyDlg dlg{ui, kSim, kListed, RecordCopy};
    void SetUp() override { ui.RunModal(dlg); events.clear(); }
};

TEST_F(CopyDialogTest, NothingIsChosenUntilAClickWhichShowsTheAircraftAndEmptiesAndLimitsThePrefixToItsStem) {
    EXPECT_FALSE(ui.enabled.at(IDC_OPEN_FOLDER)) << "nothing to open before a copy";
    EXPECT_EQ(ui.limits[IDC_PREFIX], 5) << "before any choice the prefix takes 5 characters";
    EXPECT_EQ(ui.systemMenu, Texts{"16 &About Vantorel..."});
    ui.Press(dlg, IDC_COPY);  // the first entry is highlighted, not chosen
    EXPECT_EQ(events, Texts{"[Stop] Error!: No aircraft selected"});
    struct Case { int index; const char* name; int stem; };
    for (const Case& c : {Case{kBf109g, "Bf109g", 5}, Case{kP51d, "P51d", 3}, Case{kSpitfire, "Spitfire_MkI", 4}}) {
        ui.edits[IDC_PREFIX] = "AB";  // typed for another aircraft, maybe too long for this stem
        ui.Click(dlg, c.index);
        EXPECT_EQ(ui.limits[IDC_PREFIX], c.stem) << c.name;
        EXPECT_EQ(ui.edits, (Edits{{IDC_SELECTED, c.name}, {IDC_PREFIX, ""}, {IDC_TITLE, ""}}));
        EXPECT_EQ(ui.listSelection, c.index) << "the list must keep the clicked entry";
    }
    // A selection-change notification while nothing is selected changes nothing.
    ui.edits[IDC_PREFIX] = "XY";
    ui.Click(dlg, -1);
    EXPECT_EQ(ui.edits, (Edits{{IDC_SELECTED, "Spitfire_MkI"}, {IDC_PREFIX, "XY"}, {IDC_TITLE, ""}}));
}

TEST_F(CopyDialogTest, EnterEndsTheProgramFromTheFieldsOfOldButNotWhileTheInGameNameIsTypedNorWithTooLongAPrefix) {
    ui.Click(dlg, kSpitfire);
    events.clear();
    // From the name field, and with a prefix past the limit (as another
    // program could set it): the dialog stays.
    ui.focus = IDC_TITLE;
    ui.edits[IDC_TITLE] = "Half typed";
    ui.Press(dlg, kIdOk);
    EXPECT_EQ(dlg.EndCode(), 0) << "Enter in the In-game name field must not end the program";
    EXPECT_EQ(events, Texts{});
    ui.focus = IDC_SELECTED;
    ui.edits[IDC_PREFIX] = "ABCDE";
    ui.Press(dlg, kIdOk);
    EXPECT_EQ(events, Texts{"[Exclamation] Vantorel: Enter no more than 4 characters."});
    EXPECT_EQ(ui.focus, IDC_PREFIX);
    EXPECT_EQ(dlg.EndCode(), 0) << "the dialog must stay open";
    ui.edits[IDC_PREFIX] = "ABCD";
    ui.Press(dlg, kIdOk);
    EXPECT_EQ(dlg.EndCode(), kIdOk);
    ui.Press(dlg, kIdCancel);
    EXPECT_EQ(dlg.EndCode(), kIdCancel);
}

TEST_F(CopyDialogTest, TheAboutItemAndButtonOpenTheAboutBoxAndNothingElseIsHandled) {
    // System commands 16..31 are all the About item (Windows keeps the low four bits).
    for (unsigned id : {16u, 31u}) EXPECT_TRUE(dlg.OnSysCommand(id)) << id;
    for (unsigned id : {15u, 32u, 0xF060u}) EXPECT_FALSE(dlg.OnSysCommand(id)) << id;
    ui.Press(dlg, IDC_ABOUT);
    EXPECT_EQ(events, Texts(3, "RunModal 100"));
    // A notification other than a click, a click on the list, an unknown control.
    EXPECT_FALSE(dlg.OnCommand(1, IDC_COPY));
    EXPECT_FALSE(dlg.OnCommand(kBnClicked, IDC_AIRCRAFT_LIST));
    EXPECT_FALSE(dlg.OnCommand(kBnClicked, 999));
}

TEST(CopyDialogStartUp, TheInstallersEntryWinsWhenItHoldsTheAircraftElseTheRememberedFolderElseTheRegistrysBoxes) {
    Sim sim;
    sim.Add("P51d");
    const std::string& empty = sim.empty;
    // The installer's entry is C:\CFS\Aircraft, missing here, unless it holds the aircraft.
    struct Case { int registry; bool registryHoldsAircraft; std::string remembered, path, box; };
    for (const Case& c : {
             Case{kRegistryOk, true, empty, sim.aircraft, ""},
             Case{kRegistryNotInstalled, false, sim.root.path, sim.aircraft, ""},
             Case{kRegistryOk, false, sim.root.path, sim.aircraft, ""},
             Case{kRegistryOk, false, empty, "C:\\CFS\\Aircraft", ""},
             Case{kRegistryNotInstalled, false, empty, "", "[Stop] Registry Error: CFS not installed!"},
             Case{kRegistryPathNotFound, false, "", "", "[Stop] Registry Error: CFS path not found!"},
         }) {
        SCOPED_TRACE(c.registry);
        SCOPED_TRACE(c.remembered);
        FakeUi ui;
        registryResult = c.registry;
        if (c.registryHoldsAircraft) registryPath = sim.aircraft;
        remembered = c.remembered;
        CCopyDlg dlg(ui, kSim, kListed, RecordCopy);
        EXPECT_EQ(dlg.OnInit(), !c.path.empty());
        EXPECT_EQ(dlg.m_szAircraftPath, c.path);
        EXPECT_EQ(ui.list.size(), c.path.empty() ? 0u : 19u);
        if (c.box.empty()) {
            EXPECT_EQ(events, Texts{});
            continue;
        }
        // The list cannot be clicked, but the Selected field can be typed in.
        ui.edits[IDC_SELECTED] = "P38";
        ui.Press(dlg, IDC_COPY);
        ui.Press(dlg, IDC_COPIES);
        EXPECT_EQ(events, (Texts{c.box, "[Stop] UNABLE TO COPY!: The CFS path is not correct",
                                 "[Stop] UNABLE TO COPY!: The CFS path is not correct"}));
    }
}

TEST(CopyDialogFindCfs, APickedFolderHoldingTheAircraftFillsTheListAndIsRememberedAnythingElseIsRefused) {
    Sim sim;
    sim.Add("p51D");  // letter case aside
    const std::string& empty = sim.empty;
    FakeUi ui;
    registryResult = kRegistryNotInstalled;
    CCopyDlg dlg(ui, kSim, kListed, RecordCopy);
    ui.RunModal(dlg);
    // The simulator's folder and its Aircraft folder both give the Aircraft
    // folder; the picker opens where the last choice left it, the list is
    // filled once, and only a folder holding the aircraft is remembered.
    struct Case { FolderChoice pick; std::string picked, box, remembered; size_t listed; };
    for (const Case& c : {
             Case{kFolderCancelled, "", "", "", 0},
             Case{kFolderNotAnsi, "", "[Stop] Find CFS: The path of this folder has characters that CFS cannot read in a path. "
                                      "Choose a folder whose path has none.", "", 0},
             Case{kFolderChosen, empty, "[Stop] Find CFS: " + empty + " holds no CFS aircraft.\n\nChoose the Combat Flight "
                                        "Simulator folder (the one with the Aircraft folder) or its Aircraft folder.", "", 0},
             Case{kFolderChosen, sim.root.path, "", sim.root.path, 19},
             Case{kFolderChosen, sim.aircraft, "", sim.aircraft, 19},
         }) {
        SCOPED_TRACE(c.picked);
        ui.pick = c.pick;
        ui.picked = c.picked;
        const std::string start = dlg.m_szAircraftPath;
        events.clear();
        ui.Press(dlg, IDC_FIND_CFS);
        EXPECT_EQ(events, c.box.empty() ? Texts{"Browse " + start} : (Texts{"Browse " + start, c.box}));
        EXPECT_EQ(ui.list.size(), c.listed);
        EXPECT_EQ(remembered, c.remembered);
        EXPECT_EQ(dlg.m_szAircraftPath, c.listed ? sim.aircraft : "");
    }
}

// P51d chosen in a simulator holding it and an earlier copy named "Silver Lady".
struct TitleTest : ::testing::Test {
    Sim sim;
    FakeUi ui;
    CCopyDlg dlg{ui, kSim, kListed, RecordCopy};
    void SetUp() override {
        sim.Add("P51d", "P-51D Mustang");
        sim.Add("XY1d", "Silver Lady");
        registryPath = sim.aircraft;
        ui.RunModal(dlg);
        ui.Click(dlg, kP51d);
        events.clear();
    }
};

TEST_F(TitleTest, CopyConfirmsTheNewNameAfterCheckingThePrefixAndAnEditedTitleWhichAloneIsPassed) {
    // Today's rule overwrites the title's first bytes with "=" and the new stem.
    EXPECT_EQ(ui.edits[IDC_TITLE], "P511D Mustang") << "the empty prefix keeps the stem, which still overwrites";
    ui.SetEditText(IDC_PREFIX, "XY");
    const std::string shown = "XY11D Mustang", copy = "Copy " + sim.aircraft + "|XY|1";
    EXPECT_EQ(ui.edits[IDC_TITLE], shown);
    const std::string confirm = "[OkCancel] Confirm Copy: P51d to XY1d", done = "[Exclamation] P51d: Copy Complete";
    const std::string inUse = "[YesNo] Confirm Copy: Another aircraft is already called \"silver lady\" in the game.\n\nCopy anyway?";
    const std::string unable = "[Stop] UNABLE TO COPY!: ";
    // notAnsi: the field holding a character the code page lacks; focus: where
    // a refusal puts it; agree: the answer to every box; selected: the
    // editable Selected field, whose text is shown while P51d is copied.
    struct Case {
        std::string prefix, title;
        Texts seen;
        int notAnsi = 0, focus = 0;
        bool agree = true;
        std::string selected = "P51d";
    };
    for (const Case& c : {
             Case{"XY", shown, {confirm, copy, done}},
             Case{"XY", shown, {confirm}, 0, 0, false},
             Case{"ABC", shown, {"[OkCancel] Confirm Copy: Z to ABC", "Copy " + sim.aircraft + "|ABC|1",
                                 "[Exclamation] Z: Copy Complete"}, 0, 0, true, "Z"},
             Case{"XY", "Red Tail", {confirm, copy + "|Red Tail", done}},
             // Outer blanks go, as the simulator's reader drops them; blanks alone are empty.
             Case{"XY", "  Red Tail  ", {confirm, copy + "|Red Tail", done}},
             Case{"XY", "   ", {unable + "The in-game name is empty - type the name the game should show"}, 0, IDC_TITLE},
             Case{"XY", "", {unable + "The in-game name is empty - type the name the game should show"}, 0, IDC_TITLE},
             Case{"XY", "Red\r\nTail", {unable + "The in-game name must be one line without control characters"}, 0, IDC_TITLE},
             Case{"XY", "Red ?", {unable + "The in-game name has characters that CFS cannot show - use different characters"},
                  IDC_TITLE, IDC_TITLE},
             Case{"XY", "silver lady", {inUse}, 0, 0, false},
             Case{"XY", "silver lady", {inUse, confirm, copy + "|silver lady", done}},
             Case{"?", shown, {unable + "The prefix has characters that CFS cannot read in a folder name - use a different prefix"},
                  IDC_PREFIX, IDC_PREFIX},
             // Two Shift-JIS characters: the stem of 3 bytes would cut the second.
             Case{"\x93\xfa\x96\x7b", shown, {"[Exclamation] Vantorel: Enter no more than 3 characters.",
                  unable + "Only the first 3 bytes of the prefix fit, which would cut a character in two - use a different prefix"},
                  0, IDC_PREFIX},
             // One fits whole.
             Case{"\x93\xfa", shown, {"[OkCancel] Confirm Copy: P51d to \x93\xfa" "1d", "Copy " + sim.aircraft + "|\x93\xfa|1", done}},
         }) {
        SCOPED_TRACE(c.prefix + " " + c.title);
        ui.edits[IDC_SELECTED] = c.selected;
        ui.edits[IDC_PREFIX] = c.prefix;
        ui.edits[IDC_TITLE] = c.title;
        ui.notAnsi = {c.notAnsi};
        ui.agree = c.agree;
        events.clear();
        ui.focus = 0;
        ui.Press(dlg, IDC_COPY);
        EXPECT_EQ(events, c.seen);
        EXPECT_EQ(ui.focus, c.focus);
        if (c.title == "  Red Tail  ") {
            EXPECT_EQ(ui.edits[IDC_TITLE], "Red Tail") << "the field shows the name carried";
        }
    }
}

TEST_F(TitleTest, TheNameFieldFollowsThePrefixUntilThePlayerTypesANameWhichThenStaysTheirsAndIsCopied) {
    ui.SetEditText(IDC_PREFIX, "NK");
    EXPECT_EQ(ui.edits[IDC_TITLE], "NK11D Mustang");
    ui.edits[IDC_TITLE] = "Keep This Name";
    ui.SetEditText(IDC_PREFIX, "NM");
    EXPECT_EQ(ui.edits[IDC_TITLE], "Keep This Name") << "a typed name must survive a corrected prefix";
    ui.Click(dlg, kP51d);
    EXPECT_EQ(ui.edits[IDC_TITLE], "Keep This Name") << "and choosing the aircraft again";
    ui.SetEditText(IDC_PREFIX, "NM");
    ui.Press(dlg, IDC_COPY);
    EXPECT_EQ(events.at(1), "Copy " + sim.aircraft + "|NM|1|Keep This Name");
    // Typed back to the prediction, or emptied, the field follows again.
    for (const char* typed : {"NM11D Mustang", ""}) {
        ui.edits[IDC_TITLE] = typed;
        ui.SetEditText(IDC_PREFIX, "QQ");
        EXPECT_EQ(ui.edits[IDC_TITLE], "QQ11D Mustang") << typed;
        ui.SetEditText(IDC_PREFIX, "NM");
    }
}

TEST_F(TitleTest, AFailedCopySaysWhyInTheCommandLinesWords) {
    ui.SetEditText(IDC_PREFIX, "RO");
    const std::string dir = sim.aircraft;
    struct Case { CopyStatus status; int error; bool unfinished; std::string path, text; };
    for (const Case& c : {
             Case{CopyFolderExists, EEXIST, false, dir + "/RO1d", "folder RO1d exists - use a different prefix"},
             Case{CopyFolderExists, EACCES, false, dir, "access denied to " + dir},
             Case{CopyFolderExists, EEXIST, true, dir + "/RO1d",
                  "folder RO1d holds an unfinished copy - remove it or use a different prefix"},
             Case{CopyFileError, EROFS, false, dir + "/RO1d", "File Error: " + dir + "/RO1d is on a read-only file system"},
             Case{CopyFileError, ENAMETOOLONG, false, dir + "/RO1d/x", "File Error: the path is too long (" + dir + "/RO1d/x)"},
             Case{CopyFileError, EIO, false, dir + "/P51d/P51d.air",
                  "File Error: " + dir + "/P51d/P51d.air: " + std::strerror(EIO)},
             Case{CopyPathNotFound, ENOENT, false, dir, "The CFS path is not correct"},
         }) {
        copyStatus = c.status;
        copyFailure = {};
        copyFailure.error = c.error;
        copyFailure.unfinishedCopy = c.unfinished;
        std::strcpy(copyFailure.path, c.path.c_str());
        events.clear();
        ui.Press(dlg, IDC_COPY);
        EXPECT_EQ(events.back(), "[Stop] UNABLE TO COPY!: " + c.text);
    }
}

TEST_F(TitleTest, OpenFolderIsOfferedAfterASuccessfulCopyOnlyAndShowsItsTexturesOrSaysItIsGone) {
    ui.SetEditText(IDC_PREFIX, "XY");
    for (CopyStatus status : {CopyOk, CopyFolderExists, CopyOk}) {
        copyStatus = status;
        ui.Press(dlg, IDC_COPY);
        EXPECT_EQ(ui.enabled.at(IDC_OPEN_FOLDER), status == CopyOk) << status;
    }
    const fs::path copy = Path(sim.aircraft, "XY1d");
    events.clear();
    ui.Press(dlg, IDC_OPEN_FOLDER);
    fs::create_directories(copy / "Texture");
    ui.Press(dlg, IDC_OPEN_FOLDER);
    fs::remove_all(copy);
    ui.Press(dlg, IDC_OPEN_FOLDER);
    EXPECT_EQ(events, (Texts{"Open " + copy.string(), "Open " + (copy / "Texture").string(),
                             "[Stop] Error!: " + copy.string() + " is not there any more"}));
}

// The Copies dialog opened from a main dialog on a real Aircraft folder
// holding `copies`; `play` drives it.
void WithCopiesDialog(const std::vector<CopyRow>& copies, const std::function<void(FakeUi&, CDialog&)>& play) {
    Sim sim;
    sim.Add("P51d");
    FakeUi ui;
    listed = copies;
    registryPath = sim.aircraft;
    bool opened = false;
    ui.whileOpen = [&](FakeUi& copies, CDialog& dlg) {
        if (dlg.TemplateId() != IDD_COPIES) return;
        opened = true;
        play(copies, dlg);
    };
    CCopyDlg main(ui, kSim, kListed, RecordCopy);
    ui.RunModal(main);
    events.clear();
    ui.Press(main, IDC_COPIES);
    EXPECT_TRUE(opened);
}

TEST(CopiesDialog, ATableShowsEachCopyOnOneLineInWordsAndRemovesOnlyTheChosenOneAfterAQuestionNamingIt) {
    const std::string ask = "[YesNo] Vantorel copies: Move ";
    struct Case { int select; bool agree; Texts seen; size_t left; };
    WithCopiesDialog({{"XY1d", kP51d, "Red Tail", true, 0},
                      {"AB09g", kBf109g, "Gustav", false, 0},
                      {"QQ8", kP38, "Lightning\tQ\x1b[31m", true, 1},
                      {"Q\nR8", kP38, "Two\r\nlines", false, 3}},
                     [&](FakeUi& copies, CDialog& dlg) {
        const Case cases[] = {
            Case{-1, true, {"[Stop] Error!: No copy selected"}, 4},
            Case{0, false, {ask + "XY1d (\"Red Tail\" in the game) to the Recycle Bin?"}, 4},
            Case{1, true, {ask + "AB09g (\"Gustav\" in the game) to the Recycle Bin?", "Remove " + registryPath + "|AB09g",
                           "[Stop] Vantorel copies: AB09g could not be moved to the Recycle Bin"}, 4},
            Case{2, true, {ask + "QQ8 (\"Lightning\\tQ\\x1b[31m\" in the game) to the Recycle Bin?\n\n"
                                 "It holds files you added yourself.", "Remove " + registryPath + "|QQ8"}, 3},
        };
        EXPECT_EQ(copies.columns, (Texts{"Folder", "Stock aircraft", "In-game name", "State"}));
        EXPECT_EQ(copies.rows, (Texts{"XY1d|P51d|Red Tail|complete", "AB09g|Bf109g|Gustav|unfinished",
                                      "QQ8|P38|Lightning\\tQ\\x1b[31m|complete, with 1 file of yours",
                                      "Q\\nR8|P38|Two\\r\\nlines|unfinished, with 3 files of yours"}));
        for (const Case& c : cases) {
            SCOPED_TRACE(c.select);
            copies.rowSelection = c.select;
            copies.agree = c.agree;
            events.clear();
            copies.Press(dlg, IDC_COPIES_REMOVE);
            EXPECT_EQ(events, c.seen);
            EXPECT_EQ(copies.rows.size(), c.left);
        }
        EXPECT_EQ(copies.rows.at(1), "AB09g|Bf109g|Gustav|unfinished") << "the table shows what is left";
    });
}

TEST(CopiesDialog, ALongTitleIsShortenedInTheQuestionNeverTheQuestionAndACopyGoneFromDiskIsSaidGoneNotAskedAbout) {
    // A double-byte character across the cut (Shift-JIS) goes whole.
    const std::string longTitle = std::string(79, 'T') + "\x93\xfa" + std::string(1000, 'L');
    WithCopiesDialog({{"XY1d", kP51d, longTitle, true, 2}, {"AB1d", kP51d, "Gone", true, 0}},
                     [&](FakeUi& copies, CDialog& dlg) {
        copies.rowSelection = 0;
        copies.agree = false;
        events.clear();
        copies.Press(dlg, IDC_COPIES_REMOVE);
        EXPECT_EQ(events, Texts{"[YesNo] Vantorel copies: Move XY1d (\"" + std::string(79, 'T') +
                                "...\" in the game) to the Recycle Bin?\n\nIt holds files you added yourself."});
        // AB1d deleted on disk after the table was shown.
        listed.pop_back();
        copies.rowSelection = 1;
        copies.agree = true;
        events.clear();
        copies.Press(dlg, IDC_COPIES_REMOVE);
        EXPECT_EQ(events, Texts{"[Stop] Vantorel copies: AB1d is not there any more"}) << "nothing may be asked or removed";
        EXPECT_EQ(copies.rows.size(), 1u) << "the table must show what is there now";
    });
}

TEST_F(TitleTest, WithTheAircraftFolderGoneTheCopiesButtonSaysSoInsteadOfAnEmptyTable) {
    fs::remove_all(sim.aircraft);
    ui.Press(dlg, IDC_COPIES);
    EXPECT_EQ(events, Texts{"[Stop] Vantorel copies: " + sim.aircraft + " is not there any more"});
}

// The Copies dialog with XY1d chosen, or nothing when `row` is -1.
void WithCopyChosen(int row, const std::function<void(FakeUi&, CDialog&)>& play) {
    WithCopiesDialog({{"XY1d", kP51d, "Red Tail", true, 0}}, [&](FakeUi& copies, CDialog& dlg) {
        copies.rowSelection = row;
        events.clear();
        play(copies, dlg);
    });
}

const std::string kTex = std::string("Texture") + kPathSep;

TEST(CopiesTextures, NothingHappensWithoutAChosenCopyOrAfterACancelledPickerAndAPathVantorelCannotUseIsRefused) {
    struct Case { int row; FolderChoice answer; Texts seen; };
    const Case cases[] = {
        {-1, kFolderChosen, {"[Stop] Error!: No copy selected"}},
        {0, kFolderCancelled, {"picker"}},
        {0, kFolderNotAnsi, {"picker", std::string("[Stop] Vantorel copies: ") + kMsgPickedFolderNotAnsi}},
    };
    for (int button : {IDC_COPIES_EXPORT, IDC_COPIES_APPLY}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(button) + " " + std::to_string(c.row) + " " + std::to_string(c.answer));
            WithCopyChosen(c.row, [&](FakeUi& copies, CDialog& dlg) {
                copies.pick = copies.pickFiles = c.answer;
                copies.picked = "C:\\kit";
                copies.pickedFiles = {"C:\\paint\\xy1_t.png"};
                copies.Press(dlg, button);
                Texts seen = events;
                if (!seen.empty() && seen[0].rfind("[", 0) != 0) seen[0] = "picker";
                EXPECT_EQ(seen, c.seen) << "nothing may be exported or applied";
            });
        }
    }
}

TEST(CopiesTextures, ExportSaysHowManyPngsWentWhereAndWhatWasNotExportedOrWhyNothingWas) {
    // A long list is cut so that the box stays on the screen, and says how much more there is.
    ExportReport many;
    for (char c = 'a'; c <= 'n'; ++c) many.existing.push_back(std::string(1, c) + ".png");
    // "@" stands for the Aircraft folder, known only once the dialog runs.
    const std::string inside = std::string("@") + kPathSep + "kit";
    struct Case { RepaintStatus status; ExportReport report; std::string box, picked = "C:\\kit"; };
    const Case cases[] = {
        {RepaintOk, {"C:\\kit", {{"Texture\\a.bmp", "a.png", 8, 8, false, ""}, {"Texture\\b.bmp", "b.png", 8, 8, true, ""}}, {}, ""},
         "[Information] Vantorel copies: 2 PNGs and README.txt written to C:\\kit"},
        {RepaintFailed, {"C:\\kit", {{"Texture\\a.bmp", "a.png", 8, 8, false, ""}, {"Texture\\c.bmp", "", 0, 0, false, "truncated"}}, {}, ""},
         "[Exclamation] Vantorel copies: 1 PNG and README.txt written to C:\\kit\n\nNot exported:\n  Texture\\c.bmp: truncated"},
        {RepaintRefused, {"C:\\kit", {}, {"C:\\kit\\a.png", "C:\\kit\\README.txt"}, ""},
         std::string("[Stop] Vantorel copies: ") + kMsgExportExisting + "\n  C:\\kit\\a.png\n  C:\\kit\\README.txt"},
        {RepaintNotFound, {}, "[Stop] Vantorel copies: XY1d is not there any more"},
        {RepaintRefused, many, std::string("[Stop] Vantorel copies: ") + kMsgExportExisting +
                                   "\n  a.png\n  b.png\n  c.png\n  d.png\n  e.png\n  f.png\n  g.png\n  h.png"
                                   "\n  i.png\n  j.png\n  k.png\n  l.png\n  ... and 2 more"},
        // The Aircraft folder itself is no place for a paint kit.
        {RepaintRefused, {}, "[Stop] Vantorel copies: " + inside + " is inside the Aircraft folder @" +
                                 ": export to a folder of your own. Nothing was written.", inside},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        WithCopyChosen(0, [&](FakeUi& copies, CDialog& dlg) {
            exportStatus = c.status;
            exportReport = c.report;
            copies.pick = kFolderChosen;
            auto at = [](std::string text) {
                for (size_t i; (i = text.find('@')) != std::string::npos;) text.replace(i, 1, registryPath);
                return text;
            };
            copies.picked = at(c.picked);
            copies.Press(dlg, IDC_COPIES_EXPORT);
            EXPECT_EQ(events, (Texts{"Browse ", "Export " + registryPath + "|XY1d|" + copies.picked, at(c.box)}));
        });
    }
}

// Two usable PNGs and one refused: asked about with what each replaces and
// why the third cannot be used; only the two usable ones are applied.
TEST(CopiesTextures, ApplyAsksWithTheTexturesToReplaceAndTheRefusalsThenReportsColoursAndErrorOfEach) {
    AppliedTexture kept;
    kept.png = "C:\\paint\\xy1_t.png", kept.texture = "xy1_t.bmp";
    kept.width = kept.pngWidth = 256, kept.height = kept.pngHeight = 256;
    kept.colours = 37, kept.paletteKept = true;
    AppliedTexture reduced = kept;
    reduced.png = "C:\\paint\\xy1_w.png", reduced.texture = "XY1_W.BMP";
    reduced.paletteKept = false, reduced.reduced = true, reduced.colours = 256, reduced.pngColours = 1000;
    reduced.alphaLost = true, reduced.mipLevels = 3;
    reduced.error = {{1.5, 0.5, 2.0, 0}, {9, 3, 12, 0}, 38.44, false};
    const std::string ask = "[YesNo] Vantorel copies: Replace these textures of XY1d? The old ones go to the Recycle Bin.\n"
                            "\n  xy1_t.png -> " + kTex + "xy1_t.bmp\n  xy1_w.png -> " + kTex + "XY1_W.BMP"
                            "\n\nNot applied:\n  notes.png: not a PNG";
    const Texts pngs = {"C:\\paint\\xy1_t.png", "C:\\paint\\notes.png", "C:\\paint\\xy1_w.png"};
    for (bool agree : {false, true}) {
        SCOPED_TRACE(agree);
        WithCopyChosen(0, [&](FakeUi& copies, CDialog& dlg) {
            applied = {kept, reduced};
            copies.pickFiles = kFolderChosen;
            copies.pickedFiles = pngs;
            copies.agree = agree;
            copies.Press(dlg, IDC_COPIES_APPLY);
            Texts seen = {std::string("OpenFiles ") + kMsgApplyPrompt + "|PNG pictures (*.png)|*.png",
                          "Apply " + registryPath + "|XY1d|C:\\paint\\xy1_t.png,C:\\paint\\notes.png,"
                          "C:\\paint\\xy1_w.png|dry run", ask};
            if (agree) {
                seen.push_back("Apply " + registryPath + "|XY1d|C:\\paint\\xy1_t.png,C:\\paint\\xy1_w.png");
                seen.push_back("[Exclamation] Vantorel copies: Textures of XY1d:\n"
                               "\n  xy1_t.png -> " + kTex + "xy1_t.bmp: 256 x 256, 37 colours (its palette kept), opaque, exact"
                               "\n    the old texture went to the Recycle Bin"
                               "\n  xy1_w.png -> " + kTex + "XY1_W.BMP: 256 x 256, 256 colours (reduced from 1000), opaque, "
                               "3 mip levels, error mean R 1.5 G 0.5 B 2.0, max R 9 G 3 B 12, PSNR 38.4 dB"
                               "\n    " + kMsgAlphaLost + "\n    the old texture went to the Recycle Bin"
                               "\n\nNot applied:\n  notes.png: not a PNG");
            }
            EXPECT_EQ(events, seen);
        });
    }
}

TEST(CopiesTextures, ApplyWithNoUsablePngOrToAFolderNoLongerACopyOrAFailureMidwaySaysSo) {
    AppliedTexture fine;
    fine.png = "C:\\p\\a.png", fine.texture = "a.bmp", fine.width = fine.pngWidth = fine.height = fine.pngHeight = 8;
    fine.colours = 2, fine.paletteKept = true;
    const std::string nothing = std::string("[Stop] Vantorel copies: ") + kMsgNoPngApplies + "\n\nNot applied:\n  b.png: not a PNG";
    const std::string notCopy = "[Stop] Vantorel copies: XY1d is not a copy Vantorel made: textures are applied only "
                                "to copies, never to a stock aircraft or another folder. Nothing was changed.";
    // Last: the trial went well, the second write failed, and the first stays replaced.
    const std::string midway = "[Exclamation] Vantorel copies: Textures of XY1d:\n"
                               "\n  a.png -> " + kTex + "a.bmp: 8 x 8, 2 colours (its palette kept), opaque, exact"
                               "\n    the old texture went to the Recycle Bin"
                               "\n  c.png: cannot write: no room\n\n" + ApplyStoppedText(true);
    AppliedTexture second = fine;
    second.png = "C:\\p\\c.png", second.texture = "c.bmp";
    struct Case { Texts pngs; RepaintStatus status, write; std::string last; size_t events; };
    const Case cases[] = {
        {{"C:\\p\\b.png"}, RepaintFailed, RepaintOk, nothing, 3},
        {{"C:\\p\\a.png"}, RepaintRefused, RepaintOk, notCopy, 3},
        {{"C:\\p\\a.png"}, RepaintNotFound, RepaintOk, "[Stop] Vantorel copies: XY1d is not there any more", 3},
        {{"C:\\p\\a.png", "C:\\p\\c.png"}, RepaintOk, RepaintFailed, midway, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.last);
        WithCopyChosen(0, [&](FakeUi& copies, CDialog& dlg) {
            applied = {fine, second};
            applyStatus = c.status;
            writeStatus = c.write;
            copies.pickFiles = kFolderChosen;
            copies.pickedFiles = c.pngs;
            copies.Press(dlg, IDC_COPIES_APPLY);
            EXPECT_EQ(events.size(), c.events);
            EXPECT_EQ(events.back(), c.last);
        });
    }
}

} // namespace
