// The main dialog driven as a user would (start-up, choosing an aircraft,
// typing a prefix and an in-game name, Copy, finding the simulator, the
// Copies dialog) through a fake toolkit with the copy procedure recorded,
// and the shell around it: system menu, minimised painting, message
// dispatch, the About box, start-up.
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
constexpr int kP38 = 0, kP51d = 1, kBf109g = 8, kSpitfire = 17;

// What the user saw and what happened, in order: message boxes as
// "[Stop] caption: text", copies as "Copy folder|prefix|index", window
// operations such as "Default" or "DrawIcon 2,3".
Texts events;
CopyStatus copyStatus = CopyOk;  // what the recorded copy procedure returns

CopyStatus RecordCopy(const char* aircraftDir, const char* prefix, int index, const char* title) {
    events.push_back("Copy " + std::string(aircraftDir) + "|" + prefix + "|" + std::to_string(index) +
                     (title ? std::string("|") + title : ""));
    return copyStatus;
}

// Controls that behave like the real ones where the dialog logic relies on
// it, and message boxes answered by the test. Each new one empties `events`.
class FakeUi : public DialogUi {
public:
    explicit FakeUi(bool fresh = true) {
        if (fresh) events.clear(), copyStatus = CopyOk;
    }

    int registryResult = 0;  // on 0 the folder is registryPath
    std::string registryPath = "C:\\CFS\\Aircraft";
    std::string remembered;   // the per-user value
    FolderChoice pick = kFolderCancelled;  // what the folder picker answers,
    std::string picked;                    // with this folder
    std::string localAppData;
    std::set<int> notAnsi;    // fields holding a character the code page lacks
    CDialog* dialog = nullptr;  // set by RunModal: edit fields notify it of changes
    std::string aboutText = "&About Vantorel...";
    int boxAnswer = kIdOk;  // the button that answers every OK/Cancel box
    int yesNoAnswer = 6;    // and every Yes/No box
    bool iconic = false;
    ClientRect client = {};
    const IconHandle icon = reinterpret_cast<IconHandle>(0x1280);

    Texts list, systemMenu;  // menu items as "16 text", "-" for a separator
    int listSelection = -1;
    std::map<int, std::string> edits;
    std::map<int, int> limits;
    std::map<int, bool> enabled;
    int focus = 0, endCode = 0;  // endCode stays 0 while the dialog runs
    bool notifying = false;

    // Selects entry `index` with the mouse; the list then notifies.
    void Click(CDialog& dlg, int index) {
        listSelection = index;
        dlg.Dispatch(kWmCommand, (kLbnSelChange << 16) | IDC_AIRCRAFT_LIST, 0);
    }
    void Press(CDialog& dlg, int id) { dlg.Dispatch(kWmCommand, (kBnClicked << 16) | id, 0); }

    // Start-up only; the test then drives the same object. Returns as if the
    // dialog was closed with the close box.
    int RunModal(CDialog& dlg) override {
        events.push_back("RunModal " + std::to_string(dlg.TemplateId()));
        dialog = &dlg;
        dlg.OnInitDialog();
        if (opened) opened(*this, dlg);
        return kIdCancel;
    }
    // Typing into an edit field: it changes, then notifies, as every change does.
    void Type(int id, const std::string& text) { SetEditText(id, text); }
    void EndDialog(int code) override { endCode = code; }
    void RunAboutBox() override { events.push_back("RunAboutBox"); }
    void Default() override {
        if (!notifying) events.push_back("Default");
    }
    std::intptr_t SendMessage(unsigned message, std::uintptr_t wParam, std::intptr_t) override {
        events.push_back("SendMessage " + std::to_string(message) + " " + std::to_string(wParam));
        return 0;
    }
    void EnableVisualStyles() override { events.push_back("EnableVisualStyles"); }
    // A child's RunModal runs `whileOpen` after the dialog's start-up, as the
    // player would act while it is open.
    std::unique_ptr<DialogUi> MakeChildUi() override {
        auto child = std::unique_ptr<FakeUi>(new FakeUi(false));
        child->opened = whileOpen;
        return child;
    }
    std::function<void(FakeUi&, CDialog&)> whileOpen, opened;
    void AddListEntry(int, const char* text) override { list.push_back(text); }
    void ClearList(int) override { list.clear(); }
    void SetListTabStops(int, const int*, int) override {}
    void SetListSelection(int, int index) override { listSelection = index; }
    int GetListSelection(int) override { return listSelection; }
    std::string GetEditText(int id) override { return edits[id]; }
    void SetEditText(int id, const std::string& text) override {
        edits[id] = text;
        if (!dialog) return;
        // Fields without a handler ask for default processing, which is not
        // what the test watches.
        bool outer = notifying;
        notifying = true;
        dialog->Dispatch(kWmCommand, (kEnChange << 16) | id, 0);
        notifying = outer;
    }
    bool EditTextIsAnsi(int id) override { return notAnsi.count(id) == 0; }
    // Shift-JIS lead bytes.
    bool IsLeadByte(unsigned char b) override { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
    void LimitText(int id, int maxChars) override { limits[id] = maxChars; }
    void FocusControl(int id) override { focus = id; }
    void EnableControl(int id, bool enable) override { enabled[id] = enable; }
    int MessageBox(const char* text, const char* caption, unsigned type) override {
        const char* look = type == 0x10 ? "[Stop] " : type == 0x30 ? "[Exclamation] " : type == 1 ? "[OkCancel] "
                           : type == 0x24 ? "[YesNo] " : "";
        events.push_back(look + std::string(caption) + ": " + text);
        return type == 0x24 ? yesNoAnswer : boxAnswer;
    }
    std::string LoadString(int id) override { return id == IDS_ABOUTBOX ? aboutText : ""; }
    void AppendSystemMenu(unsigned flags, unsigned command, const char* text) override {
        systemMenu.push_back(flags == kMfSeparator ? "-" : std::to_string(command) + " " + text);
    }
    IconHandle LoadIcon(int id) override { return id == IDR_MAINFRAME ? icon : nullptr; }
    int ReadAircraftFolder(char* out) override {
        std::strcpy(out, registryResult == 0 ? registryPath.c_str() : "");
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
    std::string LocalAppDataFolder() override { return localAppData; }
    bool IsIconic() override { return iconic; }
    PaintContext BeginPaint() override { return reinterpret_cast<PaintContext>(0xDC); }
    void EndPaint() override { events.push_back("EndPaint"); }
    int GetSystemMetrics(int index) override { return index == 11 || index == 12 ? 32 : 0; }  // icon size
    ClientRect GetClientRect() override { return client; }
    void DrawIcon(PaintContext, int x, int y, IconHandle drawn) override {
        events.push_back("DrawIcon " + std::to_string(x) + "," + std::to_string(y) + (drawn == icon ? "" : " other"));
    }
};

struct CopyDialogTest : ::testing::Test {
    FakeUi ui;
    CCopyDlg dlg{ui, RecordCopy};
    void SetUp() override { ui.RunModal(dlg); events.clear(); }
    // What handling one message did.
    Texts Send(unsigned message, std::uintptr_t wParam = 0) {
        events.clear();
        dlg.Dispatch(message, wParam, 0);
        return events;
    }
};

TEST_F(CopyDialogTest, OpensWithTheCatalogueListedAndNothingChosenYet) {
    EXPECT_EQ(ui.list.size(), 19u);
    EXPECT_FALSE(ui.enabled.at(IDC_OPEN_FOLDER)) << "nothing to open before a copy";
    EXPECT_EQ(ui.listSelection, 0);
    EXPECT_EQ(ui.limits[IDC_PREFIX], 5) << "before any choice the prefix takes 5 characters";
    EXPECT_EQ(ui.systemMenu, (Texts{"-", "16 &About Vantorel..."}));
    // Highlighting the first entry must not fill the Selected field.
    ui.Press(dlg, IDC_COPY);
    EXPECT_EQ(events, Texts{"[Stop] Error!: No aircraft selected"});
}

TEST_F(CopyDialogTest, ChoosingAnAircraftShowsItsNameAndEmptiesAndLimitsThePrefixToItsStemWhichEnterEnforces) {
    struct Case { int index; const char* name; int stem; };
    for (const Case& c : {Case{kBf109g, "Bf109g", 5}, Case{kP51d, "P51d", 3}, Case{kSpitfire, "Spitfire_MkI", 4}}) {
        ui.edits[IDC_PREFIX] = "AB";
        ui.Click(dlg, c.index);
        EXPECT_EQ(ui.limits[IDC_PREFIX], c.stem) << c.name;
        // A prefix typed for another aircraft may be too long for this stem.
        EXPECT_EQ(ui.edits, (std::map<int, std::string>{{IDC_SELECTED, c.name}, {IDC_PREFIX, ""}, {IDC_TITLE, ""}}));
        EXPECT_EQ(ui.listSelection, c.index) << "the list must keep the clicked entry";
    }
    // A selection-change notification while nothing is selected changes nothing.
    ui.edits[IDC_PREFIX] = "XY";
    ui.Click(dlg, -1);
    EXPECT_EQ(dlg.m_nSelected, kSpitfire);
    EXPECT_EQ(ui.edits, (std::map<int, std::string>{{IDC_SELECTED, "Spitfire_MkI"}, {IDC_PREFIX, "XY"}, {IDC_TITLE, ""}}));

    // Enter with a prefix past the limit, as another program could set it.
    ui.edits[IDC_PREFIX] = "ABCDE";
    ui.Press(dlg, kIdOk);
    EXPECT_EQ(events, Texts{"[Exclamation] Vantorel: Enter no more than 4 characters."});
    EXPECT_EQ(ui.focus, IDC_PREFIX);
    EXPECT_EQ(ui.endCode, 0) << "the dialog must stay open";
}

TEST_F(CopyDialogTest, CopyConfirmsTheNewNameThenReportsTheOutcome) {
    // outcome nullptr: the user cancels, so nothing may be copied. typed: the
    // editable Selected field typed over, here shorter than the prefix; its
    // text is what is shown, while the aircraft chosen in the list is copied.
    struct Case { int index; const char* prefix; CopyStatus status; const char *confirm, *outcome, *typed = nullptr; };
    for (const Case& c : {
             Case{kP38, "", CopyFolderExists, "P38 to P38", "[Stop] UNABLE TO COPY!: folder P38 exists - use a different prefix"},
             Case{kP51d, "XY", CopyOk, "P51d to XY1d", nullptr},
             Case{kSpitfire, "ABC", CopyOk, "Z to ABC", "[Exclamation] Z: Copy Complete", "Z"},
         }) {
        ui.Click(dlg, c.index);
        if (c.typed) ui.edits[IDC_SELECTED] = c.typed;
        ui.edits[IDC_PREFIX] = c.prefix;
        events.clear();
        ui.boxAnswer = c.outcome ? kIdOk : kIdCancel;
        copyStatus = c.status;
        ui.Press(dlg, IDC_COPY);
        std::string confirm = std::string("[OkCancel] Confirm Copy: ") + c.confirm;
        std::string copy = "Copy C:\\CFS\\Aircraft|" + std::string(c.prefix) + "|" + std::to_string(c.index);
        EXPECT_EQ(events, (c.outcome ? Texts{confirm, copy, c.outcome} : Texts{confirm}));
        EXPECT_EQ(ui.edits[IDC_PREFIX], c.prefix) << c.confirm << ": the dialog stays ready for another copy";
    }
}

TEST(CopyDialogStartUp, WithoutItsRegistryEntryOrAboutTextTheDialogLeavesThoseOutAndCopiesNothing) {
    struct Case { int registry; const char* box; };
    for (const Case& c : {Case{kRegistryNotInstalled, "[Stop] Registry Error: CFS not installed!"},
                          Case{kRegistryPathNotFound, "[Stop] Registry Error: CFS path not found!"}}) {
        FakeUi ui;
        ui.registryResult = c.registry;
        ui.aboutText.clear();
        CCopyDlg dlg(ui, RecordCopy);
        EXPECT_EQ(dlg.OnInitDialog(), 0);
        EXPECT_TRUE(ui.list.empty());
        EXPECT_TRUE(ui.systemMenu.empty());
        // The list cannot be clicked, but the Selected field can be typed in.
        ui.Press(dlg, IDC_COPY);
        ui.edits[IDC_SELECTED] = "P38";
        ui.Press(dlg, IDC_COPY);
        EXPECT_EQ(events, (Texts{c.box, "[Stop] Error!: No aircraft selected",
                                 "[Stop] UNABLE TO COPY!: The CFS path is not correct"}));
    }
}

// ---- Finding the simulator, the in-game name, Open folder, Copies -------------

// A simulator folder of its own per test: root/Aircraft with stock folders
// (each with an Aircraft.cfg titled as given) and other folders.
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

TEST(CopyDialogStartUp, TheInstallersEntryWinsWhenItHoldsTheAircraftElseTheRememberedFolderElseTheOldBoxes) {
    Sim sim;
    sim.Add("P51d");
    fs::create_directories(sim.root / "Empty");
    const std::string empty = (sim.root / "Empty").string();
    // registryPath "": the installer's entry is C:\CFS\Aircraft, which does not exist here.
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
        EXPECT_EQ(events, c.box.empty() ? Texts{} : Texts{c.box});
    }
}

TEST(CopyDialogFindCfs, APickedFolderHoldingTheAircraftFillsTheListAndIsRememberedAnythingElseIsRefused) {
    Sim sim;
    sim.Add("p51D");  // letter case aside
    fs::create_directories(sim.root / "Empty");
    FakeUi ui;
    ui.registryResult = kRegistryNotInstalled;
    CCopyDlg dlg(ui, RecordCopy);
    ui.RunModal(dlg);
    events.clear();
    const std::string empty = (sim.root / "Empty").string();
    struct Case { FolderChoice pick; std::string picked, box; };
    for (const Case& c : {
             Case{kFolderCancelled, "", ""},
             Case{kFolderNotAnsi, "",
                  "[Stop] Find CFS: The path of this folder has characters that CFS cannot read in a path. "
                  "Choose a folder whose path has none."},
             Case{kFolderChosen, empty,
                  "[Stop] Find CFS: " + empty + " holds no CFS aircraft.\n\nChoose the Combat Flight Simulator "
                  "folder (the one with the Aircraft folder) or its Aircraft folder."},
         }) {
        ui.pick = c.pick;
        ui.picked = c.picked;
        ui.Press(dlg, IDC_FIND_CFS);
        EXPECT_EQ(events, c.box.empty() ? Texts{"Browse "} : (Texts{"Browse ", c.box}));
        EXPECT_TRUE(ui.list.empty());
        EXPECT_EQ(ui.remembered, "") << "only a folder holding the aircraft is remembered";
        events.clear();
    }
    // The simulator's folder, then its Aircraft folder itself: both give the
    // same Aircraft folder, the picker opens where the last choice left it,
    // and the list is filled once.
    for (const std::string& picked : {sim.root.string(), sim.Aircraft()}) {
        ui.pick = kFolderChosen;
        ui.picked = picked;
        ui.Press(dlg, IDC_FIND_CFS);
        EXPECT_EQ(dlg.m_szAircraftPath, sim.Aircraft());
        EXPECT_EQ(ui.remembered, picked);
        EXPECT_EQ(ui.list.size(), 19u);
    }
    EXPECT_EQ(events, (Texts{"Browse ", "Browse " + sim.Aircraft()}));
}

struct TitleTest : ::testing::Test {
    Sim sim;
    FakeUi ui;
    CCopyDlg dlg{ui, RecordCopy};
    void SetUp() override {
        sim.Add("P51d", "P-51D Mustang");
        sim.Add("XY1d", "Silver Lady");  // an earlier copy
        ui.registryPath = sim.Aircraft();
        ui.RunModal(dlg);
        ui.Click(dlg, kP51d);
        events.clear();
    }
};

TEST_F(TitleTest, TheFieldShowsTheCopysTitleAsTypingChangesItAndAnEditedOneIsCheckedAndPassed) {
    // Today's rule overwrites the title's first bytes with "=" and the new stem.
    EXPECT_EQ(ui.edits[IDC_TITLE], "P511D Mustang") << "the empty prefix keeps the stem, which still overwrites";
    ui.Type(IDC_PREFIX, "XY");
    EXPECT_EQ(ui.edits[IDC_TITLE], "XY11D Mustang");
    const std::string copy = "Copy " + sim.Aircraft() + "|XY|1";
    const std::string confirm = "[OkCancel] Confirm Copy: P51d to XY1d";
    const std::string inUse = "[YesNo] Confirm Copy: Another aircraft is already called \"silver lady\" in the game.\n\nCopy anyway?";
    // answer: to the Yes/No box.
    struct Case { std::string title; int answer; Texts seen; bool notAnsi = false; };
    for (const Case& c : {
             Case{"XY11D Mustang", kIdOk, {confirm, copy, "[Exclamation] P51d: Copy Complete"}},
             Case{"Red Tail", kIdOk, {confirm, copy + "|Red Tail", "[Exclamation] P51d: Copy Complete"}},
             Case{"", kIdOk, {"[Stop] UNABLE TO COPY!: The in-game name is empty - type the name the game should show"}},
             Case{"Red\r\nTail", kIdOk, {"[Stop] UNABLE TO COPY!: The in-game name must be one line without control characters"}},
             Case{"Red ?", kIdOk, {"[Stop] UNABLE TO COPY!: The in-game name has characters that CFS cannot show - use different characters"}, true},
             Case{"silver lady", 7 /* No */, {inUse}},
             Case{"silver lady", kIdYes, {inUse, confirm, copy + "|silver lady", "[Stop] UNABLE TO COPY!: File Error"}},
         }) {
        SCOPED_TRACE(c.title);
        ui.edits[IDC_TITLE] = c.title;
        ui.notAnsi = c.notAnsi ? std::set<int>{IDC_TITLE} : std::set<int>{};
        ui.yesNoAnswer = c.answer;
        copyStatus = c.answer == kIdYes ? CopyFileError : CopyOk;
        events.clear();
        ui.focus = 0;
        ui.Press(dlg, IDC_COPY);
        EXPECT_EQ(events, c.seen);
        if (c.seen.size() == 1 && c.answer == kIdOk) {
            EXPECT_EQ(ui.focus, IDC_TITLE);
        }
    }
}

TEST_F(TitleTest, APrefixTheCodePageCannotHoldWhollyIsRefusedBeforeAnythingIsAsked) {
    struct Case { std::string prefix; bool notAnsi; const char* box; };
    for (const Case& c : {
             Case{"?", true, "[Stop] UNABLE TO COPY!: The prefix has characters that CFS cannot read in a folder name - use a different prefix"},
             // Two Shift-JIS characters: the stem of 3 bytes would cut the second.
             Case{"\x93\xfa\x96\x7b", false,
                  "[Stop] UNABLE TO COPY!: Only the first 3 bytes of the prefix fit, which would cut a character in two - use a different prefix"},
         }) {
        ui.edits[IDC_PREFIX] = c.prefix;
        ui.notAnsi = c.notAnsi ? std::set<int>{IDC_PREFIX} : std::set<int>{};
        events.clear();
        ui.Press(dlg, IDC_COPY);
        // The too-many-characters box of the length rule comes first for the long one.
        EXPECT_EQ(events.back(), c.box);
        EXPECT_EQ(std::count_if(events.begin(), events.end(), [](const std::string& e) { return e.rfind("Copy ", 0) == 0 || e.find("Confirm") != std::string::npos; }), 0);
        EXPECT_EQ(ui.focus, IDC_PREFIX);
    }
    // One Shift-JIS character in a stem of 3 fits whole.
    ui.edits[IDC_PREFIX] = "\x93\xfa";
    ui.notAnsi.clear();
    events.clear();
    ui.Press(dlg, IDC_COPY);
    EXPECT_EQ(events.front(), "[OkCancel] Confirm Copy: P51d to \x93\xfa" "1d");
}

TEST_F(TitleTest, OpenFolderIsOfferedAfterASuccessfulCopyOnlyAndShowsItsTexturesOrItsVirtualStorePlace) {
    ui.Type(IDC_PREFIX, "XY");
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

// Copies listed by the recorded source; `removable` copies go when asked.
std::vector<CopyRow> listed;
std::set<std::string> removable;
std::vector<CopyRow> FindListed(const char*) { return listed; }
bool RemoveListed(const char* dir, const char* folder) {
    events.push_back(std::string("Remove ") + dir + "|" + folder);
    if (!removable.count(folder)) return false;
    listed.erase(std::remove_if(listed.begin(), listed.end(), [&](const CopyRow& r) { return r.folder == folder; }), listed.end());
    return true;
}
const CopiesSource kListed = {FindListed, RemoveListed};

TEST(CopiesDialog, ListsEachCopyAndRemovesOnlyTheChosenOneAfterAConfirmationNamingIt) {
    listed = {{"XY1d", kP51d, "Red Tail", true, false},
              {"AB09g", kBf109g, "Gustav", false, false},
              {"QQ8", kP38, "Lightning Q", true, true}};
    removable = {"XY1d", "QQ8"};
    FakeUi ui;
    ui.registryPath = "D:\\CFS\\Aircraft";
    CCopyDlg main(ui, RecordCopy, &kListed);
    ui.RunModal(main);
    const std::string ask = "[YesNo] Vantorel copies: Move ";
    struct Case { int select, answer; Texts seen; size_t left; };
    const Case cases[] = {
        Case{-1, kIdYes, {"[Stop] Error!: No copy selected"}, 3},
        Case{0, 7 /* No */, {ask + "XY1d (\"Red Tail\" in the game) to the Recycle Bin?"}, 3},
        Case{1, kIdYes, {ask + "AB09g (\"Gustav\" in the game) to the Recycle Bin?", "Remove D:\\CFS\\Aircraft|AB09g",
                         "[Stop] Vantorel copies: AB09g could not be moved to the Recycle Bin"}, 3},
        Case{2, kIdYes, {ask + "QQ8 (\"Lightning Q\" in the game) to the Recycle Bin?\n\nIt holds files you added yourself.",
                         "Remove D:\\CFS\\Aircraft|QQ8"}, 2},
    };
    bool opened = false;
    ui.whileOpen = [&](FakeUi& copies, CDialog& dlg) {
        opened = true;
        EXPECT_EQ(dlg.TemplateId(), IDD_COPIES);
        EXPECT_EQ(copies.list, (Texts{"XY1d\tP51d\tRed Tail\tcomplete", "AB09g\tBf109g\tGustav\tunfinished",
                                       "QQ8\tP38\tLightning Q\tcomplete, with your files"}));
        for (const Case& c : cases) {
            SCOPED_TRACE(c.select);
            copies.listSelection = c.select;
            copies.yesNoAnswer = c.answer;
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

// ---- Window chrome ----------------------------------------------------------

TEST_F(CopyDialogTest, MessagesReachTheirHandlerOrElseGetDefaultProcessing) {
    // System commands 16..31 are all the About item; Windows keeps the low four bits.
    for (unsigned id : {16u, 17u, 31u}) EXPECT_EQ(Send(kWmSysCommand, id), Texts{"RunAboutBox"}) << id;
    for (unsigned id : {15u, 32u, 0xF060u /* SC_CLOSE */}) EXPECT_EQ(Send(kWmSysCommand, id), Texts{"Default"}) << id;
    EXPECT_EQ(Send(kWmCommand, IDC_ABOUT), Texts{"RunAboutBox"}) << "the About button";
    // A notification other than a click, a click on the list, an unknown control.
    for (std::uintptr_t wParam : {(1u << 16) | IDC_COPY, 0u + IDC_AIRCRAFT_LIST, 999u})
        EXPECT_EQ(Send(kWmCommand, wParam), Texts{"Default"}) << wParam;
    EXPECT_EQ(Send(kWmPaint), Texts{"Default"}) << "a window that is not minimised paints itself";
    EXPECT_EQ(dlg.Dispatch(kWmQueryDragIcon, 0, 0), reinterpret_cast<std::intptr_t>(ui.icon));
}

TEST_F(CopyDialogTest, MinimisedPaintingCentresTheIconTruncatingTowardZero) {
    ui.iconic = true;
    ui.client = {10, 20, 30, 39};  // 20 by 19: (20-32+1)/2 = -5.5 gives -5, not -6
    EXPECT_EQ(Send(kWmPaint), (Texts{"SendMessage 39 220", "DrawIcon -5,-6", "EndPaint"}));
}

TEST(AboutBox, OkAndCancelEndItThroughTheBaseDialog) {
    FakeUi ui;
    CAboutDlg about(ui);
    EXPECT_EQ(about.TemplateId(), IDD_ABOUTBOX);
    for (int button : {kIdOk, kIdCancel}) {
        ui.Press(about, button);
        EXPECT_EQ(ui.endCode, button);
    }
}

TEST(CopyApp, RunsTheMainDialogOnceInTheCurrentLookAndReturnsZero) {
    FakeUi ui;
    CCopyApp app;
    app.m_pUi = &ui;
    EXPECT_EQ(app.InitInstance(), 0);
    EXPECT_EQ(events, (Texts{"EnableVisualStyles", "RunModal " + std::to_string(IDD_COPY_DIALOG)}));
}

}  // namespace
