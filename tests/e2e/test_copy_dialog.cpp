// The real Vantorel.exe, started on a generated simulator and driven through
// its windows as a user would. Each test starts the program once and walks
// one scenario; texts, captions and icons are read back from the real windows.

#include "catalogue.h"
#include "demo_sim.h"
#include "e2e_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

using e2e::Box;
using e2e::BoxIcon;

// A message box as a user sees it.
Box Expected(const wchar_t* caption, const wchar_t* text, BoxIcon icon, bool hasCancel = false) {
    Box box;
    box.caption = caption;
    box.text = text;
    box.icon = icon;
    box.hasCancel = hasCancel;
    return box;
}

int IndexOf(const char* name) {
    for (int i = 0; i < GetAircraftCount(); ++i)
        if (std::string(GetAircraftName(i)) == name) return i;
    return -1;
}

std::wstring Wide(const char* text) { return std::wstring(text, text + std::string(text).size()); }

class CopyDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        root_ = std::string(temp) + "vantorel-e2e-" + std::to_string(GetCurrentProcessId());
        generated_ = WriteDemoSimulator(root_.c_str()) == 0;
    }
    static void TearDownTestSuite() { e2e::RemoveTree(e2e::WindowsPath(root_)); }

    void SetUp() override {
        const char* exe = std::getenv("VANTOREL_EXE");
        if (!exe || !*exe) GTEST_SKIP() << "Vantorel.exe is not built in this tree (VANTOREL_EXE unset)";
        exe_ = e2e::WindowsPath(exe);
        ASSERT_TRUE(e2e::Exists(exe_)) << "Vantorel.exe is missing: " << exe;
        ASSERT_TRUE(generated_) << "could not write the demo simulator to " << root_;
        aircraft_ = e2e::WindowsPath(root_) + L"\\Aircraft";
        ASSERT_TRUE(e2e::SetSimulatorPath(e2e::WindowsPath(root_)));
    }

    // Starts Vantorel.exe and waits for its main dialog.
    void Open() {
        ASSERT_TRUE(e2e::Start(exe_, app_)) << "could not start Vantorel.exe";
        HWND first = e2e::WaitForDialog(app_.process.dwProcessId, {}, nullptr, e2e::kStartMs);
        ASSERT_NE(first, nullptr) << "the main dialog \"Vantorel\" did not appear";
        wchar_t caption[64] = {};
        GetWindowTextW(first, caption, 64);
        ASSERT_EQ(std::wstring(caption), L"Vantorel")
            << "instead of the main dialog came a " << ::testing::PrintToString(e2e::ReadBox(first));
        app_.dialog = first;
    }

    // The box that opens after an action, closed again with `answer`.
    Box BoxAfter(int answer = IDOK) {
        HWND box = e2e::WaitForDialog(app_.process.dwProcessId, {app_.dialog});
        if (!box) {
            ADD_FAILURE() << "no message box appeared";
            return Box();
        }
        Box shown = e2e::ReadBox(box);
        e2e::Press(box, answer);
        EXPECT_TRUE(e2e::WaitUntilClosed(box)) << "the box did not close";
        return shown;
    }

    Box PressCopy(int answer = IDOK) {
        e2e::Press(app_.dialog, e2e::kCopy);
        return BoxAfter(answer);
    }

    // The Selected field, the prefix, its limit and the list selection.
    std::wstring DialogState() {
        return e2e::Text(app_.dialog, e2e::kSelected) + L"|" + e2e::Text(app_.dialog, e2e::kPrefix) +
               L"|" + std::to_wstring(e2e::Ask(app_.dialog, e2e::kPrefix, EM_GETLIMITTEXT)) +
               L"|" + std::to_wstring(e2e::Ask(app_.dialog, e2e::kList, LB_GETCURSEL));
    }

    static std::string root_;
    static bool generated_;
    std::wstring exe_, aircraft_;
    e2e::Program app_;
};

std::string CopyDialog::root_;
bool CopyDialog::generated_ = false;

TEST_F(CopyDialog, OpensWithTheCatalogueAndNothingChosen) {
    ASSERT_NO_FATAL_FAILURE(Open());
    std::vector<std::wstring> expected;
    for (int i = 0; i < GetAircraftCount(); ++i) expected.push_back(Wide(GetAircraftName(i)));
    EXPECT_EQ(e2e::ListEntries(app_.dialog), expected) << "the list must show the catalogue in order";
    // First entry highlighted, but nothing chosen yet; the prefix field takes 5.
    EXPECT_EQ(DialogState(), L"||5|0");

    EXPECT_EQ(PressCopy(), Expected(L"Error!", L"No aircraft selected", BoxIcon::kStop));
    EXPECT_EQ(DialogState(), L"||5|0");
}

TEST_F(CopyDialog, ClickingAnAircraftShowsItLimitsAndEmptiesThePrefix) {
    ASSERT_NO_FATAL_FAILURE(Open());
    for (int i = GetAircraftCount() - 1; i >= 0; --i) {
        e2e::Type(app_.dialog, e2e::kPrefix, L"ZZ");
        e2e::ClickListEntry(app_.dialog, i);
        EXPECT_EQ(DialogState(), Wide(GetAircraftName(i)) + L"||" +
                                     std::to_wstring(GetStemLength(i)) + L"|" + std::to_wstring(i))
            << "after clicking " << GetAircraftName(i);
    }
    // Typing key by key, unlike setting the text, meets the field's limit.
    e2e::ClickListEntry(app_.dialog, IndexOf("P51d"));
    for (wchar_t key : std::wstring(L"ABCD")) e2e::Ask(app_.dialog, e2e::kPrefix, WM_CHAR, key, 1);
    EXPECT_EQ(e2e::Text(app_.dialog, e2e::kPrefix), L"ABC") << "P51d takes a prefix of at most 3";
}

TEST_F(CopyDialog, CopiesOnlyAfterConfirmationAndReportsEachOutcome) {
    ASSERT_NO_FATAL_FAILURE(Open());
    const int p51d = IndexOf("P51d");
    ASSERT_GE(p51d, 0);
    const std::vector<std::wstring> stock = e2e::FolderEntries(aircraft_);
    e2e::ClickListEntry(app_.dialog, p51d);
    e2e::Type(app_.dialog, e2e::kPrefix, L"XY");

    const Box confirm = Expected(L"Confirm Copy", L"P51d to XY1d", BoxIcon::kNone, true);
    EXPECT_EQ(PressCopy(IDCANCEL), confirm);
    EXPECT_EQ(e2e::FolderEntries(aircraft_), stock) << "Cancel must leave the simulator alone";

    EXPECT_EQ(PressCopy(IDOK), confirm);
    EXPECT_EQ(BoxAfter(), Expected(L"P51d", L"Copy Complete", BoxIcon::kExclamation));
    const std::wstring made = aircraft_ + L"\\XY1d";
    for (const wchar_t* file : {L"\\Aircraft.cfg", L"\\XY1d.air", L"\\XY1d.dp", L"\\Model\\Model.cfg",
                                L"\\Model\\XY1d_n.mdl", L"\\Texture\\XY1_l_side.bmp",
                                L"\\Sound\\sound.cfg", L"\\Panel\\panel.cfg"})
        EXPECT_TRUE(e2e::Exists(made + file)) << "missing from the new aircraft: XY1d" << file;
    // The dialog stays as it was; the new aircraft does not join the list.
    EXPECT_EQ(DialogState(), L"P51d|XY|3|" + std::to_wstring(p51d));
    EXPECT_EQ(e2e::ListEntries(app_.dialog).size(), static_cast<size_t>(GetAircraftCount()));

    const std::vector<std::wstring> afterCopy = e2e::FolderEntries(aircraft_);
    EXPECT_EQ(PressCopy(IDOK), confirm);
    EXPECT_EQ(BoxAfter(), Expected(L"UNABLE TO COPY!", L"folder XY1d exists - use a different prefix",
                                   BoxIcon::kStop));

    e2e::Type(app_.dialog, e2e::kPrefix, L"A:");
    EXPECT_EQ(PressCopy(IDOK), Expected(L"Confirm Copy", L"P51d to A:1d", BoxIcon::kNone, true));
    EXPECT_EQ(BoxAfter(), Expected(L"UNABLE TO COPY!",
                                   L"A:1d is not a valid folder name - use a different prefix",
                                   BoxIcon::kStop));
    EXPECT_EQ(e2e::FolderEntries(aircraft_), afterCopy) << "a refused copy must create nothing";
}

TEST_F(CopyDialog, AboutBoxOpensFromButtonAndSystemMenuAndChangesNothing) {
    ASSERT_NO_FATAL_FAILURE(Open());
    e2e::ClickListEntry(app_.dialog, IndexOf("Spitfire_MkI"));
    e2e::Type(app_.dialog, e2e::kPrefix, L"Ab");
    const std::wstring before = DialogState();

    struct Opening { const char* how; UINT message; WPARAM wParam; };
    const Opening openings[] = {
        {"About button", WM_COMMAND, MAKEWPARAM(e2e::kAbout, BN_CLICKED)},
        {"system menu item", WM_SYSCOMMAND, e2e::kAboutCommand},
        // Windows keeps the low four bits of a system command for itself.
        {"system command 31", WM_SYSCOMMAND, e2e::kAboutCommand + 15},
    };
    for (const Opening& opening : openings) {
        LPARAM control = opening.message == WM_COMMAND
                             ? reinterpret_cast<LPARAM>(GetDlgItem(app_.dialog, e2e::kAbout)) : 0;
        PostMessageW(app_.dialog, opening.message, opening.wParam, control);
        HWND about = e2e::WaitForDialog(app_.process.dwProcessId, {app_.dialog}, L"About Vantorel");
        ASSERT_NE(about, nullptr) << "no About box from the " << opening.how;
        std::vector<std::wstring> texts = e2e::StaticTexts(about);
        EXPECT_NE(std::find(texts.begin(), texts.end(), L"Vantorel 1.02"), texts.end())
            << "the About box from the " << opening.how << " must say \"Vantorel 1.02\"; it says "
            << ::testing::PrintToString(texts);
        e2e::Press(about, IDOK);
        EXPECT_TRUE(e2e::WaitUntilClosed(about)) << "OK did not close the About box";
        EXPECT_EQ(DialogState(), before) << "after the About box from the " << opening.how;
    }
}

TEST_F(CopyDialog, QuitAndTheCloseCommandEndTheProgram) {
    struct Ending { const char* how; UINT message; WPARAM wParam; };
    const Ending endings[] = {
        {"Quit button", WM_COMMAND, MAKEWPARAM(e2e::kQuit, BN_CLICKED)},
        {"close command", WM_SYSCOMMAND, SC_CLOSE},
    };
    for (const Ending& ending : endings) {
        ASSERT_NO_FATAL_FAILURE(Open());
        PostMessageW(app_.dialog, ending.message, ending.wParam, 0);
        EXPECT_TRUE(e2e::WaitForExit(app_)) << "the " << ending.how << " did not end Vantorel";
        e2e::Kill(app_);
    }
}

TEST_F(CopyDialog, ReportsAMissingSimulatorAndOpensWithAnEmptyList) {
    struct Missing { const char* what; bool (*remove)(); const wchar_t* text; };
    const Missing cases[] = {
        {"path value", e2e::DeleteSimulatorPathValue, L"CFS path not found!"},
        {"simulator key", e2e::DeleteSimulatorKey, L"CFS not installed!"},
    };
    for (const Missing& missing : cases) {
        SCOPED_TRACE(missing.what);
        ASSERT_TRUE(missing.remove());
        ASSERT_TRUE(e2e::Start(exe_, app_));
        // The box comes while the dialog opens, before the dialog shows.
        HWND box = e2e::WaitForDialog(app_.process.dwProcessId, {}, nullptr, e2e::kStartMs);
        ASSERT_NE(box, nullptr) << "no box about the registry appeared";
        EXPECT_EQ(e2e::WaitForDialog(app_.process.dwProcessId, {box}, L"Vantorel", 0), nullptr)
            << "the dialog showed before the registry box was answered";
        EXPECT_EQ(e2e::ReadBox(box), Expected(L"Registry Error", missing.text, BoxIcon::kStop));
        e2e::Press(box, IDOK);
        app_.dialog = e2e::WaitForDialog(app_.process.dwProcessId, {}, L"Vantorel");
        ASSERT_NE(app_.dialog, nullptr) << "the dialog must still open";
        EXPECT_TRUE(e2e::ListEntries(app_.dialog).empty());
        EXPECT_EQ(PressCopy(), Expected(L"Error!", L"No aircraft selected", BoxIcon::kStop));
        e2e::Press(app_.dialog, e2e::kQuit);
        EXPECT_TRUE(e2e::WaitForExit(app_));
        e2e::Kill(app_);
    }
}

}  // namespace
