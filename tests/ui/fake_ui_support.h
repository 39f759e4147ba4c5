// A fake toolkit for the dialog logic: controls that behave like the real ones
// where the logic relies on it, message boxes answered by the test, and a log
// of the window operations the logic asked for.
#pragma once
#include "copy_dlg.h"
#include "win32/resource.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <string>
#include <vector>

// A copy procedure that touches no disk: logs "folder|prefix|index" and
// returns copyStatus. Each new FakeUi empties the log and sets the status to 0.
inline std::vector<std::string> copyCalls;
inline int copyStatus = 0;
inline int RecordCopy(const char* aircraftDir, const char* prefix, int index) {
    copyCalls.push_back(std::string(aircraftDir) + "|" + prefix + "|" + std::to_string(index));
    return copyStatus;
}

class FakeUi : public DialogUi {
public:
    FakeUi() { copyCalls.clear(); copyStatus = 0; }

    // ---- What the test sets up ----
    int registryResult = 0;  // on 0 the folder is C:\CFS\Aircraft
    std::string aboutText = "&About Vantorel...";
    int boxAnswer = kIdOk;  // the button that answers every message box
    bool iconic = false;
    ClientRect client = {0, 0, 36, 36};
    const IconHandle icon = reinterpret_cast<IconHandle>(0x1280);

    // ---- What the logic did ----
    std::vector<std::string> list;
    int listSelection = -1;
    std::map<int, std::string> edits;
    std::map<int, int> limits;  // missing: no limit
    // Message boxes as "[Stop] caption: text", system menu items ("-" for a
    // separator), window operations such as "Default" or "DrawIcon 2,3".
    std::vector<std::string> boxes, systemMenu, calls;
    int focus = 0, endCode = 0;  // endCode stays 0 while the dialog runs

    // ---- User actions, delivered through the dialog's message map ----
    // Selects entry `index` with the mouse; the list then notifies.
    void Click(CDialog& dlg, int index) {
        listSelection = index;
        dlg.Dispatch(kWmCommand, (kLbnSelChange << 16) | IDC_AIRCRAFT_LIST, 0);
    }
    void Press(CDialog& dlg, int id) { dlg.Dispatch(kWmCommand, (kBnClicked << 16) | id, 0); }
    // Types into an empty edit field, which keeps what its limit allows.
    void Type(int id, const std::string& text) { edits[id] = limits.count(id) ? text.substr(0, limits[id]) : text; }

    // ---- DialogUi ----
    // Like the dialog manager: start-up, then the test drives the same object.
    // A dialog that nothing ended was closed with the close box: Cancel.
    int RunModal(CDialog& dlg) override {
        calls.push_back("RunModal " + std::to_string(dlg.TemplateId()));
        dlg.OnInitDialog();
        return endCode ? endCode : kIdCancel;
    }
    void EndDialog(int code) override { endCode = code; }
    void RunAboutBox() override { calls.push_back("RunAboutBox"); }
    void Default() override { calls.push_back("Default"); }
    std::intptr_t SendMessage(unsigned message, std::uintptr_t wParam, std::intptr_t) override {
        calls.push_back("SendMessage " + std::to_string(message) + " " + std::to_string(wParam));
        return 0;
    }
    void EnableVisualStyles() override { calls.push_back("EnableVisualStyles"); }
    std::string GetListSelectedText(int) override {
        return listSelection >= 0 && listSelection < static_cast<int>(list.size()) ? list[listSelection] : "";
    }
    // Like LB_SELECTSTRING: the first entry that begins with `prefix`, letter case ignored.
    void SelectListPrefix(int, const std::string& prefix) override {
        auto same = [](char a, char b) { return std::tolower(a & 0xFF) == std::tolower(b & 0xFF); };
        auto begins = [&](const std::string& entry) {
            return entry.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), entry.begin(), same);
        };
        auto found = std::find_if(list.begin(), list.end(), begins);
        if (found != list.end()) listSelection = static_cast<int>(found - list.begin());
    }
    void AddListEntry(int, const char* text) override { list.push_back(text); }
    void SetListSelection(int, int index) override { listSelection = index; }
    int GetListSelection(int) override { return listSelection; }
    std::string GetEditText(int id) override { return edits[id]; }
    void SetEditText(int id, const std::string& text) override { edits[id] = text; }
    void LimitText(int id, int maxChars) override { limits[id] = maxChars; }
    void FocusControl(int id) override { focus = id; }
    int MessageBox(const char* text, const char* caption, unsigned type) override {
        const char* look = type == 0x10 ? "[Stop] " : type == 0x30 ? "[Exclamation] " : type == 1 ? "[OkCancel] " : "";
        boxes.push_back(look + std::string(caption) + ": " + text);
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
    PaintContext BeginPaint() override {
        calls.push_back("BeginPaint");
        return reinterpret_cast<PaintContext>(0xDC);
    }
    void EndPaint() override { calls.push_back("EndPaint"); }
    // Icons are 32 by 32 pixels.
    int GetSystemMetrics(int index) override { return index == kSmCxIcon || index == kSmCyIcon ? 32 : 0; }
    ClientRect GetClientRect() override { return client; }
    void DrawIcon(PaintContext, int x, int y, IconHandle drawn) override {
        calls.push_back("DrawIcon " + std::to_string(x) + "," + std::to_string(y) + (drawn == icon ? "" : " other"));
    }
};
