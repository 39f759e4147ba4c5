// The main dialog driven as a user would (start-up, choosing an aircraft,
// typing a prefix, Copy) with the copy procedure recorded, and the shell
// around it: system menu, minimised painting, message dispatch, start-up.
#include "fake_ui_support.h"
#include "win32/registry.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;
constexpr int kP38 = 0, kP51d = 1, kBf109g = 8, kBf110 = 10, kSpitfire = 17, kHurricane = 18;

struct CopyDialogTest : ::testing::Test {
    FakeUi ui;
    CCopyDlg dlg{ui, nullptr, RecordCopy};
    void SetUp() override { ui.RunModal(dlg); }
    // The window operations that handling one message asked for.
    Texts Send(unsigned message, std::uintptr_t wParam = 0) {
        ui.calls.clear();
        dlg.Dispatch(message, wParam, 0);
        return ui.calls;
    }
};

TEST_F(CopyDialogTest, OpensWithTheCatalogueListedAndNothingChosenYet) {
    ASSERT_EQ(ui.list.size(), 19u);
    EXPECT_EQ(ui.list[kHurricane], "Hurricane_I");
    EXPECT_EQ(ui.listSelection, 0);
    EXPECT_EQ(ui.edits[IDC_SELECTED], "") << "highlighting the first entry must not fill the Selected field";
    EXPECT_EQ(ui.limits[IDC_PREFIX], 5) << "before any choice the prefix takes 5 characters";
    EXPECT_EQ(ui.systemMenu, (Texts{"-", "16 &About Vantorel..."}));

    ui.Type(IDC_PREFIX, "XY");
    ui.Press(dlg, IDC_COPY);
    EXPECT_EQ(ui.boxes, Texts{"[Stop] Error!: No aircraft selected"});
}

TEST(CopyDialogStartUp, WithoutAnAboutTextTheSystemMenuGetsNothing) {
    FakeUi ui;
    ui.aboutText.clear();
    CCopyDlg(ui).OnInitDialog();
    EXPECT_TRUE(ui.systemMenu.empty());
}

TEST_F(CopyDialogTest, ChoosingAnAircraftShowsItsNameAndEmptiesAndLimitsThePrefixToItsStem) {
    struct Case { int index; const char* name; int stem; };
    for (const Case& c : {Case{kBf109g, "Bf109g", 5}, Case{kP51d, "P51d", 3}, Case{kSpitfire, "Spitfire_MkI", 4}}) {
        SCOPED_TRACE(c.name);
        ui.Type(IDC_PREFIX, "ABCDE");
        ui.Click(dlg, c.index);
        EXPECT_EQ(ui.limits[IDC_PREFIX], c.stem);
        // A prefix typed for another aircraft may be too long for this stem.
        EXPECT_EQ(ui.edits, (std::map<int, std::string>{{IDC_SELECTED, c.name}, {IDC_PREFIX, ""}}));
        EXPECT_EQ(ui.listSelection, c.index) << "the list must keep the clicked entry";
    }
    // A selection-change notification while nothing is selected changes nothing.
    ui.Type(IDC_PREFIX, "XY");
    ui.Click(dlg, -1);
    EXPECT_EQ(dlg.m_nSelected, kSpitfire);
    EXPECT_EQ(ui.edits, (std::map<int, std::string>{{IDC_SELECTED, "Spitfire_MkI"}, {IDC_PREFIX, "XY"}}));
}

TEST_F(CopyDialogTest, CopyConfirmsTheNewNameThenReportsTheOutcome) {
    // outcome nullptr: the user cancels, so nothing may be copied.
    struct Case { int index; const char* prefix; int status; const char* confirm; const char* outcome; };
    for (const Case& c : {
             Case{kP38, "", -2, "P38 to P38", "[Stop] UNABLE TO COPY!: folder P38 exists - use a different prefix"},
             Case{kSpitfire, "MY", 0, "Spitfire_MkI to MYitfire_MkI", "[Exclamation] Spitfire_MkI: Copy Complete"},
             Case{kP51d, "XY", 0, "P51d to XY1d", nullptr},
             Case{kBf110, "Zz110", -4, "Bf110 to Zz110",
                  "[Stop] UNABLE TO COPY!: Zz110 is not a valid folder name - use a different prefix"},
             Case{kHurricane, "Sea", -3, "Hurricane_I to Searicane_I",
                  "[Stop] UNABLE TO COPY!: The CFS path is not correct"},
             Case{kHurricane, "H", -1, "Hurricane_I to Hurricane_I", "[Stop] UNABLE TO COPY!: File Error"},
         }) {
        SCOPED_TRACE(c.confirm);
        ui.Click(dlg, c.index);
        ui.Type(IDC_PREFIX, c.prefix);
        ui.boxes.clear();
        copyCalls.clear();
        ui.boxAnswer = c.outcome ? kIdOk : kIdCancel;
        copyStatus = c.status;
        ui.Press(dlg, IDC_COPY);
        std::string confirm = std::string("[OkCancel] Confirm Copy: ") + c.confirm;
        EXPECT_EQ(ui.boxes, (c.outcome ? Texts{confirm, c.outcome} : Texts{confirm}));
        std::string call = "C:\\CFS\\Aircraft|" + std::string(c.prefix) + "|" + std::to_string(c.index);
        EXPECT_EQ(copyCalls, c.outcome ? Texts{call} : Texts{});
        EXPECT_EQ(ui.edits[IDC_PREFIX], c.prefix) << "the dialog stays as it was, ready for another copy";
    }
}

TEST_F(CopyDialogTest, HandTypedSelectedTextIsShownButTheChosenAircraftIsCopied) {
    ui.Type(IDC_SELECTED, "Zero");
    ui.Type(IDC_PREFIX, "AB");
    ui.Press(dlg, IDC_COPY);
    EXPECT_EQ(ui.boxes, (Texts{"[OkCancel] Confirm Copy: Zero to ABro", "[Exclamation] Zero: Copy Complete"}));
    EXPECT_EQ(copyCalls, Texts{"C:\\CFS\\Aircraft|AB|0"});
}

TEST(CopyDialogStartUp, RegistryFailuresLeaveAnEmptyDialogThatCopiesNothing) {
    struct Case { int registry; const char* box; };
    for (const Case& c : {Case{kRegistryNotInstalled, "[Stop] Registry Error: CFS not installed!"},
                          Case{kRegistryPathNotFound, "[Stop] Registry Error: CFS path not found!"}}) {
        FakeUi failing;
        failing.registryResult = c.registry;
        CCopyDlg d(failing, nullptr, RecordCopy);
        EXPECT_EQ(d.OnInitDialog(), 0);
        EXPECT_TRUE(failing.list.empty());
        // The list cannot be clicked, but the Selected field can be typed in.
        failing.Press(d, IDC_COPY);
        failing.Type(IDC_SELECTED, "P38");
        failing.Press(d, IDC_COPY);
        EXPECT_EQ(failing.boxes, (Texts{c.box, "[Stop] Error!: No aircraft selected",
                                        "[Stop] UNABLE TO COPY!: The CFS path is not correct"}));
        EXPECT_TRUE(copyCalls.empty());
    }
}

TEST_F(CopyDialogTest, EnterWithATooLongPrefixWarnsAndKeepsTheDialogOpen) {
    ui.Click(dlg, kP51d);
    ui.edits[IDC_PREFIX] = "ABCD";  // past the field's limit, as another program could set it
    ui.Press(dlg, kIdOk);
    EXPECT_EQ(ui.boxes, Texts{"[Exclamation] Vantorel: Enter no more than 3 characters."});
    EXPECT_EQ(ui.focus, IDC_PREFIX);
    EXPECT_EQ(ui.endCode, 0);
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
    EXPECT_EQ(Send(kWmQueryDragIcon), Texts{}) << "a handled message must not also get default processing";
    EXPECT_EQ(dlg.Dispatch(kWmQueryDragIcon, 0, 0), reinterpret_cast<std::intptr_t>(ui.icon));
}

TEST_F(CopyDialogTest, MinimisedPaintingCentresTheIconTruncatingTowardZero) {
    struct Case { ClientRect client; const char* draw; };
    ui.iconic = true;
    for (const Case& c : {
             Case{{0, 0, 20, 19}, "DrawIcon -5,-6"},  // (20-32+1)/2 = -5.5 gives -5, not -6
             Case{{10, 20, 46, 53}, "DrawIcon 2,1"},  // only width and height count
         }) {
        ui.client = c.client;
        EXPECT_EQ(Send(kWmPaint), (Texts{"BeginPaint", "SendMessage 39 220", c.draw, "EndPaint"}));
    }
}

TEST(AboutBox, OkAndCancelEndItThroughTheBaseDialog) {
    for (int button : {kIdOk, kIdCancel}) {
        FakeUi ui;
        CAboutDlg about(ui);
        EXPECT_EQ(about.TemplateId(), IDD_ABOUTBOX);
        ui.Press(about, button);
        EXPECT_EQ(ui.endCode, button);
    }
}

TEST(CopyApp, RunsTheMainDialogOnceInTheCurrentLookAndReturnsZero) {
    FakeUi ui;
    CCopyApp app;
    app.m_pUi = &ui;
    EXPECT_EQ(app.InitInstance(), 0);
    EXPECT_EQ(ui.calls, (Texts{"EnableVisualStyles", "RunModal " + std::to_string(IDD_COPY_DIALOG)}));
    EXPECT_EQ(app.m_pMainWnd, nullptr) << "no pointer to the destroyed dialog may remain";
}

}  // namespace
