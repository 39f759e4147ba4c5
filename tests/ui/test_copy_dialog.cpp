// The main dialog driven as a user would (start-up, choosing an aircraft,
// typing a prefix and an in-game name, Copy, finding the simulator, the
// Copies dialog) through a fake toolkit with the copy procedure recorded,
// and the shell around it: message dispatch, minimised painting, start-up.
#include "copy_dlg.h"
#include "messages.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using Texts = std::vector<std::string>;
using Edits = std::map<int, std::string>;
constexpr int kP38 = 0, kP51d = 1, kBf109g = 8, kSpitfire = 17, kNo = 7;

// What the user saw and what happened, in order: message boxes as
// "[Stop] caption: text", copies as "Copy folder|prefix|index[|title]",
// window operations such as "Default" or "DrawIcon 2,3".
Texts events;
CopyStatus copyStatus = CopyOk;  // what the recorded copy procedure returns

CopyStatus RecordCopy(const char* aircraftDir, const char* prefix, int index, const char* title) {
    events.push_back("Copy " + std::string(aircraftDir) + "|" + prefix + "|" + std::to_string(index) +
                     (title ? std::string("|") + title : ""));
    return copyStatus;
}

// Controls that behave like the real ones where the dialog logic relies on
// it; message boxes are answered by the test. A main one empties `events`.
class FakeUi : public DialogUi {
public:
    explicit FakeUi(bool main = true) {
        if (main) events.clear(), copyStatus = CopyOk;
    }
    int registryResult = kRegistryOk;  // with kRegistryOk the folder is registryPath
    std::string registryPath = "C:\\CFS\\Aircraft", remembered, picked;
    FolderChoice pick = kFolderCancelled;  // the folder picker's answer, with `picked`
    std::set<int> notAnsi;  // fields holding a character the code page lacks
    bool agree = true;  // answers OK or Yes to every box, else Cancel or No
    bool iconic = false;
    ClientRect client = {};
    const IconHandle icon = reinterpret_cast<IconHandle>(0x1280);
    Texts list, systemMenu;  // menu items as "16 text", "-" for a separator
    int listSelection = -1, focus = 0, endCode = 0;
    Edits edits;
    std::map<int, int> limits;
    std::map<int, bool> enabled;
    CDialog* dialog = nullptr;  // edit fields notify it of changes
    std::function<void(FakeUi&, CDialog&)> whileOpen;  // a child dialog's player

    // A mouse click on entry `index`: the selection moves, then the list notifies.
    void Click(CDialog& dlg, int index) {
        listSelection = index;
        dlg.Dispatch(kWmCommand, (kLbnSelChange << 16) | IDC_AIRCRAFT_LIST, 0);
    }
    void Press(CDialog& dlg, int id) { dlg.Dispatch(kWmCommand, (kBnClicked << 16) | id, 0); }

    // Start-up only; the test drives the dialog afterwards.
    int RunModal(CDialog& dlg) override {
        events.push_back("RunModal");
        dialog = &dlg;
        dlg.OnInitDialog();
        if (whileOpen) whileOpen(*this, dlg);
        return kIdCancel;
    }
    std::unique_ptr<DialogUi> MakeChildUi() override {
        auto child = std::make_unique<FakeUi>(false);
        child->whileOpen = whileOpen;
        return child;
    }
    void EndDialog(int code) override { endCode = code; }
    void RunAboutBox() override { events.push_back("RunAboutBox"); }
    void Default() override { events.push_back("Default"); }
    std::intptr_t SendMessage(unsigned message, std::uintptr_t wParam, std::intptr_t) override {
        events.push_back("SendMessage " + std::to_string(message) + " " + std::to_string(wParam));
        return 0;
    }
    void EnableVisualStyles() override { events.push_back("EnableVisualStyles"); }
    void AddListEntry(int, const char* text) override { list.push_back(text); }
    void ClearList(int) override { list.clear(); }
    void SetListTabStops(int, const int*, int) override {}
    void SetListSelection(int, int index) override { listSelection = index; }
    int GetListSelection(int) override { return listSelection; }
    std::string GetEditText(int id) override { return edits[id]; }
    // Every change of the prefix notifies, typed or set by the dialog; the
    // other fields' notifications would only get default processing.
    void SetEditText(int id, const std::string& text) override {
        edits[id] = text;
        if (dialog && id == IDC_PREFIX) dialog->Dispatch(kWmCommand, (kEnChange << 16) | id, 0);
    }
    bool EditTextIsAnsi(int id) override { return notAnsi.count(id) == 0; }
    bool IsLeadByte(unsigned char b) override { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }  // Shift-JIS
    void LimitText(int id, int maxChars) override { limits[id] = maxChars; }
    void FocusControl(int id) override { focus = id; }
    void EnableControl(int id, bool enable) override { enabled[id] = enable; }
    int MessageBox(const char* text, const char* caption, unsigned type) override {
        const std::map<unsigned, std::string> look = {{kBoxStop, "[Stop] "}, {kBoxExclamation, "[Exclamation] "},
                                                      {kBoxOkCancel, "[OkCancel] "}, {kBoxYesNo, "[YesNo] "}};
        events.push_back(look.at(type) + caption + ": " + text);
        return !agree ? (type == kBoxYesNo ? kNo : kIdCancel) : type == kBoxYesNo ? kIdYes : kIdOk;
    }
    std::string LoadString(int id) override { return id == IDS_ABOUTBOX ? "&About Vantorel..." : ""; }
    void AppendSystemMenu(unsigned flags, unsigned command, const char* text) override {
        systemMenu.push_back(flags == kMfSeparator ? "-" : std::to_string(command) + " " + text);
    }
    IconHandle LoadIcon(int id) override { return id == IDR_MAINFRAME ? icon : nullptr; }
    int ReadAircraftFolder(char* out) override {
        std::strcpy(out, registryResult == kRegistryOk ? registryPath.c_str() : "");
        return registryResult;
    }
    std::string ReadRememberedFolder() override { return remembered; }
    void WriteRememberedFolder(const char* path) override { remembered = path; }
    FolderChoice BrowseForFolder(const char*, const char* start, std::string* out) override {
        events.push_back(std::string("Browse ") + start);
        *out = picked;
        return pick;
    }
    bool OpenInFileManager(const char* folder) override {
        events.push_back(std::string("Open ") + folder);
        return true;
    }
    std::string LocalAppDataFolder() override { return ""; }
    bool IsIconic() override { return iconic; }
    PaintContext BeginPaint() override { return reinterpret_cast<PaintContext>(0xDC); }
    void EndPaint() override { events.push_back("EndPaint"); }
    int GetSystemMetrics(int index) override { return index == 11 || index == 12 ? 32 : 0; }  // icon size
    ClientRect GetClientRect() override { return client; }
    void DrawIcon(PaintContext, int x, int y, IconHandle drawn) override {
        events.push_back("DrawIcon " + std::to_string(x) + "," + std::to_string(y) + (drawn == icon ? "" : " other"));
    }
};

// A simulator folder of its own per test: root/Aircraft with folders, each
// with an Aircraft.cfg when given a title.
struct Sim {
    const fs::path root = fs::temp_directory_path() /
                          ("vantorel-ui-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    Sim() { fs::remove_all(root); }
    ~Sim() { fs::remove_all(root); }
    std::string Aircraft() const { return (root / "Aircraft").string(); }
    void Add(const std::string& folder, const std::string& title = "") {
        fs::create_directories(root / "Aircraft" / folder);
        if (!title.empty()) std::ofstream(root / "Aircraft" / folder / "Aircraft.cfg") << "[fltsim.0]\ntitle=" << title << "\n";
    }
};

struct CopyDialogTest : ::testing::Test {
    FakeUi ui;
    CCopyDlg dlg{ui, RecordCopy};
    void SetUp() override { ui.RunModal(dlg); events.clear(); }
    Texts Send(unsigned message, std::uintptr_t wParam = 0) {  // what handling one message did
        events.clear();
        dlg.Dispatch(message, wParam, 0);
        return events;
    }
};

TEST_F(CopyDialogTest, NothingIsChosenUntilAClickWhichShowsTheAircraftAndEmptiesAndLimitsThePrefixToItsStem) {
    EXPECT_FALSE(ui.enabled.at(IDC_OPEN_FOLDER)) << "nothing to open before a copy";
    EXPECT_EQ(ui.limits[IDC_PREFIX], 5) << "before any choice the prefix takes 5 characters";
    EXPECT_EQ(ui.systemMenu, (Texts{"-", "16 &About Vantorel..."}));
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
    // Enter with a prefix past the limit, as another program could set it.
    ui.edits[IDC_PREFIX] = "ABCDE";
    events.clear();
    ui.Press(dlg, kIdOk);
    EXPECT_EQ(events, Texts{"[Exclamation] Vantorel: Enter no more than 4 characters."});
    EXPECT_EQ(ui.focus, IDC_PREFIX);
    EXPECT_EQ(ui.endCode, 0) << "the dialog must stay open";
}

TEST(CopyDialogStartUp, TheInstallersEntryWinsWhenItHoldsTheAircraftElseTheRememberedFolderElseTheRegistrysBoxes) {
    Sim sim;
    sim.Add("P51d");
    fs::create_directories(sim.root / "Empty");
    const std::string empty = (sim.root / "Empty").string();
    // The installer's entry is C:\CFS\Aircraft, missing here, unless it holds the aircraft.
    struct Case { int registry; bool registryHoldsAircraft; std::string remembered, path, box; };
    for (const Case& c : {
             Case{kRegistryOk, true, empty, sim.Aircraft(), ""},
             Case{kRegistryNotInstalled, false, sim.root.string(), sim.Aircraft(), ""},
             Case{kRegistryOk, false, sim.root.string(), sim.Aircraft(), ""},
             Case{kRegistryOk, false, empty, "C:\\CFS\\Aircraft", ""},
             Case{kRegistryNotInstalled, false, empty, "", "[Stop] Registry Error: CFS not installed!"},
             Case{kRegistryPathNotFound, false, "", "", "[Stop] Registry Error: CFS path not found!"},
         }) {
        SCOPED_TRACE(c.registry);
        SCOPED_TRACE(c.remembered);
        FakeUi ui;
        ui.registryResult = c.registry;
        if (c.registryHoldsAircraft) ui.registryPath = sim.Aircraft();
        ui.remembered = c.remembered;
        CCopyDlg dlg(ui, RecordCopy);
        EXPECT_EQ(dlg.OnInitDialog(), c.path.empty() ? 0 : 1);
        EXPECT_EQ(dlg.m_szAircraftPath, c.path);
        EXPECT_EQ(ui.list.size(), c.path.empty() ? 0u : 19u);
        if (c.box.empty()) {
            EXPECT_EQ(events, Texts{});
            continue;
        }
        // The list cannot be clicked, but the Selected field can be typed in.
        ui.edits[IDC_SELECTED] = "P38";
        ui.Press(dlg, IDC_COPY);
        EXPECT_EQ(events, (Texts{c.box, "[Stop] UNABLE TO COPY!: The CFS path is not correct"}));
    }
}

TEST(CopyDialogFindCfs, APickedFolderHoldingTheAircraftFillsTheListAndIsRememberedAnythingElseIsRefused) {
    Sim sim;
    sim.Add("p51D");  // letter case aside
    fs::create_directories(sim.root / "Empty");
    const std::string empty = (sim.root / "Empty").string();
    FakeUi ui;
    ui.registryResult = kRegistryNotInstalled;
    CCopyDlg dlg(ui, RecordCopy);
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
             Case{kFolderChosen, sim.root.string(), "", sim.root.string(), 19},
             Case{kFolderChosen, sim.Aircraft(), "", sim.Aircraft(), 19},
         }) {
        SCOPED_TRACE(c.picked);
        ui.pick = c.pick;
        ui.picked = c.picked;
        const std::string start = dlg.m_szAircraftPath;
        events.clear();
        ui.Press(dlg, IDC_FIND_CFS);
        EXPECT_EQ(events, c.box.empty() ? Texts{"Browse " + start} : (Texts{"Browse " + start, c.box}));
        EXPECT_EQ(ui.list.size(), c.listed);
        EXPECT_EQ(ui.remembered, c.remembered);
        EXPECT_EQ(dlg.m_szAircraftPath, c.listed ? sim.Aircraft() : "");
    }
}

// P51d chosen in a simulator holding it and an earlier copy named "Silver Lady".
struct TitleTest : ::testing::Test {
    Sim sim;
    FakeUi ui;
    CCopyDlg dlg{ui, RecordCopy};
    void SetUp() override {
        sim.Add("P51d", "P-51D Mustang");
        sim.Add("XY1d", "Silver Lady");
        ui.registryPath = sim.Aircraft();
        ui.RunModal(dlg);
        ui.Click(dlg, kP51d);
        events.clear();
    }
};

TEST_F(TitleTest, CopyConfirmsTheNewNameAfterCheckingThePrefixAndAnEditedTitleWhichAloneIsPassed) {
    // Today's rule overwrites the title's first bytes with "=" and the new stem.
    EXPECT_EQ(ui.edits[IDC_TITLE], "P511D Mustang") << "the empty prefix keeps the stem, which still overwrites";
    ui.SetEditText(IDC_PREFIX, "XY");
    const std::string shown = "XY11D Mustang", copy = "Copy " + sim.Aircraft() + "|XY|1";
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
             Case{"ABC", shown, {"[OkCancel] Confirm Copy: Z to ABC", "Copy " + sim.Aircraft() + "|ABC|1",
                                 "[Exclamation] Z: Copy Complete"}, 0, 0, true, "Z"},
             Case{"XY", "Red Tail", {confirm, copy + "|Red Tail", done}},
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
             Case{"\x93\xfa", shown, {"[OkCancel] Confirm Copy: P51d to \x93\xfa" "1d", "Copy " + sim.Aircraft() + "|\x93\xfa|1", done}},
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
    }
}

TEST_F(TitleTest, OpenFolderIsOfferedAfterASuccessfulCopyOnlyAndShowsItsTexturesOrSaysItIsGone) {
    ui.SetEditText(IDC_PREFIX, "XY");
    for (CopyStatus status : {CopyOk, CopyFolderExists, CopyOk}) {
        copyStatus = status;
        ui.Press(dlg, IDC_COPY);
        EXPECT_EQ(ui.enabled.at(IDC_OPEN_FOLDER), status == CopyOk) << status;
    }
    const fs::path copy = sim.root / "Aircraft" / "XY1d";
    events.clear();
    ui.Press(dlg, IDC_OPEN_FOLDER);
    fs::create_directories(copy / "Texture");
    ui.Press(dlg, IDC_OPEN_FOLDER);
    fs::remove_all(copy);
    ui.Press(dlg, IDC_OPEN_FOLDER);
    EXPECT_EQ(events, (Texts{"Open " + copy.string(), "Open " + (copy / "Texture").string(),
                             "[Stop] Error!: " + copy.string() + " is not there any more"}));
}

// Copies listed by the recorded source; all but AB09g go when asked.
std::vector<CopyRow> listed;
std::vector<CopyRow> FindListed(const char*) { return listed; }
bool RemoveListed(const char* dir, const char* folder) {
    events.push_back(std::string("Remove ") + dir + "|" + folder);
    if (std::string(folder) == "AB09g") return false;
    listed.erase(std::remove_if(listed.begin(), listed.end(), [&](const CopyRow& r) { return r.folder == folder; }), listed.end());
    return true;
}
const CopiesSource kListed = {FindListed, RemoveListed};

TEST(CopiesDialog, ListsEachCopyAndRemovesOnlyTheChosenOneAfterAConfirmationNamingIt) {
    listed = {{"XY1d", kP51d, "Red Tail", true, false},
              {"AB09g", kBf109g, "Gustav", false, false},
              {"QQ8", kP38, "Lightning Q", true, true}};
    FakeUi ui;
    ui.registryPath = "D:\\CFS\\Aircraft";
    CCopyDlg main(ui, RecordCopy, &kListed);
    ui.RunModal(main);
    const std::string ask = "[YesNo] Vantorel copies: Move ";
    struct Case { int select; bool agree; Texts seen; size_t left; };
    const Case cases[] = {
        Case{-1, true, {"[Stop] Error!: No copy selected"}, 3},
        Case{0, false, {ask + "XY1d (\"Red Tail\" in the game) to the Recycle Bin?"}, 3},
        Case{1, true, {ask + "AB09g (\"Gustav\" in the game) to the Recycle Bin?", "Remove D:\\CFS\\Aircraft|AB09g",
                         "[Stop] Vantorel copies: AB09g could not be moved to the Recycle Bin"}, 3},
        Case{2, true, {ask + "QQ8 (\"Lightning Q\" in the game) to the Recycle Bin?\n\nIt holds files you added yourself.",
                         "Remove D:\\CFS\\Aircraft|QQ8"}, 2},
    };
    bool opened = false;
    ui.whileOpen = [&](FakeUi& copies, CDialog& dlg) {
        opened = true;
        EXPECT_EQ(copies.list, (Texts{"XY1d\tP51d\tRed Tail\tcomplete", "AB09g\tBf109g\tGustav\tunfinished",
                                       "QQ8\tP38\tLightning Q\tcomplete, with your files"}));
        for (const Case& c : cases) {
            SCOPED_TRACE(c.select);
            copies.listSelection = c.select;
            copies.agree = c.agree;
            events.clear();
            copies.Press(dlg, IDC_COPIES_REMOVE);
            EXPECT_EQ(events, c.seen);
            EXPECT_EQ(copies.list.size(), c.left);
        }
        EXPECT_EQ(copies.list.back(), "AB09g\tBf109g\tGustav\tunfinished") << "the list shows what is left";
    };
    ui.Press(main, IDC_COPIES);
    EXPECT_TRUE(opened);
}

TEST_F(CopyDialogTest, MessagesReachTheirHandlerOrElseGetDefaultProcessing) {
    // System commands 16..31 are all the About item (Windows keeps the low four
    // bits); 16, SC_CLOSE and the About button are seen end to end.
    for (unsigned id : {17u, 31u}) EXPECT_EQ(Send(kWmSysCommand, id), Texts{"RunAboutBox"}) << id;
    for (unsigned id : {15u, 32u}) EXPECT_EQ(Send(kWmSysCommand, id), Texts{"Default"}) << id;
    // A notification other than a click, a click on the list, an unknown control.
    for (std::uintptr_t wParam : {(1u << 16) | IDC_COPY, 0u + IDC_AIRCRAFT_LIST, 999u})
        EXPECT_EQ(Send(kWmCommand, wParam), Texts{"Default"}) << wParam;
    EXPECT_EQ(Send(kWmPaint), Texts{"Default"}) << "a window that is not minimised paints itself";
    EXPECT_EQ(dlg.Dispatch(kWmQueryDragIcon, 0, 0), reinterpret_cast<std::intptr_t>(ui.icon));
    // Minimised: the icon centred, the division truncating toward zero.
    ui.iconic = true;
    ui.client = {10, 20, 30, 39};  // 20 by 19: (20-32+1)/2 = -5.5 gives -5, not -6
    EXPECT_EQ(Send(kWmPaint), (Texts{"SendMessage 39 220", "DrawIcon -5,-6", "EndPaint"}));
}

TEST(CopyApp, RunsTheMainDialogOnceInTheCurrentLookAndReturnsZero) {
    FakeUi ui;
    CCopyApp app;
    app.m_pUi = &ui;
    EXPECT_EQ(app.InitInstance(), 0);
    EXPECT_EQ(events, (Texts{"EnableVisualStyles", "RunModal"}));
    EXPECT_EQ(ui.list.size(), 19u) << "the main dialog, with its aircraft list";
}

}  // namespace
