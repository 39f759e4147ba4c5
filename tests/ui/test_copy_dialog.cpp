// The main dialog driven as a user would: start-up, choosing an aircraft,
// typing a prefix and pressing Copy, with the copy procedure recorded.
#include "fake_ui_support.h"
#include "win32/registry.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;
constexpr int kP38 = 0, kP51d = 1, kBf109g = 8, kBf110 = 10, kSpitfire = 17, kHurricane = 18;

struct CopyDialogTest : ::testing::Test {
    FakeUi ui;
    CCopyDlg dlg{ui, nullptr, RecordCopy};
    void SetUp() override {
        copyCalls.clear();
        copyStatus = 0;
        ui.RunModal(dlg);
    }
};

TEST_F(CopyDialogTest, OpensWithTheCatalogueListedAndNothingChosenYet) {
    ASSERT_EQ(ui.list.size(), 19u);
    EXPECT_EQ(ui.list[kP38], "P38");
    EXPECT_EQ(ui.list[kHurricane], "Hurricane_I");
    EXPECT_EQ(ui.listSelection, 0);
    EXPECT_EQ(ui.edits[IDC_SELECTED], "") << "highlighting the first entry must not fill the Selected field";
    EXPECT_EQ(ui.limits[IDC_PREFIX], 5) << "before any choice the prefix takes 5 characters";
    EXPECT_EQ(ui.systemMenu, (Texts{"-", "16 &About Vantorel..."}));
    EXPECT_TRUE(ui.boxes.empty());

    ui.Type(IDC_PREFIX, "XY");
    ui.Press(dlg, IDC_COPY);
    EXPECT_EQ(ui.boxes, Texts{"[Stop] Error!: No aircraft selected"});
    EXPECT_TRUE(copyCalls.empty());
}

TEST_F(CopyDialogTest, ChoosingAnAircraftShowsItsNameAndEmptiesAndLimitsThePrefixToItsStem) {
    struct Case {
        int index;
        const char* name;
        int stem;
    };
    for (const Case& c : {Case{kBf109g, "Bf109g", 5}, Case{kP51d, "P51d", 3}, Case{kSpitfire, "Spitfire_MkI", 4}}) {
        SCOPED_TRACE(c.name);
        ui.Type(IDC_PREFIX, "ABCDE");
        ui.Click(dlg, c.index);
        EXPECT_EQ(dlg.m_nSelected, c.index);
        EXPECT_EQ(ui.edits[IDC_SELECTED], c.name);
        EXPECT_EQ(ui.limits[IDC_PREFIX], c.stem);
        EXPECT_EQ(ui.edits[IDC_PREFIX], "") << "a prefix typed for another aircraft may be too long for this stem";
        EXPECT_EQ(ui.listSelection, c.index) << "the list must keep the clicked entry";
    }
    // A selection-change notification while nothing is selected changes nothing.
    ui.Type(IDC_PREFIX, "XY");
    ui.Click(dlg, -1);
    EXPECT_EQ(dlg.m_nSelected, kSpitfire);
    EXPECT_EQ(ui.edits[IDC_SELECTED], "Spitfire_MkI");
    EXPECT_EQ(ui.edits[IDC_PREFIX], "XY");
    EXPECT_EQ(ui.limits[IDC_PREFIX], 4);
}

TEST_F(CopyDialogTest, CopyConfirmsTheNewNameThenReportsTheOutcome) {
    struct Case {
        int index;
        const char* prefix;
        int status;
        const char* confirm;
        const char* outcome;  // nullptr: the user cancels, so nothing may be copied
    };
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
        Texts boxes = {std::string("[OkCancel] Confirm Copy: ") + c.confirm};
        if (c.outcome) boxes.push_back(c.outcome);
        EXPECT_EQ(ui.boxes, boxes);
        Texts call = {"C:\\CFS\\Aircraft|" + std::string(c.prefix) + "|" + std::to_string(c.index)};
        EXPECT_EQ(copyCalls, c.outcome ? call : Texts{});
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
    struct Case {
        int registry;
        const char* box;
    };
    for (const Case& c : {Case{kRegistryNotInstalled, "[Stop] Registry Error: CFS not installed!"},
                          Case{kRegistryPathNotFound, "[Stop] Registry Error: CFS path not found!"}}) {
        SCOPED_TRACE(c.box);
        copyCalls.clear();
        FakeUi ui;
        ui.registryResult = c.registry;
        CCopyDlg dlg(ui, nullptr, RecordCopy);
        EXPECT_EQ(dlg.OnInitDialog(), 0);
        EXPECT_TRUE(ui.list.empty());
        // The list cannot be clicked, but the Selected field can be typed in.
        ui.Press(dlg, IDC_COPY);
        ui.Type(IDC_SELECTED, "P38");
        ui.Press(dlg, IDC_COPY);
        EXPECT_EQ(ui.boxes, (Texts{c.box, "[Stop] Error!: No aircraft selected",
                                   "[Stop] UNABLE TO COPY!: The CFS path is not correct"}));
        EXPECT_TRUE(copyCalls.empty());
    }
}

TEST_F(CopyDialogTest, EnterWithATooLongPrefixWarnsAndKeepsTheDialogOpen) {
    ui.Click(dlg, kP51d);
    ui.edits[IDC_PREFIX] = "ABCD";  // set past the field's limit, as another program could
    ui.Press(dlg, kIdOk);
    EXPECT_EQ(ui.endCode, 0);
    EXPECT_EQ(ui.boxes, Texts{"[Exclamation] Vantorel: Enter no more than 3 characters."});
    EXPECT_EQ(ui.focus, IDC_PREFIX);

    ui.edits[IDC_PREFIX] = "ABC";
    ui.Press(dlg, kIdOk);
    EXPECT_EQ(ui.endCode, kIdOk);
}

}  // namespace
