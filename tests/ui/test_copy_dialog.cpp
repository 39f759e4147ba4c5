// The main dialog driven as a user would: start-up, choosing an aircraft,
// typing a prefix and pressing Copy, with the copy procedure recorded.
#include "fake_ui_support.h"
#include "messages.h"
#include "win32/registry.h"

#include <gtest/gtest.h>

namespace {

constexpr int kP38 = 0, kP51d = 1, kBf110 = 10, kSpitfire = 17, kHurricane = 18;

struct CopyDialogTest : ::testing::Test {
    FakeUi ui;
    CCopyDlg dlg{ui, nullptr, CopyRecorder::Copy};

    void SetUp() override { CopyRecorder::Reset(); }
    void Open() { ui.RunModal(dlg); }
    void ExpectLastBox(const std::string& text, const std::string& caption, unsigned type) {
        ASSERT_FALSE(ui.boxes.empty()) << "no message box was shown";
        EXPECT_EQ(ui.boxes.back().text, text);
        EXPECT_EQ(ui.boxes.back().caption, caption);
        EXPECT_EQ(ui.boxes.back().type, type);
    }
};

TEST_F(CopyDialogTest, OpensWithTheCatalogueListedAndTheFirstEntryOnlyHighlighted) {
    Open();
    ASSERT_EQ(ui.list.size(), 19u);
    EXPECT_EQ(ui.list[kP38], "P38");
    EXPECT_EQ(ui.list[kHurricane], "Hurricane_I");
    EXPECT_EQ(ui.listSelection, 0);
    EXPECT_EQ(ui.edits[IDC_SELECTED], "") << "highlighting must not fill the Selected field";
    EXPECT_EQ(ui.limits[IDC_PREFIX], 5) << "before any choice the prefix takes 5 characters";
    EXPECT_STREQ(dlg.m_szAircraftPath, "C:\\CFS\\Aircraft");
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(ui.systemMenu, (std::vector<std::string>{"-", "16 &About Vantorel..."}));
}

TEST_F(CopyDialogTest, AnEmptyAboutStringAddsNothingToTheSystemMenu) {
    ui.aboutText = "";
    Open();
    EXPECT_TRUE(ui.systemMenu.empty());
}

TEST_F(CopyDialogTest, RegistryFailuresLeaveAnEmptyDialogThatCopiesNothing) {
    struct Case {
        int registry;
        const char* text;
    };
    for (const Case& c : {Case{kRegistryNotInstalled, "CFS not installed!"}, Case{kRegistryPathNotFound, "CFS path not found!"}}) {
        SCOPED_TRACE(c.text);
        FakeUi failing;
        failing.registryResult = c.registry;
        CCopyDlg d(failing, nullptr, CopyRecorder::Copy);
        EXPECT_EQ(d.OnInitDialog(), 0);
        ASSERT_EQ(failing.boxes.size(), 1u);
        EXPECT_EQ(failing.boxes[0].text, c.text);
        EXPECT_EQ(failing.boxes[0].caption, "Registry Error");
        EXPECT_EQ(failing.boxes[0].type, kBoxStop);
        EXPECT_TRUE(failing.list.empty());

        // The list cannot be clicked, but the Selected field can be typed in.
        failing.Press(d, IDC_COPY);
        EXPECT_EQ(failing.boxes.back().text, "No aircraft selected");
        failing.Type(IDC_SELECTED, "P38");
        failing.Press(d, IDC_COPY);
        EXPECT_EQ(failing.boxes.back().text, "The CFS path is not correct");
        EXPECT_EQ(failing.boxes.back().caption, "UNABLE TO COPY!");
        EXPECT_EQ(failing.boxes.back().type, kBoxStop);
        EXPECT_TRUE(CopyRecorder::calls.empty());

        // Quit still ends the dialog.
        failing.Press(d, kIdCancel);
        EXPECT_EQ(failing.endCode, kIdCancel);
    }
}

TEST_F(CopyDialogTest, CopyBeforeAnyClickSaysNoAircraftSelected) {
    Open();
    ui.Type(IDC_PREFIX, "XY");
    ui.Press(dlg, IDC_COPY);
    ASSERT_EQ(ui.boxes.size(), 1u);
    ExpectLastBox("No aircraft selected", "Error!", kBoxStop);
    EXPECT_TRUE(CopyRecorder::calls.empty());
}

TEST_F(CopyDialogTest, ChoosingAnAircraftShowsItsNameLimitsThePrefixAndEmptiesIt) {
    struct Case {
        int index;
        const char* name;
        int stem;
    };
    Open();
    for (const Case& c : {Case{kBf110, "Bf110", 5}, Case{kP51d, "P51d", 3}, Case{kSpitfire, "Spitfire_MkI", 4}}) {
        SCOPED_TRACE(c.name);
        ui.Type(IDC_PREFIX, "ABCDE");
        ui.Click(dlg, c.index);
        EXPECT_EQ(dlg.m_nSelected, c.index);
        EXPECT_EQ(ui.edits[IDC_SELECTED], c.name);
        EXPECT_EQ(ui.limits[IDC_PREFIX], c.stem);
        EXPECT_EQ(ui.edits[IDC_PREFIX], "");
        EXPECT_EQ(ui.listSelection, c.index) << "the list must keep the clicked entry";
    }
    ui.Type(IDC_PREFIX, "ABCDE");
    EXPECT_EQ(ui.edits[IDC_PREFIX], "ABCD") << "Spitfire_MkI's stem is 4 characters";
}

TEST_F(CopyDialogTest, ASelectionChangeWithoutASelectionChangesNothing) {
    Open();
    ui.Click(dlg, kP51d);
    ui.Type(IDC_PREFIX, "XY");
    ui.Click(dlg, -1);
    EXPECT_EQ(dlg.m_nSelected, kP51d);
    EXPECT_EQ(ui.edits[IDC_SELECTED], "P51d");
    EXPECT_EQ(ui.edits[IDC_PREFIX], "XY");
    EXPECT_EQ(ui.limits[IDC_PREFIX], 3);
}

TEST_F(CopyDialogTest, ConfirmedCopyCallsTheEngineAndReportsSuccessUnderTheStockName) {
    Open();
    ui.Click(dlg, kSpitfire);
    ui.Type(IDC_PREFIX, "MY");
    ui.Press(dlg, IDC_COPY);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, "Spitfire_MkI to MYitfire_MkI");
    EXPECT_EQ(ui.boxes[0].caption, "Confirm Copy");
    EXPECT_EQ(ui.boxes[0].type, kBoxOkCancel);
    ASSERT_EQ(CopyRecorder::calls.size(), 1u);
    EXPECT_EQ(CopyRecorder::calls[0].aircraftDir, "C:\\CFS\\Aircraft");
    EXPECT_EQ(CopyRecorder::calls[0].prefix, "MY");
    EXPECT_EQ(CopyRecorder::calls[0].index, kSpitfire);
    ExpectLastBox("Copy Complete", "Spitfire_MkI", kBoxExclamation);
    // The dialog stays as it was, ready for another copy.
    EXPECT_EQ(ui.edits[IDC_PREFIX], "MY");
    EXPECT_EQ(ui.edits[IDC_SELECTED], "Spitfire_MkI");
    EXPECT_EQ(ui.list.size(), 19u);
}

TEST_F(CopyDialogTest, CancellingTheConfirmationCallsNothing) {
    Open();
    ui.Click(dlg, kP51d);
    ui.Type(IDC_PREFIX, "XY");
    ui.boxAnswers = {kIdCancel};
    ui.Press(dlg, IDC_COPY);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "P51d to XY1d");
    EXPECT_TRUE(CopyRecorder::calls.empty());
    EXPECT_EQ(ui.edits[IDC_PREFIX], "XY");
}

TEST_F(CopyDialogTest, TheConfirmedNewNameFollowsThePrefixLength) {
    struct Case {
        int index;
        const char* prefix;
        const char* confirm;
    };
    Open();
    for (const Case& c : {
             Case{kP38, "", "P38 to P38"},               // nothing typed: the stock folder itself
             Case{kBf110, "Zz110", "Bf110 to Zz110"},    // the whole name is stem
             Case{kHurricane, "H", "Hurricane_I to Hurricane_I"},
             Case{kHurricane, "Sea", "Hurricane_I to Searicane_I"},
         }) {
        SCOPED_TRACE(c.confirm);
        ui.Click(dlg, c.index);
        ui.Type(IDC_PREFIX, c.prefix);
        ui.boxAnswers = {kIdCancel};
        ui.Press(dlg, IDC_COPY);
        EXPECT_EQ(ui.boxes.back().text, c.confirm);
    }
}

TEST_F(CopyDialogTest, EachCopyStatusGetsItsOwnMessage) {
    struct Case {
        int status;
        const char* text;
        const char* caption;
        unsigned type;
    };
    for (const Case& c : {
             Case{-2, "folder XY1d exists - use a different prefix", "UNABLE TO COPY!", kBoxStop},
             Case{-3, "The CFS path is not correct", "UNABLE TO COPY!", kBoxStop},
             Case{-4, "XY1d is not a valid folder name - use a different prefix", "UNABLE TO COPY!", kBoxStop},
             Case{-1, "File Error", "UNABLE TO COPY!", kBoxStop},
             Case{-7, "File Error", "UNABLE TO COPY!", kBoxStop},
         }) {
        SCOPED_TRACE(c.text);
        FakeUi fresh;
        CCopyDlg d(fresh, nullptr, CopyRecorder::Copy);
        fresh.RunModal(d);
        CopyRecorder::Reset(c.status);
        fresh.Click(d, kP51d);
        fresh.Type(IDC_PREFIX, "XY");
        fresh.Press(d, IDC_COPY);
        EXPECT_EQ(CopyRecorder::calls.size(), 1u);
        ASSERT_EQ(fresh.boxes.size(), 2u);
        EXPECT_EQ(fresh.boxes[1].text, c.text);
        EXPECT_EQ(fresh.boxes[1].caption, c.caption);
        EXPECT_EQ(fresh.boxes[1].type, c.type);
    }
}

TEST_F(CopyDialogTest, HandTypedSelectedTextIsShownButTheClickedAircraftIsCopied) {
    Open();
    ui.Type(IDC_SELECTED, "Zero");  // no click: index 0, P38, is copied
    ui.Type(IDC_PREFIX, "AB");
    ui.Press(dlg, IDC_COPY);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, "Zero to ABro");
    ExpectLastBox("Copy Complete", "Zero", kBoxExclamation);
    ASSERT_EQ(CopyRecorder::calls.size(), 1u);
    EXPECT_EQ(CopyRecorder::calls[0].index, kP38);
}

TEST_F(CopyDialogTest, ATooLongPrefixFailsTheExchangeAndKeepsTheDialogOpen) {
    Open();
    ui.Click(dlg, kP51d);
    ui.edits[IDC_PREFIX] = "ABCD";  // set around the field's limit, as a program could
    ui.Press(dlg, kIdOk);
    EXPECT_EQ(ui.endCode, 0) << "Enter must not close the dialog while the length rule fails";
    ExpectLastBox("Enter no more than 3 characters.", "Vantorel", kBoxExclamation);
    EXPECT_EQ(ui.focus, IDC_PREFIX);

    ui.edits[IDC_PREFIX] = "ABC";
    ui.Press(dlg, kIdOk);
    EXPECT_EQ(ui.endCode, kIdOk);
}

}  // namespace
