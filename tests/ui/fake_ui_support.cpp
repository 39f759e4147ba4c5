#include "fake_ui_support.h"

#include <cctype>
#include <cstring>

std::vector<CopyCall> CopyRecorder::calls;
int CopyRecorder::status = 0;

void CopyRecorder::Reset(int newStatus) {
    calls.clear();
    status = newStatus;
}

int CopyRecorder::Copy(const char* aircraftDir, const char* prefix, int index) {
    calls.push_back({aircraftDir, prefix, index});
    return status;
}

// ---- User actions -----------------------------------------------------------

void FakeUi::Click(CDialog& dlg, int index) {
    listSelection = index;
    Send(dlg, kWmCommand, (kLbnSelChange << 16) | IDC_AIRCRAFT_LIST);
}

void FakeUi::Press(CDialog& dlg, int id) { Send(dlg, kWmCommand, (kBnClicked << 16) | static_cast<unsigned>(id)); }

void FakeUi::Type(int id, const std::string& text) {
    auto limit = limits.find(id);
    edits[id] = limit == limits.end() ? text : text.substr(0, static_cast<std::size_t>(limit->second));
}

std::intptr_t FakeUi::Send(CDialog& dlg, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    return dlg.Dispatch(message, wParam, lParam);
}

// ---- DialogUi ---------------------------------------------------------------

// Like the dialog manager: start-up first, then the test drives the dialog
// through the same object.
int FakeUi::RunModal(CDialog& dlg) {
    ++modalRuns;
    lastRunTemplate = dlg.TemplateId();
    dlg.OnInitDialog();
    return endCode ? endCode : modalEndCode;
}

void FakeUi::EndDialog(int code) { endCode = code; }
void FakeUi::RunAboutBox() { calls.push_back("RunAboutBox"); }
void FakeUi::Default() { calls.push_back("Default"); }

std::intptr_t FakeUi::SendMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    calls.push_back("SendMessage " + std::to_string(message) + " " + std::to_string(wParam) + " " +
                    std::to_string(lParam));
    return 0;
}

void FakeUi::EnableVisualStyles() { calls.push_back("EnableVisualStyles"); }

std::string FakeUi::GetListSelectedText(int) {
    return listSelection >= 0 && listSelection < static_cast<int>(list.size()) ? list[listSelection] : "";
}

static bool BeginsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    if (prefix.size() > text.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

void FakeUi::SelectListPrefix(int, const std::string& prefix) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (BeginsWithIgnoringCase(list[i], prefix)) {
            listSelection = static_cast<int>(i);
            return;
        }
    }
}

void FakeUi::AddListEntry(int, const char* text) { list.push_back(text); }
void FakeUi::SetListSelection(int, int index) { listSelection = index; }
int FakeUi::GetListSelection(int) { return listSelection; }
std::string FakeUi::GetEditText(int id) { return edits[id]; }
void FakeUi::SetEditText(int id, const std::string& text) { edits[id] = text; }
void FakeUi::LimitText(int id, int maxChars) { limits[id] = maxChars; }
void FakeUi::FocusControl(int id) { focus = id; }

int FakeUi::MessageBox(const char* text, const char* caption, unsigned type) {
    boxes.push_back({text, caption, type});
    if (boxAnswers.empty()) return kIdOk;
    int answer = boxAnswers.front();
    boxAnswers.pop_front();
    return answer;
}

std::string FakeUi::LoadString(int id) { return id == IDS_ABOUTBOX ? aboutText : ""; }

void FakeUi::AppendSystemMenu(unsigned flags, unsigned command, const char* text) {
    systemMenu.push_back(flags == kMfSeparator ? "-" : std::to_string(command) + " " + text);
}

IconHandle FakeUi::LoadIcon(int id) { return id == IDR_MAINFRAME ? icon : nullptr; }

int FakeUi::ReadAircraftFolder(char* out) {
    out[0] = '\0';
    if (registryResult == 0) std::strcpy(out, registryFolder.c_str());
    return registryResult;
}

bool FakeUi::IsIconic() { return iconic; }
PaintContext FakeUi::BeginPaint() {
    calls.push_back("BeginPaint");
    return reinterpret_cast<PaintContext>(0xDC);
}
void FakeUi::EndPaint() { calls.push_back("EndPaint"); }

int FakeUi::GetSystemMetrics(int index) {
    return index == kSmCxIcon ? iconWidth : index == kSmCyIcon ? iconHeight : 0;
}

ClientRect FakeUi::GetClientRect() { return client; }

void FakeUi::DrawIcon(PaintContext, int x, int y, IconHandle drawn) {
    calls.push_back("DrawIcon " + std::to_string(x) + "," + std::to_string(y) + (drawn == icon ? "" : " (wrong icon)"));
}
