// The main dialog driven as a user would (start-up, choosing an aircraft,
// typing a prefix, Copy) through a fake toolkit with the copy procedure
// recorded, and the shell around it: system menu, minimised painting, message
// dispatch, the About box, start-up.
#include "copy_dlg.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;
constexpr int kP38 = 0, kP51d = 1, kBf109g = 8, kSpitfire = 17;

// What the user saw and what happened, in order: message boxes as
// "[Stop] caption: text", copies as "Copy folder|prefix|index", window
// operations such as "Default" or "DrawIcon 2,3".
Texts events;
CopyStatus copyStatus = CopyOk;  // what the recorded copy procedure returns

CopyStatus RecordCopy(const char* aircraftDir, const char* prefix, int index) {
    events.push_back("Copy " + std::string(aircraftDir) + "|" + prefix + "|" + std::to_string(index));
    return copyStatus;
}

// Controls that behave like the real ones where the dialog logic relies on
// it, and message boxes answered by the test. Each new one empties `events`.
class FakeUi : public DialogUi {
public:
    FakeUi() { events.clear(); copyStatus = CopyOk; }

    int registryResult = 0;  // on 0 the folder is C:\CFS\Aircraft
    std::string aboutText = "&About Vantorel...";
    int boxAnswer = kIdOk;  // the button that answers every message box
    bool iconic = false;
    ClientRect client = {};
    const IconHandle icon = reinterpret_cast<IconHandle>(0x1280);

    Texts list, systemMenu;  // menu items as "16 text", "-" for a separator
    int listSelection = -1;
    std::map<int, std::string> edits;
    std::map<int, int> limits;
    int focus = 0, endCode = 0;  // endCode stays 0 while the dialog runs

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
        dlg.OnInitDialog();
        return kIdCancel;
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
    void SetListSelection(int, int index) override { listSelection = index; }
    int GetListSelection(int) override { return listSelection; }
    std::string GetEditText(int id) override { return edits[id]; }
    void SetEditText(int id, const std::string& text) override { edits[id] = text; }
    void LimitText(int id, int maxChars) override { limits[id] = maxChars; }
    void FocusControl(int id) override { focus = id; }
    int MessageBox(const char* text, const char* caption, unsigned type) override {
        const char* look = type == 0x10 ? "[Stop] " : type == 0x30 ? "[Exclamation] " : type == 1 ? "[OkCancel] " : "";
        events.push_back(look + std::string(caption) + ": " + text);
        return boxAnswer;
    }
    std::string LoadString(int id) override { return id == IDS_ABOUTBOX ? aboutText : ""; }
    void AppendSystemMenu(unsigned flags, unsigned command, const char* text) override {
        systemMenu.push_back(flags == kMfSeparator ? "-" : std::to_string(command) + " " + text);
    }
    IconHandle LoadIcon(int id) override { return id == IDR_MAINFRAME ? icon : nullptr; }
    int ReadAircraftFolder(char* out) override {
        std::strcpy(out, registryResult == 0 ? "C:\\CFS\\Aircraft" : "");
        return registryResult;
    }
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
        EXPECT_EQ(ui.edits, (std::map<int, std::string>{{IDC_SELECTED, c.name}, {IDC_PREFIX, ""}}));
        EXPECT_EQ(ui.listSelection, c.index) << "the list must keep the clicked entry";
    }
    // A selection-change notification while nothing is selected changes nothing.
    ui.edits[IDC_PREFIX] = "XY";
    ui.Click(dlg, -1);
    EXPECT_EQ(dlg.m_nSelected, kSpitfire);
    EXPECT_EQ(ui.edits, (std::map<int, std::string>{{IDC_SELECTED, "Spitfire_MkI"}, {IDC_PREFIX, "XY"}}));

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
