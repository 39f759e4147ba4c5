// A fake toolkit for the dialog logic: controls that behave like the real ones
// where the logic relies on it, message boxes answered by the test, and a log
// of the window operations the logic asked for.
#pragma once
#include "copy_dlg.h"
#include "win32/resource.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

struct ShownBox {
    std::string text;
    std::string caption;
    unsigned type;
};

struct CopyCall {
    std::string aircraftDir;
    std::string prefix;
    int index;
};

class FakeUi : public DialogUi {
public:
    // ---- What the test sets up ----
    int registryResult = 0;
    std::string registryFolder = "C:\\CFS\\Aircraft";
    std::string aboutText = "&About Vantorel...";
    std::deque<int> boxAnswers;  // answers in order; OK once they run out
    bool iconic = false;
    ClientRect client = {0, 0, 36, 36};
    int iconWidth = 32, iconHeight = 32;
    int modalEndCode = kIdCancel;  // what RunModal returns when nothing ended the dialog
    IconHandle icon = reinterpret_cast<IconHandle>(0x1280);

    // ---- What the logic did ----
    std::vector<std::string> list;
    int listSelection = -1;
    std::map<int, std::string> edits;
    std::map<int, int> limits;  // missing: no limit
    std::vector<ShownBox> boxes;
    std::vector<std::string> systemMenu;  // "-" for a separator
    std::vector<std::string> calls;       // chrome operations, e.g. "Default", "DrawIcon 2,3"
    int focus = 0;
    int endCode = 0;  // 0 while the dialog runs
    int modalRuns = 0;
    int lastRunTemplate = 0;

    // ---- User actions, delivered through the dialog's message map ----
    // Selects entry `index` with the mouse (the list then notifies).
    void Click(CDialog& dlg, int index);
    // Presses a push button.
    void Press(CDialog& dlg, int id);
    // Types `text` into an empty edit field; the field keeps what its limit allows.
    void Type(int id, const std::string& text);
    // Sends a message without a control, e.g. WM_SYSCOMMAND; returns the result.
    std::intptr_t Send(CDialog& dlg, unsigned message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

    // ---- DialogUi ----
    int RunModal(CDialog& dlg) override;
    void EndDialog(int code) override;
    void RunAboutBox() override;
    void Default() override;
    std::intptr_t SendMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void EnableVisualStyles() override;
    std::string GetListSelectedText(int id) override;
    void SelectListPrefix(int id, const std::string& prefix) override;
    void AddListEntry(int id, const char* text) override;
    void SetListSelection(int id, int index) override;
    int GetListSelection(int id) override;
    std::string GetEditText(int id) override;
    void SetEditText(int id, const std::string& text) override;
    void LimitText(int id, int maxChars) override;
    void FocusControl(int id) override;
    int MessageBox(const char* text, const char* caption, unsigned type) override;
    std::string LoadString(int id) override;
    void AppendSystemMenu(unsigned flags, unsigned command, const char* text) override;
    IconHandle LoadIcon(int id) override;
    int ReadAircraftFolder(char* out) override;
    bool IsIconic() override;
    PaintContext BeginPaint() override;
    void EndPaint() override;
    int GetSystemMetrics(int index) override;
    ClientRect GetClientRect() override;
    void DrawIcon(PaintContext dc, int x, int y, IconHandle icon) override;
};

// A copy procedure that touches no disk: records its calls and returns
// `status`.
struct CopyRecorder {
    static std::vector<CopyCall> calls;
    static int status;
    static void Reset(int newStatus = 0);
    static int Copy(const char* aircraftDir, const char* prefix, int index);
};
