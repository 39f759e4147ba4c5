// The shell around the main dialog: system menu, minimised painting, the
// About box, message dispatch and the application's start-up.
#include "fake_ui_support.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

struct ChromeTest : ::testing::Test {
    FakeUi ui;
    CCopyDlg dlg{ui, nullptr, RecordCopy};
    void SetUp() override { ui.RunModal(dlg); }
    // The window operations that handling one message asked for.
    Texts Send(unsigned message, std::uintptr_t wParam = 0) {
        ui.calls.clear();
        dlg.Dispatch(message, wParam, 0x00640032);
        return ui.calls;
    }
};

TEST_F(ChromeTest, SystemCommandsSixteenToThirtyOneOpenTheAboutBoxOthersGetDefaultProcessing) {
    for (unsigned id : {16u, 17u, 31u}) EXPECT_EQ(Send(kWmSysCommand, id), Texts{"RunAboutBox"}) << id;
    for (unsigned id : {15u, 32u, 0xF060u /* SC_CLOSE */}) EXPECT_EQ(Send(kWmSysCommand, id), Texts{"Default"}) << id;
    EXPECT_EQ(Send(kWmCommand, IDC_ABOUT), Texts{"RunAboutBox"}) << "the About button";
}

TEST_F(ChromeTest, MessagesWithoutAMapRowGetDefaultProcessingAndHandledOnesDoNot) {
    // A notification other than a click, a click on the list, an unknown control.
    for (std::uintptr_t wParam : {(1u << 16) | IDC_COPY, 0u + IDC_AIRCRAFT_LIST, 999u})
        EXPECT_EQ(Send(kWmCommand, wParam), Texts{"Default"}) << wParam;
    EXPECT_EQ(Send(kWmPaint), Texts{"Default"}) << "a window that is not minimised paints itself";
    EXPECT_TRUE(ui.boxes.empty());

    ui.calls.clear();
    EXPECT_EQ(dlg.Dispatch(kWmQueryDragIcon, 0, 0), reinterpret_cast<std::intptr_t>(ui.icon));
    EXPECT_TRUE(ui.calls.empty());
}

TEST_F(ChromeTest, MinimisedPaintingCentresTheIconTruncatingTowardZero) {
    struct Case {
        ClientRect client;
        const char* draw;
    };
    ui.iconic = true;
    for (const Case& c : {
             Case{{0, 0, 36, 36}, "DrawIcon 2,2"},
             Case{{0, 0, 20, 19}, "DrawIcon -5,-6"},  // (20-32+1)/2 = -5.5 gives -5, not -6
             Case{{10, 20, 46, 53}, "DrawIcon 2,1"},  // only width and height count
         }) {
        ui.client = c.client;
        EXPECT_EQ(Send(kWmPaint), (Texts{"BeginPaint", "SendMessage 39 220", c.draw, "EndPaint"}));
    }
}

TEST(AboutBox, OkAndCancelEndItWithTheirOwnCode) {
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
    ui.modalEndCode = kIdOk;
    CCopyApp app;
    app.m_pUi = &ui;
    EXPECT_EQ(app.InitInstance(), 0);
    EXPECT_EQ(ui.calls, (Texts{"EnableVisualStyles", "RunModal " + std::to_string(IDD_COPY_DIALOG)}));
    EXPECT_EQ(app.m_pMainWnd, nullptr) << "no pointer to the destroyed dialog may remain";
}

}  // namespace
