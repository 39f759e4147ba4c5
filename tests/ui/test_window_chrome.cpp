// The shell around the main dialog: system menu, minimised painting, the
// About box, message dispatch and the application's start-up.
#include "fake_ui_support.h"

#include <gtest/gtest.h>

namespace {

struct ChromeTest : ::testing::Test {
    FakeUi ui;
    CCopyDlg dlg{ui, nullptr, CopyRecorder::Copy};
    void SetUp() override {
        CopyRecorder::Reset();
        ui.RunModal(dlg);
        ui.calls.clear();
    }
};

TEST_F(ChromeTest, SystemCommandsSixteenToThirtyOneOpenTheAboutBoxOthersGoToDefault) {
    struct Case {
        unsigned id;
        const char* expected;
    };
    for (const Case& c : {Case{16, "RunAboutBox"}, Case{17, "RunAboutBox"}, Case{31, "RunAboutBox"},
                          Case{15, "Default"}, Case{32, "Default"}, Case{0xF010 /* SC_MOVE */, "Default"},
                          Case{0xF060 /* SC_CLOSE */, "Default"}, Case{0x10010, "RunAboutBox"}}) {
        SCOPED_TRACE(c.id);
        ui.calls.clear();
        ui.Send(dlg, kWmSysCommand, c.id, 0x00640032);
        EXPECT_EQ(ui.calls, std::vector<std::string>{c.expected});
    }
}

TEST_F(ChromeTest, PaintingAWindowThatIsNotMinimisedIsLeftToTheDefault) {
    ui.Send(dlg, kWmPaint);
    EXPECT_EQ(ui.calls, std::vector<std::string>{"Default"});
}

TEST_F(ChromeTest, MinimisedPaintingCentresTheIconTruncatingTowardZero) {
    struct Case {
        ClientRect client;
        const char* draw;
    };
    ui.iconic = true;
    for (const Case& c : {
             Case{{0, 0, 36, 36}, "DrawIcon 2,2"},
             Case{{0, 0, 20, 36}, "DrawIcon -5,2"},   // (20-32+1)/2 = -5.5 -> -5, not -6
             Case{{0, 0, 36, 19}, "DrawIcon 2,-6"},   // (19-32+1)/2 = -6
             Case{{10, 20, 46, 53}, "DrawIcon 2,1"},  // only width and height count
             Case{{0, 0, 0, 0}, "DrawIcon -15,-15"},
         }) {
        SCOPED_TRACE(c.draw);
        ui.client = c.client;
        ui.calls.clear();
        ui.Send(dlg, kWmPaint);
        std::vector<std::string> expected = {"BeginPaint", "SendMessage 39 220 0", c.draw, "EndPaint"};
        EXPECT_EQ(ui.calls, expected);
    }
}

TEST_F(ChromeTest, TheDragIconIsTheApplicationIcon) {
    EXPECT_EQ(ui.Send(dlg, kWmQueryDragIcon), reinterpret_cast<std::intptr_t>(ui.icon));
    EXPECT_TRUE(ui.calls.empty()) << "a handled message must not also get default processing";
}

TEST_F(ChromeTest, TheAboutBoxLeavesTheDialogAsItWas) {
    ui.Click(dlg, 7);
    ui.Type(IDC_PREFIX, "Me");
    ui.calls.clear();
    ui.Press(dlg, IDC_ABOUT);
    ui.Send(dlg, kWmSysCommand, 16);
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"RunAboutBox", "RunAboutBox"}));
    EXPECT_EQ(ui.listSelection, 7);
    EXPECT_EQ(ui.edits[IDC_SELECTED], "Bf109e");
    EXPECT_EQ(ui.edits[IDC_PREFIX], "Me");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ChromeTest, MessagesAndCommandsWithoutAMapRowGetDefaultProcessing) {
    struct Case {
        unsigned message;
        std::uintptr_t wParam;
    };
    for (const Case& c : {Case{0x0001 /* WM_CREATE */, 0}, Case{kWmCommand, (1u << 16) | IDC_COPY},  // not a click
                          Case{kWmCommand, IDC_AIRCRAFT_LIST}, Case{kWmCommand, 999}}) {
        ui.calls.clear();
        ui.Send(dlg, c.message, c.wParam);
        EXPECT_EQ(ui.calls, std::vector<std::string>{"Default"}) << "message " << c.message << " wParam " << c.wParam;
    }
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_TRUE(CopyRecorder::calls.empty());
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

TEST(CopyApp, RunsTheMainDialogOnceAndReturnsZeroWhateverItsEndCode) {
    for (int endCode : {kIdOk, kIdCancel, -1}) {
        FakeUi ui;
        ui.modalEndCode = endCode;
        CCopyApp app;
        app.m_pUi = &ui;
        EXPECT_EQ(app.InitInstance(), 0);
        EXPECT_EQ(ui.modalRuns, 1);
        EXPECT_EQ(ui.lastRunTemplate, IDD_COPY_DIALOG);
        EXPECT_EQ(ui.calls.front(), "EnableVisualStyles");
        EXPECT_EQ(ui.list.size(), 19u) << "the main dialog must have started up";
        EXPECT_EQ(app.m_pMainWnd, nullptr) << "no pointer to the destroyed dialog may remain";
    }
}

}  // namespace
